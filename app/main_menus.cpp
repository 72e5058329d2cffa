// The main window's calendar options and the editor's pop-up menu.

#include "app/helpers.h"
#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "engine/reg_values.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/menus.h"
#include "platform/gui/services.h"

void TfrmMain::ApplyCalendarOptions()
{
    CalOpts.UseEng = reger->Get(S("CalUseEng")).toBool();
    CalOpts.ChangeSOW = reger->Get(S("CalChangeSOW")).toBool();
    CalOpts.SOW = CalOpts.ChangeSOW ? reger->Get(S("CalSOW")).toInt() : 0;
    if (CalOpts.UseEng) {
        // For the whole run: every calendar and every date format after this.
        FormatSettings().ShortDayNames = { S("Sun"), S("Mon"), S("Tue"), S("Wed"), S("Thu"), S("Fri"), S("Sat") };
        dCalendar->RefreshDayNames();
    }
    // A stored day outside the week would leave the calendar without a first column.
    if (CalOpts.ChangeSOW && CalOpts.SOW >= 0 && CalOpts.SOW <= 6)
        dCalendar->SetStartOfWeek(CalOpts.SOW);
}

void TfrmMain::pmoCalendarOptionsClick(TObject*)
{
    TCalOpts options = CalOpts;
    if (!TfrmCalendarOptions::Execute(this, options))
        return;
    CalOpts = options;
    reger->SetV(S("CalUseEng"), CalOpts.UseEng);
    reger->SetV(S("CalChangeSOW"), CalOpts.ChangeSOW);
    // 1 with the override off: ApplyCalendarOptions then ignores it anyway.
    reger->SetV(S("CalSOW"), CalOpts.ChangeSOW ? CalOpts.SOW : 1);
}

void TfrmMain::pmEntryPopup(TObject*)
{
    pmoPaste->SetEnabled(Clipboard().HasFormat(CF_TEXT));
    pmoResetEntry->SetEnabled(!MemoBody->Text().isEmpty());
}

void TfrmMain::pmoPasteClick(TObject*)
{
    MemoBody->PasteFromClipboard();
}

void TfrmMain::pmoShowScrollbarClick(TObject*)
{
    pmoShowScrollbar->SetChecked(!pmoShowScrollbar->Checked());
    MemoBody->SetScrollBars(pmoShowScrollbar->Checked() ? ssVertical : ssNone);
    reger->SetV(S("ShowScrollbars"), pmoShowScrollbar->Checked() ? 1 : 0);
}

void TfrmMain::MemoBodyURLClick(TObject*, const QString& URL)
{
    OpenLink(URL);
}
