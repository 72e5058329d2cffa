// The main window's controls and where they sit: the calendar column at the
// left, the entry area at the right, the commands over the skin.
//
// The entry area reads from top to bottom: the day's mood picture with its
// arrows, the short date and the title; then one sheet of paper with the
// formatting bar at its top while the body is being written, the body, and
// under it a line for the day's birthdays. Everything right of the calendar column
// stretches with the window; the column itself stays where it is.

#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/helpers.h"
#include "controls/form_building.h"

#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace {

constexpr TColor kEntryBackground = 0x00F2FFFF;
// Hover colour of the calendar's arrows: the calendar's own written-day blue.
constexpr TColor kNavHot = 0x00FFDBD7;

// The calendar column and the entry area.
constexpr int kColumnLeft = 12;
constexpr int kColumnWidth = 224;
constexpr int kEntryLeft = 248;
constexpr int kEntryTop = 48;
constexpr int kEntryWidth = 503; // the page tab follows at its right
constexpr int kEntryHeight = 468;
constexpr int kTabWidth = 18;
// Rows of the entry area.
constexpr int kTitleHeight = 70;
constexpr int kStripTop = 74;
constexpr int kStripHeight = 32;
// The title's box as designed; a larger font makes it taller.
constexpr int kTitleEditTop = 40;
constexpr int kTitleEditHeight = 26;
// Frame and a pixel of air above and below the text, as the class
// library's edits size themselves to their font.
constexpr int kEditTextSpare = 8;
constexpr int kBodyTop = kStripTop + kStripHeight;
// Paper left free around the body's text.
constexpr int kPaperMargin = 8;
// Room under the body for the birthday line.
constexpr int kBirthdayRoom = 24;
// The command buttons over the skin.
constexpr int kCommandHeight = 34;

template <class T> T* Make(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds)
{
    return MakeControl<T>(owner, parent, name, bounds);
}

template <class Button> void SetGlyphOf(Button* button, const char* picture)
{
    // Without the pictures a button keeps its caption only.
    const QImage image = ProgramPicture(S(picture));
    if (image.isNull())
        return;
    TBitmap bitmap;
    bitmap.SetImage(image);
    button->SetGlyph(&bitmap);
}

TGlyphSpeedButton* MakeButton(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture)
{
    auto* button = Make<TGlyphSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(S(caption));
    button->SetHint(S(hint));
    button->SetShowHint(hint[0] != '\0');
    button->SetTransparent(true);
    button->SetGrayedInactive(false);
    button->SetMarkDropDown(false);
    button->SetCursor(crHandPoint);
    SetGlyphOf(button, picture);
    return button;
}

// A command over the skin: glyph left of a white caption, framed only
// while the mouse is over it.
TGlyphSpeedButton* MakeCommand(
    TfrmMain* owner, const char* name, const QRect& bounds, const char* caption, const char* hint, const char* picture)
{
    auto* button = MakeButton(owner, owner, name, bounds, caption, hint, picture);
    button->SetFlat(true);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(6);
    SetFontOf(button, 13, clWhite, true);
    return button;
}

// A button of the formatting bar: a glyph on the paper strip.
TGlyphSpeedButton* MakeFormatButton(
    TfrmMain* owner, TWinControl* bar, const char* name, int left, const char* hint, const char* picture)
{
    auto* button = MakeButton(owner, bar, name, QRect(left, 3, 26, 26), "", hint, picture);
    button->SetFlat(true);
    return button;
}

TLbSpeedButton* MakeNavButton(
    TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds, const char* hint, const char* picture)
{
    auto* button = Make<TLbSpeedButton>(owner, parent, name, bounds);
    button->SetHint(S(hint));
    button->SetShowHint(true);
    button->SetFlat(true);
    button->SetTransparent(true);
    button->SetColor(kEntryBackground);
    button->SetHotTrackColor(kNavHot);
    button->SetAlignment(taCenter);
    button->SetCursor(crHandPoint);
    SetGlyphOf(button, picture);
    return button;
}

TAction* MakeAction(TfrmMain* owner, TActionList* list, const char* name, const char* caption, const char* hint)
{
    auto* action = new TAction(owner);
    action->SetName(S(name));
    action->SetCaption(S(caption));
    action->SetHint(S(hint));
    action->SetActionList(list);
    return action;
}

// Binds a button to its action but keeps the button's own caption (the
// link would fill an empty one): the arrows show their picture only, the
// action's caption is for the menus.
void BindButton(TGlyphSpeedButton* button, TAction* action)
{
    const QString caption = button->Caption();
    button->SetAction(action);
    button->SetCaption(caption);
}

