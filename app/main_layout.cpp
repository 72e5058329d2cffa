// The main window's controls and where they sit: the calendar column at the
// left, the entry area at the right, the commands over the skin.

#include "app/main_form.h"

#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

namespace {

constexpr TColor kEntryBackground = 0x00F2FFFF;

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

template <class T> T* Make(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds)
{
    T* control = new T(owner);
    control->SetName(S(name));
    control->SetParent(parent);
    control->SetBoundsRect(bounds);
    return control;
}

TGlyphSpeedButton* MakeButton(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, std::function<void(TObject*)> onClick = {})
{
    auto* button = Make<TGlyphSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(S(caption));
    button->SetHint(S(hint));
    button->SetShowHint(hint[0] != '\0');
    button->SetFlat(true);
    button->SetTransparent(true);
    if (onClick)
        button->OnClick = std::move(onClick);
    return button;
}

TLbSpeedButton* MakeNavButton(
    TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds, const char* caption, const char* hint)
{
    auto* button = Make<TLbSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(S(caption));
    button->SetHint(S(hint));
    button->SetShowHint(hint[0] != '\0');
    // The form's white text would vanish on the light button faces.
    button->Font()->SetColor(clBlack);
    return button;
}

TMenuItem* AddItem(TfrmMain* owner, TPopupMenu* menu, const char* name, const char* caption)
{
    auto* item = new TMenuItem(owner);
    item->SetName(S(name));
    item->SetCaption(S(caption));
    menu->Items()->Add(item);
    return item;
}

} // namespace

