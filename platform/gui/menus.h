#pragma once

#include "platform/gui/controls.h"

#include <QList>

class TMenuItem;
class TPopupMenu;

enum TPopupAlignment { paLeft, paRight, paCenter };

// One entry of a menu; "-" as caption makes a separator. Owns its sub-items.
class TMenuItem : public TComponent
{
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    QString ClassName() const override { return QStringLiteral("TMenuItem"); }

    const QString& Caption() const { return fCaption; }
    void SetCaption(const QString& value) { fCaption = value; }
    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool value) { fEnabled = value; }
    bool Visible() const { return fVisible; }
    void SetVisible(bool value) { fVisible = value; }
    bool Checked() const { return fChecked; }
    void SetChecked(bool value) { fChecked = value; }
    bool RadioItem() const { return fRadioItem; }
    void SetRadioItem(bool value) { fRadioItem = value; }
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value) { fImageIndex = value; }
    TShortCut ShortCut() const { return fShortCut; }
    void SetShortCut(TShortCut value) { fShortCut = value; }
    const QString& Hint() const { return fHint; }
    void SetHint(const QString& value) { fHint = value; }
    bool IsLine() const { return fCaption == QStringLiteral("-"); }

    int Count() const { return int(fItems.size()); }
    TMenuItem* Items(int index) const { return fItems.at(index); }
    // Takes ownership of item.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const { return int(fItems.indexOf(const_cast<TMenuItem*>(item))); }
    TMenuItem* ParentItem() const { return fParentItem; }
    // The popup menu the item belongs to, if any.
    TPopupMenu* GetParentMenu() const;

    virtual void Click();
    TNotifyEvent OnClick;

private:
    friend class TPopupMenu;
    QString fCaption;
    QString fHint;
    bool fEnabled = true;
    bool fVisible = true;
    bool fChecked = false;
    bool fRadioItem = false;
    int fImageIndex = -1;
    TShortCut fShortCut = 0;
    QList<TMenuItem*> fItems;
    TMenuItem* fParentItem = nullptr;
    TPopupMenu* fMenu = nullptr;
};

// A context menu. Popup shows it at a screen point and returns when it
// closes, after the chosen item's click.
class TPopupMenu : public TComponent
{
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    QString ClassName() const override { return QStringLiteral("TPopupMenu"); }

    TMenuItem* Items() const { return fItems; }
    bool AutoPopup() const { return fAutoPopup; }
    void SetAutoPopup(bool value) { fAutoPopup = value; }
    TPopupAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TPopupAlignment value) { fAlignment = value; }
    TControl* PopupComponent() const { return fPopupComponent; }
    void SetPopupComponent(TControl* value) { fPopupComponent = value; }
    QPoint PopupPoint() const { return fPopupPoint; }

    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

private:
    TMenuItem* fItems;
    bool fAutoPopup = true;
    TPopupAlignment fAlignment = paLeft;
    TControl* fPopupComponent = nullptr;
    QPoint fPopupPoint;
};

// Shows a menu and returns the chosen item (nullptr when dismissed). The
// real one runs a QMenu; tests install their own to choose.
using TPopupMenuHandler = std::function<TMenuItem*(TPopupMenu* menu, QPoint screenPos)>;
void SetPopupMenuHandler(TPopupMenuHandler handler);
