#pragma once

// Actions: commands with a caption, hint, image and enabled state that
// controls and menu items take over and run when clicked.

#include "platform/gui/controls.h"

#include <QList>
#include <QString>

#include <functional>

class TActionList;
class TCustomAction;
class TImageList;
class TMenuItem;

using TActionEvent = std::function<void(TCustomAction* Action, bool& Handled)>;

// Ties an action to one client. Links are owned by their client (as its
// component), so they go when it goes; an action that goes first leaves
// its links empty. Every change of the action reaches ActionChange.
class TActionLink : public TComponent
{
public:
    explicit TActionLink(TComponent* client);
    ~TActionLink() override;
    QString ClassName() const override { return QStringLiteral("TActionLink"); }

    TComponent* Client() const { return Owner(); }
    TCustomAction* Action() const { return fAction; }
    void SetAction(TCustomAction* value);
    // Runs the action for the client; true when something handled it.
    bool Execute();

    // Called after the link applied a change of the action to its client
    // (CheckDefaults on the first link): lets a client take more (images).
    std::function<void(TCustomAction* Action, bool CheckDefaults)> OnActionChange;

protected:
    // Applies the action's properties to the client. With CheckDefaults only
    // those the client still has at their defaults.
    virtual void ActionChange(bool CheckDefaults);

private:
    friend class TCustomAction;
    void Changed(bool CheckDefaults);
    TCustomAction* fAction = nullptr;
};

// A command. Execute runs OnUpdate first, refuses when disabled, flips
// Checked with AutoCheck, then asks the list's OnExecute and its own
// OnExecute (Sender is the action); the result says whether one handled it.
class TCustomAction : public TComponent
{
public:
    explicit TCustomAction(TComponent* AOwner);
    ~TCustomAction() override;
    QString ClassName() const override { return QStringLiteral("TCustomAction"); }

    const QString& Caption() const { return fCaption; }
    void SetCaption(const QString& value);
    const QString& Hint() const { return fHint; }
    void SetHint(const QString& value);
    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool value);
    bool Checked() const { return fChecked; }
    void SetChecked(bool value);
    bool AutoCheck() const { return fAutoCheck; }
    void SetAutoCheck(bool value) { fAutoCheck = value; }
    bool Visible() const { return fVisible; }
    void SetVisible(bool value);
    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value);
    TShortCut ShortCut() const { return fShortCut; }
    void SetShortCut(TShortCut value);
    TActionList* ActionList() const { return fActionList; }
    void SetActionList(TActionList* value);
    int Index() const;
    // The client whose click is running the action, during Execute.
    TComponent* ActionComponent() const { return fActionComponent; }
    void SetActionComponent(TComponent* value) { fActionComponent = value; }

    virtual bool Execute();
    // Runs OnUpdate (the list's first); true when one handled it.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every link.
    void Change();

private:
    friend class TActionLink;
    friend class TActionList;
    QString fCaption;
    QString fHint;
    bool fEnabled = true;
    bool fChecked = false;
    bool fAutoCheck = false;
    bool fVisible = true;
    int fImageIndex = -1;
    TShortCut fShortCut = 0;
    TActionList* fActionList = nullptr;
    TComponent* fActionComponent = nullptr;
    QList<TActionLink*> fLinks;
};

class TAction : public TCustomAction
{
public:
    explicit TAction(TComponent* AOwner)
        : TCustomAction(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TAction"); }
};

// A list of actions with shared images and list-wide handlers.
class TActionList : public TComponent
{
public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;
    QString ClassName() const override { return QStringLiteral("TActionList"); }

    int ActionCount() const { return int(fActions.size()); }
    TCustomAction* Actions(int index) const { return fActions.at(index); }
    TImageList* Images() const { return fImages; }
    void SetImages(TImageList* value);
    // Runs every action's Update.
    void UpdateActions();

    TActionEvent OnExecute;
    TActionEvent OnUpdate;

private:
    friend class TCustomAction;
    QList<TCustomAction*> fActions;
    TImageList* fImages = nullptr;
};

// A control's link: caption, hint, enabled and visible follow the action, and
// the control's click runs it (unless the control had its own OnClick).
class TControlActionLink : public TActionLink
{
public:
    explicit TControlActionLink(TControl* client);
    QString ClassName() const override { return QStringLiteral("TControlActionLink"); }
    TControl* Control() const { return fControl; }

protected:
    void ActionChange(bool CheckDefaults) override;

private:
    TControl* fControl;
};

// A menu item's link: caption, hint, enabled, visible, checked, image index
// and shortcut follow the action; choosing the item runs it.
class TMenuActionLink : public TActionLink
{
public:
    explicit TMenuActionLink(TMenuItem* client);
    QString ClassName() const override { return QStringLiteral("TMenuActionLink"); }
    TMenuItem* MenuItem() const { return fItem; }

protected:
    void ActionChange(bool CheckDefaults) override;

private:
    TMenuItem* fItem;
};

// The Action property of controls and menu items: links (or, with nullptr,
// unlinks) a client. The link is made on first use and owned by the client.
void SetControlAction(TControl* control, TCustomAction* action);
TCustomAction* ControlAction(const TControl* control);
TControlActionLink* ControlActionLink(const TControl* control);
void SetMenuItemAction(TMenuItem* item, TCustomAction* action);
TCustomAction* MenuItemAction(const TMenuItem* item);
