// The main window's birthday line under the editor and its birthday menu.

#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "birthdays/ui/bd_entry.h"
#include "birthdays/ui/birthday_keeper.h"
#include "birthdays/ui/birthday_popup.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "minihtml/html_label.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"

namespace {

// A link to the menu, then the names in one colour, joined by commas.
QString NameGroup(const char* heading, const char* color, const QStringList& names)
{
    return S("<a href=\"change\">") + S(heading) + S("</a>: <font color=\"") + S(color) + S("\">")
        + names.join(QLatin1Char(',')) + S("</font>");
}

} // namespace

void TfrmMain::BuildBirthdayLine()
{
    pmBirthday = new TPopupMenu(this);
    pmBirthday->SetName(S("pmBirthday"));
    pmBirthday->OnPopup = [this](TObject* s) { pmBirthdayPopup(s); };
    BuildBirthdayPopup(pmBirthday, [this](TObject* s) { pmoBirthdayMenuClick(s); });

    lblAnniversary = new TQzHtmlLabel2(this);
    lblAnniversary->SetName(S("lblAnniversary"));
    lblAnniversary->SetParent(pnlDiaryEntryMain);
    // Right under the editor, following it when the entry area is resized.
    lblAnniversary->SetBounds(
        MemoBody->Left(), MemoBody->Top() + MemoBody->Height() + 3, MemoBody->Width(), lblAnniversary->Height());
    lblAnniversary->SetAnchors(akLeft | akRight | akBottom);
    lblAnniversary->SetAutoHeight(true);
    lblAnniversary->SetTransparent(true);
    lblAnniversary->SetPopupMenu(pmBirthday);
    lblAnniversary->SetOnLinkClicked(
        [this](TObject* s, const QString& href, bool& handled) { lblAnniversaryLinkClicked(s, href, handled); });
    lblAnniversary->OnMouseLeave = [this](TObject* s) { lblAnniversaryMouseLeave(s); };
}

void TfrmMain::ShowBirthdayStrip(TDateTime aDate)
{
    const QList<TEntry*> entries = BirthdayComponent().Entries()->GetEntriesOfDay(aDate);
    QStringList birthdays, anniversaries;
    for (const TEntry* e : entries) {
        if (e->EntryType() == etBirthday)
            birthdays.append(EscapeHtml(e->FullName().trimmed()));
        else if (e->EntryType() == etAnniversary)
            anniversaries.append(EscapeHtml(e->FullName().trimmed()));
    }

    QString line;
    if (!entries.isEmpty()) {
        if (!birthdays.isEmpty())
            line += NameGroup("Birthdays", "#800000", birthdays);
        if (!anniversaries.isEmpty()) {
            if (!birthdays.isEmpty())
                line += QLatin1Char(' ');
            line += NameGroup("Anniversaries", "#000080", anniversaries);
        }
        imgAnniv->SetVisible(true);
    } else {
        line = S("No birthdays or anniversaries on this day, click <a href=\"add\">here</a> to add some");
        imgAnniv->SetVisible(false);
    }
    lblAnniversary->SetHtml(S("<font name=\"Arial\" size=\"8\" color=\"#000000\">") + line + S("</font>"));
    lblAnniversary->SetHint(QString());
}

void TfrmMain::lblAnniversaryLinkClicked(TObject*, const QString& href, bool& Handled)
{
    if (href == S("add")) {
        // The menu may still hold the state of another day, with adding
        // disabled there; bring it to the shown day before the click.
        UpdateBirthdayPopup(pmBirthday, dCalendar->CalendarDate());
        pmBirthday->Items()->Items(0)->Click();
    } else if (href == S("change")) {
        const QPoint at = MouseCursorPos();
        pmBirthday->Popup(at.x(), at.y());
    }
    // No link of this line is ever for the shell.
    Handled = true;
}

void TfrmMain::lblAnniversaryMouseLeave(TObject*)
{
    // The same text again drops the hover state of a link.
    lblAnniversary->SetHtml(lblAnniversary->Html());
}

void TfrmMain::pmBirthdayPopup(TObject*)
{
    UpdateBirthdayPopup(pmBirthday, dCalendar->CalendarDate());
}

void TfrmMain::pmoBirthdayMenuClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    const qint64 tag = item->Tag();
    if (tag == BirthdayModifyTag || tag == BirthdayDeleteTag)
        return;
    if (tag == BirthdayAddTag) {
        // The dialog fills a free-standing entry; only OK adds one to the list.
        TEntry entry;
        if (!TFrmBDEntry::InsertEntry(this, &entry, dCalendar->CalendarDate()))
            return;
        TEntry* added = BirthdayComponent().Entries()->Add();
        added->SetEntryType(entry.EntryType());
        added->SetFullName(entry.FullName());
        added->SetBirthDate(entry.BirthDate());
        added->SetNotes(entry.Notes());
        HandleEntry();
        return;
    }
    if (tag >= BirthdayDeleteBase) {
        // The name as the menu showed it, not its caption's doubled "&".
        const QString text = S("Delete entry \"") + StripAccelChars(item->Caption()) + S("\"?");
        if (MessageDlg(text, mtWarning, mbOKCancel) != mrOk)
            return;
        TEntries* entries = BirthdayComponent().Entries();
        if (TEntry* entry = entries->GetEntryOfDay(int(tag - BirthdayDeleteBase), dCalendar->CalendarDate()))
            entries->Delete(entry->Index());
        HandleEntry();
        return;
    }
    // Any other tag: the day's entry at that position, viewed or changed.
    TEntry* entry = BirthdayComponent().Entries()->GetEntryOfDay(int(tag), dCalendar->CalendarDate());
    if (!entry || !TFrmBDEntry::EditEntry(this, entry))
        return;
    entry->SetModified(true);
    HandleEntry();
}

void TfrmMain::BtnBirthdaysClick(TObject*)
{
    RunBirthdayKeeper(this);
}

void TfrmMain::RunBirthdayKeeper(TComponent* owner)
{
    Session().SaveBirthdays();
    ReportMovedBirthdayFile();
    TfrmBDMain::Execute(owner, Session().BirthdayFileName, dCalendar->CalendarDate(), QString(), 0);
    Session().LoadBirthdays();
    HandleEntry();
}
