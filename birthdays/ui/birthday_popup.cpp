#include "birthdays/ui/birthday_popup.h"

#include "birthdays/birthday.h"
#include "platform/gui/controls.h"
#include "platform/gui/menus.h"

#include <algorithm>

namespace {

TMenuItem* NewItem(TPopupMenu* Menu, const QString& caption, int tag, const TNotifyEvent& OnClick)
{
    auto* item = new TMenuItem(Menu);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->OnClick = OnClick;
    item->SetVisible(true);
    return item;
}

void AddSubItems(TPopupMenu* Menu, TMenuItem* parent, const TNotifyEvent& OnClick)
{
    for (int i = 0; i < MaxBirthdayEntriesPerDay; ++i)
        parent->Add(NewItem(Menu, QString::number(i), 0, OnClick));
}

} // namespace

void BuildBirthdayPopup(TPopupMenu* Menu, TNotifyEvent OnClick)
{
    TMenuItem* root = Menu->Items();
    root->Add(NewItem(Menu, QStringLiteral("Add entry"), BirthdayAddTag, OnClick));
    TMenuItem* modify = NewItem(Menu, QStringLiteral("View/Modify entry of"), BirthdayModifyTag, OnClick);
    root->Add(modify);
    TMenuItem* remove = NewItem(Menu, QStringLiteral("Delete entry of"), BirthdayDeleteTag, OnClick);
    root->Add(remove);
    AddSubItems(Menu, modify, OnClick);
    AddSubItems(Menu, remove, OnClick);
}

void UpdateBirthdayPopup(TPopupMenu* Menu, TDateTime aDate)
{
    const QList<TEntry*> entries = BirthdayComponent().Entries()->GetEntriesOfDay(aDate);
    const int n = int(entries.size());

    TMenuItem* add = nullptr;
    TMenuItem* modify = nullptr;
    TMenuItem* remove = nullptr;
    TMenuItem* root = Menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        switch (item->Tag()) {
        case BirthdayAddTag: add = item; break;
        case BirthdayModifyTag: modify = item; break;
        case BirthdayDeleteTag: remove = item; break;
        default: break;
        }
    }
    if (!add || !modify || !remove)
        return;

    add->SetEnabled(n < MaxBirthdayEntriesPerDay);
    modify->SetEnabled(n > 0);
    remove->SetEnabled(n > 0);
    add->SetCaption(n > 0 ? QStringLiteral("Add more entries") : QStringLiteral("Add entry"));

    for (TMenuItem* parent : { modify, remove })
        for (int i = 0; i < parent->Count(); ++i)
            parent->Items(i)->SetVisible(false);

    // A menu built elsewhere may have fewer sub-items: those it has are used.
    const int shown = std::min(n, MaxBirthdayEntriesPerDay);
    for (int i = 0; i < shown; ++i) {
        // A name is shown as typed: "&" in it marks no accelerator.
        const QString name = EscapeAccelChars(entries.at(i)->FullName());
        if (i < modify->Count()) {
            TMenuItem* item = modify->Items(i);
            item->SetVisible(true);
            item->SetTag(i);
            item->SetCaption(name);
        }
        if (i < remove->Count()) {
            TMenuItem* item = remove->Items(i);
            item->SetVisible(true);
            item->SetTag(i + BirthdayDeleteBase);
            item->SetCaption(name);
        }
    }
}