// A thin upright rule between groups of the formatting buttons.
void AddSeparator(TfrmMain* owner, TWinControl* bar, const char* name, int left)
{
    auto* rule = Make<TBevel>(owner, bar, name, QRect(left, 7, 2, 18));
    rule->SetShape(bsLeftLine);
}

} // namespace

void TfrmMain::BuildControls()
{
    imgBack = Make<TImage>(this, this, "imgBack", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    imgBack->SetAlign(alClient);
    imgBack->SetStretch(true);

    alMain = new TActionList(this);
    alMain->SetName(S("alMain"));
    actGoToday = MakeAction(this, alMain, "actGoToday", "ToDay", "Jump to Today");
    actGoNMonth = MakeAction(this, alMain, "actGoNMonth", "Month", "Go to Next Month");
    actGoPMonth = MakeAction(this, alMain, "actGoPMonth", "Month", "Go to Previous Month");
    actGoNYear = MakeAction(this, alMain, "actGoNYear", "Year", "Go to Next Year");
    actGoPYear = MakeAction(this, alMain, "actGoPYear", "Year", "Go to Previous Year");
    actGoNEntry = MakeAction(this, alMain, "actGoNEntry", "", "Goto the next entry\r\n you have written");
    actGoPEntry = MakeAction(this, alMain, "actGoPEntry", "", "Goto the previous entry\r\n    you have written");
    actBrowse = MakeAction(this, alMain, "actBrowse", "", "List all entries");
    actNextMood = MakeAction(this, alMain, "actNextMood", "Next image", "");
    actPrevMood = MakeAction(this, alMain, "actPrevMood", "Previous image", "");
    actGoToday->OnExecute = [this](TObject* s) { actGoTodayExecute(s); };
    actGoNMonth->OnExecute = [this](TObject* s) { actGoNMonthExecute(s); };
    actGoPMonth->OnExecute = [this](TObject* s) { actGoPMonthExecute(s); };
    actGoNYear->OnExecute = [this](TObject* s) { actGoNYearExecute(s); };
    actGoPYear->OnExecute = [this](TObject* s) { actGoPYearExecute(s); };
    actGoNEntry->OnExecute = [this](TObject* s) { actGoNEntryExecute(s); };
    actGoPEntry->OnExecute = [this](TObject* s) { actGoPEntryExecute(s); };

    // The day shown, as a heading over the calendar.
    lblDate = Make<TShadowLabel>(this, this, "lblDate", QRect(kColumnLeft - 4, 8, kColumnWidth + 8, kCommandHeight));
    lblDate->SetAutoSize(false);
    lblDate->SetAlignment(taCenter);
    lblDate->SetLayout(tlCenter);
    lblDate->SetTransparent(true);
    lblDate->SetShadowColor(0x00000040);
    lblDate->SetShadowSize(1);
    lblDate->SetShadowPos(spRightBottom);
    SetFontOf(lblDate, 21, clWhite, true);

    // Left column: calendar, its navigation, the day commands.
    dCalendar = Make<TCPCalendar>(this, this, "dCalendar", QRect(kColumnLeft, kEntryTop, kColumnWidth, 176));
    dCalendar->SetGridLineWidth(2);
    dCalendar->SetBorderStyle(bsNone);
    dCalendar->SetColor(kEntryBackground);
    SetFontOf(dCalendar, 11, clBlack);
    dCalendar->SetStartOfWeek(0);
    dCalendar->SetActiveColor(0x00FF0000);
    dCalendar->SetActiveBGColor(0x00FFDBD7);
    dCalendar->SetSpecialColor(0x00000080);
    dCalendar->SetSpecialBGColor(0x00FFE0CE);
    dCalendar->SetHint(S("A calendar to help your selections. \r\nColored cells contain written entries.\r\n"
                         "You can right click for more options."));
    dCalendar->SetShowHint(true);

    // The navigation is the calendar's footer, on the same paper.
    pnlCalendarNavigate
        = Make<TCPHatchPanel>(this, this, "pnlCalendarNavigate", QRect(kColumnLeft, kEntryTop + 176, kColumnWidth, 28));
    pnlCalendarNavigate->SetBevelOuter(bvNone);
    pnlCalendarNavigate->SetColor(kEntryBackground);
    SetFontOf(pnlCalendarNavigate, 11, clBlack);
    btnPrevMonth = MakeNavButton(
        this, pnlCalendarNavigate, "btnPrevMonth", QRect(2, 3, 16, 22), "Previous Month", "NAVPREVMONTH");
    lblMonth = Make<TLabel>(this, pnlCalendarNavigate, "lblMonth", QRect(18, 7, 32, 14));
    btnNextMonth
        = MakeNavButton(this, pnlCalendarNavigate, "btnNextMonth", QRect(50, 3, 16, 22), "Next Month", "NAVNEXTMONTH");
    btnPrevEntry = MakeNavButton(this, pnlCalendarNavigate, "btnPrevEntry", QRect(70, 3, 16, 22),
        "Previous entry you've written", "NAVPREVENTRY");
    lblEntry = Make<TLabel>(this, pnlCalendarNavigate, "lblEntry", QRect(86, 7, 32, 14));
    btnNextEntry = MakeNavButton(
        this, pnlCalendarNavigate, "btnNextEntry", QRect(118, 3, 16, 22), "Next entry you've written", "NAVNEXTENTRY");
    btnPrevYear = MakeNavButton(
        this, pnlCalendarNavigate, "btnPrevYear", QRect(138, 3, 16, 22), "Previous Year", "NAVPREVYEAR");
    lblYear = Make<TLabel>(this, pnlCalendarNavigate, "lblYear", QRect(154, 7, 32, 14));
    btnNextYear
        = MakeNavButton(this, pnlCalendarNavigate, "btnNextYear", QRect(186, 3, 16, 22), "Next Year", "NAVNEXTYEAR");
    btnToDay = MakeNavButton(this, pnlCalendarNavigate, "btnToDay", QRect(204, 3, 18, 22), "Jump to today", "NAVTODAY");
    struct NavLabel {
        TLabel* label;
        const char* caption;
        const char* hint;
    };
    for (const NavLabel& l : { NavLabel { lblMonth, "Month", "Navigate through months" },
             NavLabel { lblEntry, "Entry", "Navigate through entries\r\nyou have already written" },
             NavLabel { lblYear, "Year", "Navigate through years" } }) {
        l.label->SetAutoSize(false);
        l.label->SetCaption(S(l.caption));
        l.label->SetHint(S(l.hint));
        l.label->SetShowHint(true);
        l.label->SetAlignment(taCenter);
        l.label->SetTransparent(true);
    }

    // The column's commands keep to its bottom, where every skin is dark:
    // Today between the arrows to the written days, the lists, and the
    // window's own commands.
    const int arrow = 48;
    const int half = (kColumnWidth - 4) / 2;
    const int third = (kColumnWidth - 8) / 3;
    const int row3 = DesignClientHeight - 8 - kCommandHeight;
    const int row2 = row3 - kCommandHeight - 6;
    const int row1 = row2 - kCommandHeight - 6;
    btnPrevEntry2 = MakeCommand(this, "btnPrevEntry2", QRect(kColumnLeft, row1, arrow, kCommandHeight), "",
        " Goto the previous entry\r\nyou have written (PgUp)", "ENTRYPREV");
    BtnToDay2 = MakeCommand(this, "BtnToDay2",
        QRect(kColumnLeft + arrow + 4, row1, kColumnWidth - 2 * (arrow + 4), kCommandHeight), "Today",
        "Quickly jump to\r\n  todays' date", "TODAY");
    btnNextEntry2
        = MakeCommand(this, "btnNextEntry2", QRect(kColumnLeft + kColumnWidth - arrow, row1, arrow, kCommandHeight), "",
            "Goto the next entry you\r\n  have written (PgDn)", "ENTRYNEXT");
    btnBrowse = MakeCommand(this, "btnBrowse", QRect(kColumnLeft, row2, half, kCommandHeight), "Browse",
        " List or search\r\nthrough entries", "BROWSE");
    BtnBirthdays = MakeCommand(this, "BtnBirthdays", QRect(kColumnLeft + half + 4, row2, half, kCommandHeight),
        "Birthdays", "Manage birthdays\r\nand anniversaries", "BIRTHDAYS");
    btnSkin
        = MakeCommand(this, "btnSkin", QRect(kColumnLeft, row3, third, kCommandHeight), "Skin", "Change Skin", "SKIN");
    btnOptions = MakeCommand(this, "btnOptions", QRect(kColumnLeft + third + 4, row3, third, kCommandHeight), "Tools",
        "More Tools and Options", "TOOLS");
    btnAbout = MakeCommand(this, "btnAbout", QRect(kColumnLeft + 2 * (third + 4), row3, third, kCommandHeight), "About",
        "About this program", "ABOUT");
    for (TGlyphSpeedButton* b :
        { btnPrevEntry2, BtnToDay2, btnNextEntry2, btnBrowse, BtnBirthdays, btnSkin, btnOptions, btnAbout })
        b->SetAnchors(akLeft | akBottom);
    BindButton(btnBrowse, actBrowse);
    BindButton(btnPrevEntry2, actGoPEntry);
    BindButton(btnNextEntry2, actGoNEntry);
    BtnBirthdays->OnClick = [this](TObject* s) { BtnBirthdaysClick(s); };
    btnSkin->OnClick = [this](TObject* s) { btnSkinClick(s); };
    btnOptions->OnClick = [this](TObject* s) { btnOptionsClick(s); };
    btnAbout->OnClick = [this](TObject* s) { btnAboutClick(s); };

    // Commands of the day over the entry area; Exit keeps to the right edge.
    btnNew = MakeCommand(this, "btnNew", QRect(kEntryLeft, 8, 86, kCommandHeight), "Edit", "Edit this entry", "EDIT");
    btnDelete = MakeCommand(
        this, "btnDelete", QRect(kEntryLeft + 90, 8, 86, kCommandHeight), "Delete", "Delete this entry", "DELETE");
    btnPrint = MakeCommand(
        this, "btnPrint", QRect(kEntryLeft + 180, 8, 86, kCommandHeight), "Print", "Print Entries", "PRINT");
    btnPrint->OnClick = [this](TObject* s) { btnPrintClick(s); };
    const int entryRight = kEntryLeft + kEntryWidth + kTabWidth;
    btnExit
        = MakeCommand(this, "btnExit", QRect(entryRight - 86, 8, 86, kCommandHeight), "Exit", "Save and Exit", "EXIT");
    btnExit->SetAnchors(akTop | akRight);
    btnExit->OnClick = [this](TObject* s) { btnExitClick(s); };

    // The entry area; the page tab at its right switches between the diary
    // and the information page.
    pnlDiaryEntryMain
        = Make<TCPHatchPanel>(this, this, "pnlDiaryEntryMain", QRect(kEntryLeft, kEntryTop, kEntryWidth, kEntryHeight));
    pnlDiaryEntryMain->SetBevelOuter(bvNone);
    pnlDiaryEntryMain->SetTransparent(true);
    pnlDiaryEntryMain->SetAnchors(akLeft | akTop | akRight | akBottom);
    imgTAB = Make<TImage>(this, this, "imgTAB", QRect(kEntryLeft + kEntryWidth, kEntryTop, kTabWidth, 146));
    imgTAB->SetTransparent(true);
    imgTAB->SetAnchors(akTop | akRight);

    // The day's head: mood picture between its arrows, the short date, the
    // lock and birthday marks, and the title.
    pnlTitle = Make<TCPHatchPanel>(this, pnlDiaryEntryMain, "pnlTitle", QRect(0, 0, kEntryWidth, kTitleHeight));
    pnlTitle->SetBevelOuter(bvNone);
    pnlTitle->SetTransparent(true);
    pnlTitle->SetAnchors(akLeft | akTop | akRight);
    btnPrevMood = MakeButton(this, pnlTitle, "btnPrevMood", QRect(0, 21, 18, 28), "", "", "MOODPREV");
    imgMood = Make<TImage>(this, pnlTitle, "imgMood", QRect(20, 3, 64, 64));
    imgMood->SetHint(
        S("Select a picture that describes\r\nyour mood. Use the buttons or \r\n click on this image to select."));
    imgMood->SetShowHint(true);
    imgMood->SetCursor(crHandPoint);
    btnNextMood = MakeButton(this, pnlTitle, "btnNextMood", QRect(86, 21, 18, 28), "", "", "MOODNEXT");
    for (TGlyphSpeedButton* b : { btnPrevMood, btnNextMood })
        b->SetFlat(true);
    BindButton(btnPrevMood, actPrevMood);
    BindButton(btnNextMood, actNextMood);

    lblDateSmall = Make<TLabel>(this, pnlTitle, "lblDateSmall", QRect(114, 6, 240, 20));
    lblDateSmall->SetAutoSize(false);
    lblDateSmall->SetTransparent(true);
    SetFontOf(lblDateSmall, 15, clWhite, true);

    pnlTips = Make<TCPHatchPanel>(this, pnlTitle, "pnlTips", QRect(kEntryWidth - 62, 6, 60, 20));
    pnlTips->SetBevelOuter(bvNone);
    pnlTips->SetTransparent(true);
    pnlTips->SetAnchors(akTop | akRight);
    imgLocked = Make<TImage>(this, pnlTips, "imgLocked", QRect(42, 2, 16, 16));
    imgUnlocked = Make<TImage>(this, pnlTips, "imgUnlocked", QRect(24, 2, 16, 16));
    imgAnniv = Make<TImage>(this, pnlTips, "imgAnniv", QRect(6, 2, 16, 16));
    imgAnniv->SetVisible(false);
    struct Mark {
        TImage* image;
        const char* picture;
        const char* hint;
    };
    for (const Mark& m :
        { Mark { imgLocked, "LOCKED", "  This diary is protected with a \r\npassword. Please don't forget it!" },
            Mark { imgUnlocked, "UNLOCKED", "This diary is not protected since \r\n you didn't specify a password !" },
            Mark { imgAnniv, "ANNIV", "There is a birthday or an \r\n anniversary on this day" } }) {
        const QImage picture = ProgramPicture(S(m.picture));
        if (!picture.isNull()) {
            TBitmap bitmap;
            bitmap.SetImage(picture);
            m.image->Picture()->SetBitmap(&bitmap);
        }
        m.image->SetTransparent(true);
        m.image->SetCenter(true);
        m.image->SetHint(S(m.hint));
        m.image->SetShowHint(true);
    }

    lblTitle = Make<TLabel>(this, pnlTitle, "lblTitle", QRect(114, 45, 36, 18));
    lblTitle->SetCaption(S("Title:"));
    lblTitle->SetTransparent(true);
    SetFontOf(lblTitle, 13, clWhite, true);
    edtTitle = Make<TEdit>(this, pnlTitle, "edtTitle", QRect(154, kTitleEditTop, kEntryWidth - 154, kTitleEditHeight));
    edtTitle->SetAnchors(akLeft | akTop | akRight);
    edtTitle->SetColor(kEntryBackground);
    SetFontOf(edtTitle, 14, clBlack);
    edtTitle->SetMaxLength(100);
    edtTitle->SetHint(S("Write a title for this day|"));
    edtTitle->SetShowHint(true);

    // One sheet of paper from the formatting bar down to the birthday line.
    // It is windowless, so the transparent birthday line drawn over it shows
    // its dark text on the paper; the bar comes and goes over its top.
    const int paperHeight = kEntryHeight - kStripTop;
    imgPaper = Make<TImage>(this, pnlDiaryEntryMain, "imgPaper", QRect(0, kStripTop, kEntryWidth, paperHeight));
    imgPaper->SetStretch(true);
    imgPaper->SetAnchors(akLeft | akTop | akRight | akBottom);
    {
        TBitmap paper;
        paper.SetSize(8, 8);
        paper.Canvas()->FillSolidRect(QRect(0, 0, 8, 8), kEntryBackground);
        imgPaper->Picture()->SetBitmap(&paper);
    }
    pnlFormatting
        = Make<TCPHatchPanel>(this, pnlDiaryEntryMain, "pnlFormatting", QRect(0, kStripTop, kEntryWidth, kStripHeight));
    pnlFormatting->SetBevelOuter(bvNone);
    pnlFormatting->SetColor(kEntryBackground);
    pnlFormatting->SetAnchors(akLeft | akTop | akRight);
    pnlFormatting->SetVisible(false);
    btnBold = MakeFormatButton(this, pnlFormatting, "btnBold", 6, "Bold (Ctrl+B)", "BOLD");
    btnItalic = MakeFormatButton(this, pnlFormatting, "btnItalic", 32, "Italics (Ctrl+H)", "ITALIC");
    btnUnderline = MakeFormatButton(this, pnlFormatting, "btnUnderline", 58, "Underlined (Ctrl+U)", "UNDERLINE");
    AddSeparator(this, pnlFormatting, "bvlFormatStyle", 89);
    btnUpFont = MakeFormatButton(this, pnlFormatting, "btnUpFont", 96, "Larger (Ctrl+N)", "FONTUP");
    btnDownFont = MakeFormatButton(this, pnlFormatting, "btnDownFont", 122, "Smaller (Ctrl+M)", "FONTDOWN");
    AddSeparator(this, pnlFormatting, "bvlFormatSize", 153);
    btnLeft = MakeFormatButton(this, pnlFormatting, "btnLeft", 160, "Align Left (Ctrl+L)", "ALIGNLEFT");
    btnCenter = MakeFormatButton(this, pnlFormatting, "btnCenter", 186, "Align Center (Ctrl+E)", "ALIGNCENTER");
    btnRight = MakeFormatButton(this, pnlFormatting, "btnRight", 212, "Align Right (Ctrl+R)", "ALIGNRIGHT");
    AddSeparator(this, pnlFormatting, "bvlFormatAlign", 243);
    btnColor = MakeFormatButton(this, pnlFormatting, "btnColor", 250, "Change typing color", "COLOR");
    btnColor->SetWidth(36);
    btnColor->SetMarkDropDown(true);
    btnPrint2 = MakeFormatButton(this, pnlFormatting, "btnPrint2", kEntryWidth - 64, "Print current page", "PRINTPAGE");
    btnSpellCheck
        = MakeButton(this, pnlFormatting, "btnSpellCheck", QRect(kEntryWidth - 34, 2, 28, 28), "", "", "SPELLCHECK");
    btnSpellCheck->SetFlat(true);
    for (TGlyphSpeedButton* b : { btnPrint2, btnSpellCheck })
        b->SetAnchors(akTop | akRight);
    btnPrint2->OnClick = [this](TObject* s) { btnPrintClick(s); };
    btnSpellCheck->OnClick = [this](TObject* s) { btnSpellCheckClick(s); };
    auto* rule = Make<TBevel>(
        this, pnlFormatting, "bvlFormatting", QRect(kPaperMargin, kStripHeight - 2, kEntryWidth - 2 * kPaperMargin, 2));
    rule->SetShape(bsTopLine);
    rule->SetAnchors(akLeft | akTop | akRight);

    pmColors = MakePopupMenu(this, "pmColors");
    const char* colours[] = { "Black", "Navy", "Maroon", "Olive", "Green", "Purple", "Teal", "Red", "Gray" };
    for (int i = 0; i < 9; ++i)
        AddMenuItem(this, pmColors->Items(), qPrintable(QStringLiteral("pmiNCL%1").arg(i)), colours[i]);
    btnColor->SetDropDownMenu(pmColors);

    // The body lies on the paper with a margin; the birthday line under it
    // takes its left and width.
    const QRect body(kPaperMargin, kBodyTop, kEntryWidth - 2 * kPaperMargin, kEntryHeight - kBodyTop - kBirthdayRoom);
    MemoBody = Make<TCPRichEdit>(this, pnlDiaryEntryMain, "MemoBody", body);
    MemoNotes = Make<TCPRichEdit>(this, pnlDiaryEntryMain, "MemoNotes", body);
    for (TCPRichEdit* editor : { MemoBody, MemoNotes }) {
        editor->SetColor(kEntryBackground);
        editor->SetBorderStyle(bsNone);
        SetFontOf(editor, 13, clBlack);
    }
    MemoBody->SetAnchors(akLeft | akTop | akRight | akBottom);

    tsDiary = Make<TTabSet>(this, pnlDiaryEntryMain, "tsDiary", QRect(0, kEntryHeight - 22, kEntryWidth, 20));
    tsDiary->Tabs()->Add(S(" Diary"));
    tsDiary->Tabs()->Add(S(" Notes "));
    tsDiary->SetVisible(false);
    tsDiary->SetAnchors(akLeft | akRight | akBottom);

    pnlInfo = Make<TPanel>(this, this, "pnlInfo", QRect(0, 0, 10, 10));
    pnlInfo->SetBevelOuter(bvNone);
    pnlInfo->SetColor(clBlack);

    pmCalendar = MakePopupMenu(this, "pmCalendar");
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoNextEntry", "Next Entry (PgDn)"), actGoNEntry);
    SetMenuItemAction(AddMenuItem(this, pmCalendar->Items(), "pmoPrevEntry", "Previous Entry (PgUp))"), actGoPEntry);
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

    BuildDayDisplay();
    BuildBirthdayLine();
    BuildFormatting();
}

void TfrmMain::FitTitleToFont()
{
    const int needed = QFontMetrics(edtTitle->Handle()->font()).height() + kEditTextSpare;
    const int height = std::min(std::max(kTitleEditHeight, needed), pnlTitle->Height());
    edtTitle->SetBounds(
        edtTitle->Left(), std::min(kTitleEditTop, pnlTitle->Height() - height), edtTitle->Width(), height);
}
