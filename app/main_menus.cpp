// The main window's pop-up menus: the calendar's with its options, the
// editor's and the mood picture's.

#include "app/helpers.h"
#include "app/main_form.h"
#include "app/settings.h"
#include "platform/core/sysutils.h"

#include "controls/form_building.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "engine/reg_values.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/services.h"

void TfrmMain::BuildMenus()
{
    pmCalendar = MakePopupMenu(this, "pmCalendar");
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoNextEntry", "Next Entry (PgDn)"), actGoNEntry);
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoPrevEntry", "Previous Entry (PgUp)"), actGoPEntry);
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoNextMonth", "Next Month"), actGoNMonth);
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoPrevMonth", "Previous Month"), actGoPMonth);
    TMenuItem* nextYear = AddMenuItem(this, pmCalendar->Items(), "pmoNextYear", "Next Year");
    TMenuItem* prevYear = AddMenuItem(this, pmCalendar->Items(), "pmoPrevYear", "Previous Year");
    SetMenuItemAction(nextYear, actGoNYear);
    SetMenuItemAction(prevYear, actGoPYear);
    nextYear->SetVisible(false);
    prevYear->SetVisible(false);
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoGotoToday", "Goto: ToDay"), actGoToday);
    pmoCalendarOptions = AddMenuItem(this, pmCalendar->Items(), "pmoCalendarOptions", "Calendar Options");
    pmoCalendarOptions->OnClick = [this](TObject* s) { pmoCalendarOptionsClick(s); };
    dCalendar->SetPopupMenu(pmCalendar);

    pmEntry = MakePopupMenu(this, "pmEntry");
    pmoPaste = AddMenuItem(this, pmEntry->Items(), "pmoPaste", "Paste from clipboard");
    pmoShowScrollbar = AddMenuItem(this, pmEntry->Items(), "pmoShowScrollbar", "Show scrollbar ");
    AddMenuItem(this, pmEntry->Items(), "pmoEntryLine", "-");
    pmoResetEntry = AddMenuItem(this, pmEntry->Items(), "pmoResetEntry", "Reset to default font");
    MemoBody->SetPopupMenu(pmEntry);

    pmImage = MakePopupMenu(this, "pmImage");
    SetMenuItemAction(AddMenuItem(this, pmImage->Items(), "pmoNextImage", ""), actNextMood);
    SetMenuItemAction(AddMenuItem(this, pmImage->Items(), "pmoPrevImage", ""), actPrevMood);
    imgMood->SetPopupMenu(pmImage);
}

void TfrmMain::ApplyCalendarOptions()
{
    CalOpts.UseEng = Session().reger->Get(Settings::CalUseEng).toBool();
    CalOpts.ChangeSOW = Session().reger->Get(Settings::CalChangeSOW).toBool();
    CalOpts.SOW = CalOpts.ChangeSOW ? Session().reger->Get(Settings::CalSOW).toInt() : 0;
    if (CalOpts.UseEng) {
        // For the whole run: every calendar and every date format after this,
        // also after a locale change has reloaded the formats from the locale.
        const auto useEnglish = [this] {
            FormatSettings().ShortDayNames = { S("Sun"), S("Mon"), S("Tue"), S("Wed"), S("Thu"), S("Fri"), S("Sat") };
            dCalendar->RefreshDayNames();
        };
        useEnglish();
        Application()->HookMainWindow(this, [useEnglish](TMessage& Message) {
            if (Message.Msg == WM_WININICHANGE)
                useEnglish();
            return false;
        });
        fHookedDayNames = true;
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
    Session().reger->SetV(Settings::CalUseEng, CalOpts.UseEng);
    Session().reger->SetV(Settings::CalChangeSOW, CalOpts.ChangeSOW);
    // 1 with the override off: ApplyCalendarOptions then ignores it anyway.
    Session().reger->SetV(Settings::CalSOW, CalOpts.ChangeSOW ? CalOpts.SOW : 1);
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
    Session().reger->SetV(Settings::ShowScrollbars, pmoShowScrollbar->Checked() ? 1 : 0);
}

void TfrmMain::MemoBodyURLClick(TObject*, const QString& URL)
{
    OpenLink(URL);
}
