#pragma once

// Mouse handlers of the engine: the normal handler gives links their hover
// look and the hand cursor and turns a click into OnLinkClicked (or the
// shell); the form-element handler reports clicks on input and user elements.

#include "platform/core/classes.h"
#include "platform/gui/controls.h"

#include <QPoint>
#include <QString>

#include <memory>

class TQzMiniHtml2;

class THandler : public TComponent {
public:
    THandler(TComponent* AOwner, TQzMiniHtml2* aHtml);
    QString ClassName() const override { return QStringLiteral("THandler"); }

    virtual void MouseMove(TObject* Sender, TShiftState Shift, int X, int Y) { }
    virtual void MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) { }
    virtual void MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) { }
    // A handler of the same class serving another engine.
    virtual std::unique_ptr<THandler> CloneFor(TQzMiniHtml2* aHtml) const;

    TQzMiniHtml2* aMiniHtml;
};

class TNormalHandler : public THandler {
public:
    using THandler::THandler;
    QString ClassName() const override { return QStringLiteral("TNormalHandler"); }
    void MouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
    void MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    std::unique_ptr<THandler> CloneFor(TQzMiniHtml2* aHtml) const override;
};

class TFormElementHandler : public THandler {
public:
    using THandler::THandler;
    QString ClassName() const override { return QStringLiteral("TFormElementHandler"); }
    void MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    std::unique_ptr<THandler> CloneFor(TQzMiniHtml2* aHtml) const override;
};

// Drag selection: while a button is held, the visible tags that the
// rectangle from the press point to the mouse touches are selected, and only
// those; the engine's SelectStartFrom and SelectEndAt span them.
class TBlockHandler : public THandler {
public:
    using THandler::THandler;
    QString ClassName() const override { return QStringLiteral("TBlockHandler"); }
    void MouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
    void MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    std::unique_ptr<THandler> CloneFor(TQzMiniHtml2* aHtml) const override;

    // Selects the tags between the engine's press point and P.
    void UpdateSelection(QPoint P);
    void UnSelectAll();
    int TotalSelected() const;

private:
    bool fDragging = false;
};

// The shell target of a link: "mailto://x" is opened as "mailto:x".
QString UrlShellTarget(const QString& target);
// Opens a link target through the shell; one that cannot open says so.
void OpenUrl(const QString& target);