void TfrmMain::BuildControls()
{
    imgBack = Make<TImage>(this, this, "imgBack", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    imgBack->SetAlign(alClient);
    imgBack->SetStretch(true);

    // Left column: calendar, its navigation, the day commands.
    dCalendar = Make<TCPCalendar>(this, this, "dCalendar", QRect(12, 48, 224, 176));
    dCalendar->SetGridLineWidth(2);
    dCalendar->SetBorderStyle(bsNone);
    dCalendar->SetColor(kEntryBackground);
    TFont calendarFont;
    calendarFont.SetName(S("Arial"));
    calendarFont.SetHeight(-11);
    calendarFont.SetColor(clBlack);
    dCalendar->SetFont(calendarFont);
    dCalendar->SetStartOfWeek(0);
    dCalendar->SetActiveColor(0x00FF0000);
    dCalendar->SetActiveBGColor(0x00FFDBD7);
    dCalendar->SetSpecialColor(0x00000080);
    dCalendar->SetSpecialBGColor(0x00FFE0CE);
    dCalendar->SetHint(S("A calendar to help your selections. \r\nColored cells contain written entries.\r\n"
                         "You can right click for more options."));
    dCalendar->SetShowHint(true);

    pnlCalendarNavigate = Make<TCPHatchPanel>(this, this, "pnlCalendarNavigate", QRect(12, 228, 224, 62));
    pnlCalendarNavigate->SetBevelOuter(bvNone);
    pnlCalendarNavigate->SetTransparent(true);
    btnPrevMonth = MakeNavButton(this, pnlCalendarNavigate, "btnPrevMonth", QRect(2, 4, 20, 22), "<", "Previous Month");
    lblMonth = Make<TLabel>(this, pnlCalendarNavigate, "lblMonth", QRect(22, 8, 32, 16));
    btnNextMonth = MakeNavButton(this, pnlCalendarNavigate, "btnNextMonth", QRect(54, 4, 20, 22), ">", "Next Month");
    btnPrevEntry = MakeNavButton(
        this, pnlCalendarNavigate, "btnPrevEntry", QRect(76, 4, 20, 22), "<", "Previous entry you've written");
    lblEntry = Make<TLabel>(this, pnlCalendarNavigate, "lblEntry", QRect(96, 8, 32, 16));
    btnNextEntry = MakeNavButton(
        this, pnlCalendarNavigate, "btnNextEntry", QRect(128, 4, 20, 22), ">", "Next entry you've written");
    btnPrevYear = MakeNavButton(this, pnlCalendarNavigate, "btnPrevYear", QRect(150, 4, 20, 22), "<", "Previous Year");
    lblYear = Make<TLabel>(this, pnlCalendarNavigate, "lblYear", QRect(170, 8, 32, 16));
    btnNextYear = MakeNavButton(this, pnlCalendarNavigate, "btnNextYear", QRect(202, 4, 20, 22), ">", "Next Year");
    btnToDay = MakeNavButton(this, pnlCalendarNavigate, "btnToDay", QRect(82, 34, 60, 22), "Today", "Jump to today");
    struct NavLabel {
        TLabel* label;
        const char* caption;
        const char* hint;
    };
    for (const NavLabel& l : { NavLabel { lblMonth, "Month", "Navigate through months" },
             NavLabel { lblEntry, "Entry", "Navigate through entries\r\nyou have already written" },
             NavLabel { lblYear, "Year", "Navigate through years" } }) {
        l.label->SetCaption(S(l.caption));
        l.label->SetHint(S(l.hint));
        l.label->SetShowHint(true);
        l.label->SetAlignment(taCenter);
        l.label->SetTransparent(true);
    }

    BtnToDay2
        = MakeButton(this, this, "BtnToDay2", QRect(12, 298, 110, 30), "Today", "Quickly jump to\r\n  todays' date");
    btnBrowse
        = MakeButton(this, this, "btnBrowse", QRect(126, 298, 110, 30), "Browse", " List or search\r\nthrough entries");
    btnPrevEntry2 = MakeButton(this, this, "btnPrevEntry2", QRect(12, 332, 110, 30), "",
        " Goto the previous entry\r\nyou have written (PgUp)");
    btnNextEntry2 = MakeButton(
        this, this, "btnNextEntry2", QRect(126, 332, 110, 30), "", "Goto the next entry you\r\n  have written (PgDn)");
    BtnBirthdays = MakeButton(
        this, this, "BtnBirthdays", QRect(12, 366, 224, 30), "Birthdays", "Manage birthdays\r\nand anniversaries");
    btnSkin = MakeButton(
        this, this, "btnSkin", QRect(12, 486, 72, 30), "Skin", "Change Skin", [this](TObject* s) { btnSkinClick(s); });
    btnOptions = MakeButton(this, this, "btnOptions", QRect(88, 486, 72, 30), "Tools", "More Tools and Options",
        [this](TObject* s) { btnOptionsClick(s); });
    btnAbout = MakeButton(this, this, "btnAbout", QRect(164, 486, 72, 30), "About", "About this program",
        [this](TObject* s) { btnAboutClick(s); });

    // Top row over the entry.
    btnNew = MakeButton(this, this, "btnNew", QRect(248, 10, 80, 30), "Edit", "Edit this entry");
    btnDelete = MakeButton(this, this, "btnDelete", QRect(332, 10, 80, 30), "Delete", "Delete this entry");
    btnPrint = MakeButton(this, this, "btnPrint", QRect(416, 10, 80, 30), "Print", "Print Entries",
        [this](TObject* s) { btnPrintClick(s); });
    btnExit = MakeButton(this, this, "btnExit", QRect(681, 10, 80, 30), "Exit", "Save and Exit",
        [this](TObject* s) { btnExitClick(s); });
    btnExit->SetAnchors(akTop | akRight);

    // The entry area; the page tab sits at its right until it is hidden.
    pnlDiaryEntryMain = Make<TCPHatchPanel>(this, this, "pnlDiaryEntryMain", QRect(248, 48, 503, 468));
    pnlDiaryEntryMain->SetBevelOuter(bvNone);
    pnlDiaryEntryMain->SetTransparent(true);
    pnlDiaryEntryMain->SetAnchors(akLeft | akTop | akRight | akBottom);
    imgTAB = Make<TImage>(this, this, "imgTAB", QRect(751, 48, 18, 146));
    imgTAB->SetTransparent(true);
    imgTAB->SetAnchors(akTop | akRight);

    // The bars over the editor let the skin show through.
    pnlTitle = Make<TCPHatchPanel>(this, pnlDiaryEntryMain, "pnlTitle", QRect(0, 0, 503, 32));
    pnlTitle->SetBevelOuter(bvNone);
    pnlTitle->SetTransparent(true);
    pnlTitle->SetAnchors(akLeft | akTop | akRight);
    lblTitle = Make<TLabel>(this, pnlTitle, "lblTitle", QRect(4, 8, 36, 16));
    lblTitle->SetCaption(S("Title:"));
    lblTitle->SetTransparent(true);
    edtTitle = Make<TEdit>(this, pnlTitle, "edtTitle", QRect(42, 4, 345, 24));
    edtTitle->SetAnchors(akLeft | akTop | akRight);
    edtTitle->SetColor(kEntryBackground);
    edtTitle->SetMaxLength(100);
    edtTitle->SetHint(S("Write a title for this day|"));
    edtTitle->SetShowHint(true);
    pnlTips = Make<TCPHatchPanel>(this, pnlTitle, "pnlTips", QRect(391, 4, 108, 24));
    pnlTips->SetBevelOuter(bvNone);
    pnlTips->SetTransparent(true);
    pnlTips->SetAnchors(akTop | akRight);
    imgLocked = Make<TImage>(this, pnlTips, "imgLocked", QRect(86, 2, 20, 20));
    imgUnlocked = Make<TImage>(this, pnlTips, "imgUnlocked", QRect(62, 2, 20, 20));
    imgAnniv = Make<TImage>(this, pnlTips, "imgAnniv", QRect(38, 2, 20, 20));
    imgAnniv->SetVisible(false);
    imgLocked->SetHint(S("  This diary is protected with a \r\npassword. Please don't forget it!"));
    imgUnlocked->SetHint(S("This diary is not protected since \r\n you didn't specify a password !"));

    pnlFormat = Make<TCPHatchPanel>(this, pnlDiaryEntryMain, "pnlFormat", QRect(0, 34, 503, 30));
    pnlFormat->SetBevelOuter(bvNone);
    pnlFormat->SetTransparent(true);
    pnlFormat->SetAnchors(akLeft | akTop | akRight);
    btnPrint2 = MakeButton(this, pnlFormat, "btnPrint2", QRect(4, 2, 26, 26), "", "Print current page",
        [this](TObject* s) { btnPrintClick(s); });
    btnSpellCheck = MakeButton(
        this, pnlFormat, "btnSpellCheck", QRect(32, 2, 26, 26), "", "", [this](TObject* s) { btnSpellCheckClick(s); });
    btnPrevMood = MakeButton(this, pnlFormat, "btnPrevMood", QRect(417, 2, 26, 26), "", "");
    btnNextMood = MakeButton(this, pnlFormat, "btnNextMood", QRect(473, 2, 26, 26), "", "");
    btnPrevMood->SetAnchors(akTop | akRight);
    btnNextMood->SetAnchors(akTop | akRight);

    MemoBody = Make<TCPRichEdit>(this, pnlDiaryEntryMain, "MemoBody", QRect(4, 66, 495, 376));
    MemoBody->SetColor(kEntryBackground);
    MemoBody->SetAnchors(akLeft | akTop | akRight | akBottom);
    MemoNotes = Make<TCPRichEdit>(this, pnlDiaryEntryMain, "MemoNotes", QRect(4, 66, 495, 376));
    MemoNotes->SetColor(kEntryBackground);

    tsDiary = Make<TTabSet>(this, pnlDiaryEntryMain, "tsDiary", QRect(4, 444, 495, 20));
    tsDiary->Tabs()->Add(S(" Diary"));
    tsDiary->Tabs()->Add(S(" Notes "));
    tsDiary->SetVisible(false);

    pnlInfo = Make<TPanel>(this, this, "pnlInfo", QRect(0, 0, 10, 10));
    pnlInfo->SetBevelOuter(bvNone);
    pnlInfo->SetColor(clBlack);

    pmCalendar = new TPopupMenu(this);
    pmCalendar->SetName(S("pmCalendar"));
    AddItem(this, pmCalendar, "pmoNextEntry", "Next Entry (PgDn)");
    AddItem(this, pmCalendar, "pmoPrevEntry", "Previous Entry (PgUp))");
    AddItem(this, pmCalendar, "pmoNextMonth", "Next Month");
    AddItem(this, pmCalendar, "pmoPrevMonth", "Previous Month");
    AddItem(this, pmCalendar, "pmoNextYear", "Next Year")->SetVisible(false);
    AddItem(this, pmCalendar, "pmoPrevYear", "Previous Year")->SetVisible(false);
    AddItem(this, pmCalendar, "pmoGotoToday", "Goto: ToDay");
    AddItem(this, pmCalendar, "pmoCalendarOptions", "Calendar Options");
    dCalendar->SetPopupMenu(pmCalendar);

    pmEntryPopup = new TPopupMenu(this);
    pmEntryPopup->SetName(S("pmEntryPopup"));
    pmoShowScrollbar = AddItem(this, pmEntryPopup, "pmoShowScrollbar", "Show scrollbar ");
    MemoBody->SetPopupMenu(pmEntryPopup);

    lblDate = new TShadowLabel(this);
    lblDate->SetName(S("lblDate"));
    lblDate->SetParent(this);
    lblDate->SetBoundsRect(QRect(500, 14, 176, 22));
    lblDate->SetTransparent(true);

    lblDateSmall = new TLabel(this);
    lblDateSmall->SetName(S("lblDateSmall"));
    lblDateSmall->SetParent(pnlFormat);
    lblDateSmall->SetBoundsRect(QRect(310, 8, 104, 16));
    lblDateSmall->SetAlignment(taRightJustify);
    lblDateSmall->SetAnchors(akTop | akRight);
    lblDateSmall->SetTransparent(true);

    imgMood = new TImage(this);
    imgMood->SetName(S("imgMood"));
    imgMood->SetParent(pnlFormat);
    imgMood->SetBoundsRect(QRect(445, 2, 26, 26));
    imgMood->SetAnchors(akTop | akRight);
    imgMood->SetStretch(true);

    BuildDayDisplay();
    BuildBirthdayLine();
}
