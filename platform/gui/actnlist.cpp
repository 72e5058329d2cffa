#include "actnlist.h"

#include "platform/gui/menus.h"

// --- TActionLink ---

TActionLink::TActionLink(TComponent* client)
    : TComponent(client)
{
}

TActionLink::~TActionLink()
{
    if (fAction)
        fAction->fLinks.removeAll(this);
}

void TActionLink::SetAction(TCustomAction* value)
{
    if (value == fAction)
        return;
    if (fAction)
        fAction->fLinks.removeAll(this);
    fAction = value;
    if (value) {
        value->fLinks.append(this);
        Changed(true);
    }
}

void TActionLink::Changed(bool CheckDefaults)
{
    ActionChange(CheckDefaults);
    if (OnActionChange && fAction)
        OnActionChange(fAction, CheckDefaults);
}

void TActionLink::ActionChange(bool) { }

bool TActionLink::Execute()
{
    TCustomAction* action = fAction;
    if (!action)
        return false;
    TComponent* previous = action->ActionComponent();
    action->SetActionComponent(Client());
    struct Restore
    {
        TCustomAction* action;
        TComponent* previous;
        ~Restore() { action->SetActionComponent(previous); }
    } restore { action, previous };
    return action->Execute();
}

// --- TCustomAction ---

TCustomAction::TCustomAction(TComponent* AOwner)
    : TComponent(AOwner)
{
}

TCustomAction::~TCustomAction()
{
    for (TActionLink* link : std::exchange(fLinks, {}))
        link->fAction = nullptr;
    if (fActionList)
        fActionList->fActions.removeAll(this);
}

void TCustomAction::Change()
{
    for (TActionLink* link : QList<TActionLink*>(fLinks))
        if (fLinks.contains(link))
            link->Changed(false);
}

void TCustomAction::SetCaption(const QString& value)
{
    if (value == fCaption)
        return;
    fCaption = value;
    Change();
}

void TCustomAction::SetHint(const QString& value)
{
    if (value == fHint)
        return;
    fHint = value;
    Change();
}

void TCustomAction::SetEnabled(bool value)
{
    if (value == fEnabled)
        return;
    fEnabled = value;
    Change();
}

void TCustomAction::SetChecked(bool value)
{
    if (value == fChecked)
        return;
    fChecked = value;
    Change();
}

void TCustomAction::SetVisible(bool value)
{
    if (value == fVisible)
        return;
    fVisible = value;
    Change();
}

void TCustomAction::SetImageIndex(int value)
{
    if (value == fImageIndex)
        return;
    fImageIndex = value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut value)
{
    if (value == fShortCut)
        return;
    fShortCut = value;
    Change();
}

void TCustomAction::SetActionList(TActionList* value)
{
    if (value == fActionList)
        return;
    if (fActionList)
        fActionList->fActions.removeAll(this);
    fActionList = value;
    if (value)
        value->fActions.append(this);
}

int TCustomAction::Index() const
{
    return fActionList ? int(fActionList->fActions.indexOf(const_cast<TCustomAction*>(this))) : -1;
}

bool TCustomAction::Update()
{
    if (fActionList && fActionList->OnUpdate) {
        bool handled = false;
        fActionList->OnUpdate(this, handled);
        if (handled)
            return true;
    }
    if (OnUpdate) {
        OnUpdate(this);
        return true;
    }
    return false;
}

bool TCustomAction::Execute()
{
    Update();
    if (!fEnabled)
        return false;
    if (fAutoCheck)
        SetChecked(!fChecked);
    if (fActionList && fActionList->OnExecute) {
        bool handled = false;
        fActionList->OnExecute(this, handled);
        if (handled)
            return true;
    }
    if (OnExecute) {
        OnExecute(this);
        return true;
    }
    return false;
}

// --- TActionList ---

TActionList::TActionList(TComponent* AOwner)
    : TComponent(AOwner)
{
}

TActionList::~TActionList()
{
    for (TCustomAction* action : std::exchange(fActions, {}))
        action->fActionList = nullptr;
}

void TActionList::SetImages(TImageList* value)
{
    fImages = value;
    for (TCustomAction* action : QList<TCustomAction*>(fActions))
        action->Change();
}

void TActionList::UpdateActions()
{
    for (TCustomAction* action : QList<TCustomAction*>(fActions))
        action->Update();
}

// --- TControlActionLink ---

TControlActionLink::TControlActionLink(TControl* client)
    : TActionLink(client)
    , fControl(client)
{
}

void TControlActionLink::ActionChange(bool CheckDefaults)
{
    TCustomAction* action = Action();
    if (!action)
        return;
    if (!CheckDefaults || fControl->Caption().isEmpty())
        fControl->SetCaption(action->Caption());
    if (!CheckDefaults || fControl->Hint().isEmpty())
        fControl->SetHint(action->Hint());
    if (!CheckDefaults || fControl->Enabled())
        fControl->SetEnabled(action->Enabled());
    if (!CheckDefaults || fControl->Visible())
        fControl->SetVisible(action->Visible());
    // The click runs the action, unless the control has a handler of its own.
    if (CheckDefaults && !fControl->OnClick)
        fControl->OnClick = [this](TObject*) { Execute(); };
}

// --- TMenuActionLink ---

TMenuActionLink::TMenuActionLink(TMenuItem* client)
    : TActionLink(client)
    , fItem(client)
{
}

void TMenuActionLink::ActionChange(bool CheckDefaults)
{
    TCustomAction* action = Action();
    if (!action)
        return;
    if (!CheckDefaults || fItem->Caption().isEmpty())
        fItem->SetCaption(action->Caption());
    if (!CheckDefaults || fItem->Hint().isEmpty())
        fItem->SetHint(action->Hint());
    if (!CheckDefaults || fItem->Enabled())
        fItem->SetEnabled(action->Enabled());
    if (!CheckDefaults || fItem->Visible())
        fItem->SetVisible(action->Visible());
    if (!CheckDefaults || !fItem->Checked())
        fItem->SetChecked(action->Checked());
    if (!CheckDefaults || fItem->ImageIndex() < 0)
        fItem->SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || fItem->ShortCut() == 0)
        fItem->SetShortCut(action->ShortCut());
    if (CheckDefaults && !fItem->OnClick)
        fItem->OnClick = [this](TObject*) { Execute(); };
}

// --- the Action property ---

namespace {

template <class Link> Link* FindLink(const TComponent* client)
{
    for (int i = 0; i < client->ComponentCount(); ++i)
        if (auto* link = dynamic_cast<Link*>(client->Components(i)))
            return link;
    return nullptr;
}

} // namespace

TControlActionLink* ControlActionLink(const TControl* control)
{
    return FindLink<TControlActionLink>(control);
}

void SetControlAction(TControl* control, TCustomAction* action)
{
    TControlActionLink* link = ControlActionLink(control);
    if (!link) {
        if (!action)
            return;
        link = new TControlActionLink(control);
    }
    link->SetAction(action);
}

TCustomAction* ControlAction(const TControl* control)
{
    TControlActionLink* link = ControlActionLink(control);
    return link ? link->Action() : nullptr;
}

void SetMenuItemAction(TMenuItem* item, TCustomAction* action)
{
    auto* link = FindLink<TMenuActionLink>(item);
    if (!link) {
        if (!action)
            return;
        link = new TMenuActionLink(item);
    }
    link->SetAction(action);
}

TCustomAction* MenuItemAction(const TMenuItem* item)
{
    auto* link = FindLink<TMenuActionLink>(item);
    return link ? link->Action() : nullptr;
}
