#pragma once

// A label that shows text in the mini HTML dialect: it owns one engine,
// paints the engine's cache instead of its caption and hands its mouse
// events to the engine. The text is parsed again only when it, the label's
// width or a dynamic tag asks for it; other repaints copy the cache.

#include "minihtml/engine.h"

#include "platform/gui/stdctrls.h"

#include <memory>

class TNormalHandler;
class TFormElementHandler;

class TQzHtmlLabel2 : public TLabel {
public:
    explicit TQzHtmlLabel2(TComponent* AOwner);
    ~TQzHtmlLabel2() override;
    QString ClassName() const override { return QStringLiteral("TQzHtmlLabel2"); }

    const QString& Html() const { return Input; }
    // Takes effect at the next paint; setting the same text again forgets
    // the hover state.
    void SetHtml(const QString& value);
    // The source holder with the current text.
    TQzHtmlRec* HtmlEditor();
    void SetHtmlEditor(const TQzHtmlRec& value) { SetHtml(value.Html); }
    bool AutoHeight() const { return AutoHt; }
    void SetAutoHeight(bool value);

    const TDynamicUpdateEvent& OnDynamicUpdate() const { return QzMiniHtml2->OnDynamicUpdate; }
    void SetOnDynamicUpdate(TDynamicUpdateEvent value) { QzMiniHtml2->OnDynamicUpdate = std::move(value); }
    const TLinkClickedEvent& OnLinkClicked() const { return QzMiniHtml2->OnLinkClicked; }
    void SetOnLinkClicked(TLinkClickedEvent value) { QzMiniHtml2->OnLinkClicked = std::move(value); }
    const TFormElementClickedEvent& OnFormElementClicked() const { return QzMiniHtml2->OnFormElementClicked; }
    void SetOnFormElementClicked(TFormElementClickedEvent value)
    {
        QzMiniHtml2->OnFormElementClicked = std::move(value);
    }
    const TUserDefinedUpdateEvent& OnUserDefinedUpdate() const { return QzMiniHtml2->OnUserDefinedUpdate; }
    void SetOnUserDefinedUpdate(TUserDefinedUpdateEvent value) { QzMiniHtml2->OnUserDefinedUpdate = std::move(value); }
    const TUserDefinedDrawEvent& OnUserDefinedDraw() const { return QzMiniHtml2->OnUserDefinedDraw; }
    void SetOnUserDefinedDraw(TUserDefinedDrawEvent value) { QzMiniHtml2->OnUserDefinedDraw = std::move(value); }

    // Brings the engine's size and colour in line with the label's.
    void UpdateMiniHtml();
    // Repaints the label; the text is not parsed again for it.
    void updatecaption() { Invalidate(); }
    void Paint() override;

    TQzMiniHtml2* Engine() const { return QzMiniHtml2.get(); }
    // Parses since creation (tests check that repaints do not parse).
    int ParseCount() const { return fParseCount; }

    TQzHtmlRec* InputHtml = nullptr;
    QString Input;
    bool NeedUpdateDyna = false;
    bool modified = true;
    bool AutoHt = false;

private:
    void NullDynamicUpdate(TObject* Sender, const QString& dynamicID, QString& Text);
    void OnHtmlUpdate(TObject* Sender, const QString& newHtml, QChar HKey);
    // The brush the cache is copied with: the label's colour, or clear (the
    // parent's pixels show) for a transparent label.
    void PrepareCopyBrush();
    // Runs an engine mouse call, then repaints if a parse had to wait for it.
    void RouteMouse(const std::function<void()>& call);

    std::unique_ptr<TQzMiniHtml2> QzMiniHtml2;
    int fParseCount = 0;
    bool fParseWaiting = false;
};
