// The main window's day display: storing the edited entry, loading the
// picked day, marking written days and moving between them.

#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/browse_form.h"
#include "app/helpers.h"
#include "app/main_layout_p.h"
#include "birthdays/birthday.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "engine/resource_store.h"
#include "platform/core/ansi.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

#include <QPainter>

#include <cmath>
#include <optional>

using namespace main_layout_p;

namespace {

// Hover colour of the calendar's arrows: the calendar's own written-day blue.
constexpr TColor kNavHot = 0x00FFDBD7;

constexpr int kMoodCount = 17;
constexpr int kMoodSize = 64;

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

} // namespace

void TfrmMain::BuildActions()
{
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
}

void TfrmMain::BuildCalendarColumn()
{
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
}

void TfrmMain::BuildTitle()
{
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
}

void TfrmMain::BuildBody()
{
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
}

void TfrmMain::BuildDayDisplay()
{
    dCalendar->OnChange = [this](TObject* s) { dCalendarChange(s); };
    btnDelete->OnClick = [this](TObject* s) { btnDeleteClick(s); };
    btnNew->OnClick = [this](TObject* s) { btnNewClick(s); };
    BtnToDay2->OnClick = [this](TObject* s) { actGoTodayExecute(s); };
    btnToDay->OnClick = [this](TObject* s) { actGoTodayExecute(s); };
    btnNextMonth->OnClick = [this](TObject* s) { actGoNMonthExecute(s); };
    btnPrevMonth->OnClick = [this](TObject* s) { actGoPMonthExecute(s); };
    btnNextYear->OnClick = [this](TObject* s) { actGoNYearExecute(s); };
    btnPrevYear->OnClick = [this](TObject* s) { actGoPYearExecute(s); };
    btnNextEntry->OnClick = [this](TObject* s) { actGoNEntryExecute(s); };
    btnPrevEntry->OnClick = [this](TObject* s) { actGoPEntryExecute(s); };
    // btnNextEntry2, btnPrevEntry2, btnBrowse and the mood arrows run their actions.
    actBrowse->OnExecute = [this](TObject* s) { actBrowseExecute(s); };
    ilMood = new TImageList(kMoodSize, kMoodSize, this);
    ilMood->SetName(S("ilMood"));
    ilMood->SetMasked(false);
    for (int i = 0; i < kMoodCount; ++i) {
        // On white, as the list keeps them; a picture the program lacks stays white.
        QImage blank(kMoodSize, kMoodSize, QImage::Format_RGB32);
        blank.fill(Qt::white);
        TBitmap bitmap;
        bitmap.SetImage(PictureOn(QStringLiteral("mood%1").arg(i, 2, 10, QLatin1Char('0')), clWhite, blank));
        ilMood->Add(&bitmap, nullptr);
    }
    dCalendar->OnDrawCalendarCell = [this](TObject* s, TCanvas* canvas, int col, int row, const QRect& rect,
                                        TGridDrawState state, const QString& text, TDayState dayState) {
        dCalendarDrawCalendarCell(s, canvas, col, row, rect, state, text, dayState);
    };
    edtTitle->OnEnter = [this](TObject* s) { edtTitleEnter(s); };
    edtTitle->OnKeyDown = [this](TObject* s, quint16& key, TShiftState shift) { edtTitleKeyDown(s, key, shift); };
    MemoBody->OnEnter = [this](TObject* s) { MemoBodyEnter(s); };
    MemoBody->OnExit = [this](TObject* s) { MemoBodyExit(s); };
    OnKeyDown = [this](TObject* s, quint16& key, TShiftState shift) { FormKeyDown(s, key, shift); };
}

void TfrmMain::HandleEntry()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(dCalendar->CalendarDate(), y, m, d);
    const TFormatSettings& fs = FormatSettings();
    lblDate->SetCaption(QStringLiteral("%1 %2, %3").arg(fs.LongMonthNames[m - 1]).arg(d).arg(y));
    lblDateSmall->SetCaption(QStringLiteral("%1 %2, %3").arg(fs.ShortMonthNames[m - 1]).arg(d).arg(y));
    ShowBirthdayStrip(dCalendar->CalendarDate());

    const bool modified = edtTitle->Modified() || MemoBody->Modified() || MemoNotes->Modified();
    const QString title = edtTitle->Text();
    // A blank day is never stored, so clearing a day cannot delete it.
    if (modified && Session().PrevDate != -1.0 && EditorHoldsWrittenDay()) {
        DiaryDB().AddEntry(Session().PrevDate, title.trimmed().isEmpty() ? S("Untitled Day") : title,
            RichLinesToRtf(MemoBody->Lines()), MemoNotes->Lines()->Text(), QString(), CurrentMood);
    }

    if (Session().PrevDate != dCalendar->CalendarDate()) {
        Session().PrevDate = dCalendar->CalendarDate();
        QString entryTitle, body, notes, todo;
        int image = 0;
        DiaryDB().GetEntry(Session().PrevDate, entryTitle, body, notes, todo, image);
        edtTitle->SetText(entryTitle);
        RtfToRichLines(body, MemoBody->Lines());
        MemoNotes->SetText(notes);
        ShowMood(image);
    }

    RecalcDiaryActiveCells();

    if (Session().DiaryIsNew) {
        Session().DiaryIsNew = false;
        edtTitle->SetText(S("Untitled Day"));
        edtTitle->SetModified(false);
        const int templ = Session().rStore->ItemIndex(S("Template.rtf"));
        if (templ >= 0)
            RtfToRichLines(AnsiToString(Session().rStore->Items()->Items(templ)->Bytes()), MemoBody->Lines());
        MemoBody->SetModified(true);
        DiaryDB().Modified = true;
    }

    edtTitle->SetReadOnly(true);
    MemoBody->SetReadOnly(true);
    edtTitle->SetModified(false);
    MemoBody->SetModified(false);
    MemoNotes->SetModified(false);

    if (dCalendar->CanFocus())
        dCalendar->SetFocus();
}

void TfrmMain::RecalcDiaryActiveCells()
{
    const int y = dCalendar->Year();
    const int m = dCalendar->Month();
    QString days = S(",");
    for (const TDateTime date :
        DiaryDB().Diary()->WrittenDates(EncodeDate(y, m, 1), EncodeDate(y, m, DaysInAMonth(y, m)))) {
        int dy = 0, dm = 0, dd = 0;
        DecodeDate(date, dy, dm, dd);
        days += QString::number(dd) + QLatin1Char(',');
    }
    dCalendar->SetActiveDays(days);

    QString special;
    const QList<TEntry*> birthdays = BirthdayComponent().Entries()->GetEntriesOfMonth(m);
    for (const TEntry* e : birthdays) {
        int by = 0, bm = 0, bd = 0;
        DecodeDate(e->BirthDate(), by, bm, bd);
        special += QString::number(bd) + QLatin1Char(',');
    }
    if (!birthdays.isEmpty())
        special += QLatin1Char('0');
    if (special != dCalendar->SpecialDays())
        dCalendar->SetSpecialDays(special);
}

TDateTime TfrmMain::GetDiaryDelta(bool up, TDateTime aDate) const
{
    const TDiary& diary = *DiaryDB().Diary();
    if (up) {
        if (const std::optional<TDateTime> next = diary.WrittenDayAfter(aDate))
            return *next;
        // On the last written day "next" stays there; after it, it goes back to it.
        if (!diary.WrittenDates(aDate, aDate).empty())
            return std::floor(aDate);
    }
    return diary.WrittenDayBefore(aDate).value_or(aDate);
}

void TfrmMain::ShowDay(TDateTime aDate)
{
    dCalendar->SetCalendarDate(aDate);
    HandleEntry();
}

const TEdit& TfrmMain::EntryTitle() const
{
    return *edtTitle;
}

const TRichEdit& TfrmMain::EntryBody() const
{
    return *MemoBody;
}

int TfrmMain::MoodCount() const
{
    return ilMood->Count();
}

void TfrmMain::ShowMood(int index)
{
    // An index the list lacks (a file may name one) draws a blank picture;
    // the day keeps its number.
    TBitmap bitmap;
    bitmap.SetSize(kMoodSize, kMoodSize);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(QRect(0, 0, kMoodSize, kMoodSize));
    ilMood->Draw(*bitmap.Canvas(), 0, 0, index);
    imgMood->Picture()->SetBitmap(&bitmap);
    imgMood->Invalidate();
    CurrentMood = index;
    // A mood change of a written day must be stored.
    if (MemoBody->Lines()->Count() > 0 || MemoNotes->Lines()->Count() > 0)
        MemoBody->SetModified(true);
}

void TfrmMain::dCalendarDrawCalendarCell(TObject*, TCanvas* ACanvas, int, int, const QRect& Rect, TGridDrawState State,
    const QString& Text, TDayState DayState)
{
    if (State & (gdSelected | gdFocused | gdFixed))
        return;
    if (DayState != TDayState::dsSpecial || Text.isEmpty())
        return;
    // A small diamond at the cell's lower left.
    const int left = Rect.left();
    const int bottom = RectBottom(Rect);
    constexpr TColor navy = 0x800000;
    ACanvas->SetPixels(left + 2, bottom - 4, navy);
    ACanvas->SetPixels(left + 2, bottom - 2, navy);
    ACanvas->SetPixels(left + 1, bottom - 3, navy);
    ACanvas->SetPixels(left + 3, bottom - 3, navy);
}

void TfrmMain::dCalendarChange(TObject*)
{
    HandleEntry();
    tsDiary->SetTabIndex(0);
}

void TfrmMain::actGoTodayExecute(TObject*)
{
    dCalendar->SetUseCurrentDate(false);
    dCalendar->SetUseCurrentDate(true);
    HandleEntry();
}

void TfrmMain::actGoNMonthExecute(TObject*)
{
    dCalendar->NextMonth();
}
void TfrmMain::actGoPMonthExecute(TObject*)
{
    dCalendar->PrevMonth();
}
void TfrmMain::actGoNYearExecute(TObject*)
{
    dCalendar->NextYear();
}
void TfrmMain::actGoPYearExecute(TObject*)
{
    dCalendar->PrevYear();
}

void TfrmMain::actGoNEntryExecute(TObject*)
{
    SetMode(mdDiary);
    dCalendar->SetCalendarDate(GetDiaryDelta(true, dCalendar->CalendarDate()));
}

void TfrmMain::actGoPEntryExecute(TObject*)
{
    SetMode(mdDiary);
    dCalendar->SetCalendarDate(GetDiaryDelta(false, dCalendar->CalendarDate()));
}

void TfrmMain::btnDeleteClick(TObject*)
{
    if (CurrentMode != mdDiary)
        return;
    const QString text = S("Delete day \"") + lblDate->Caption() + S("\" ?");
    if (AppMessageBox(text, S(" Warning"), MB_ICONWARNING | MB_YESNO) != IDYES)
        return;
    edtTitle->SetModified(false);
    MemoBody->SetModified(false);
    MemoNotes->SetModified(false);
    DiaryDB().DeleteEntry(dCalendar->CalendarDate());
    Session().PrevDate = -1.0;
    HandleEntry();
    ResetRichAttributes();
    edtTitle->SetModified(false);
    MemoBody->SetModified(false);
    MemoNotes->SetModified(false);
}

void TfrmMain::btnNewClick(TObject*)
{
    if (edtTitle->Focused() || MemoBody->Focused() || CurrentMode != mdDiary)
        return;
    ResetRichAttributes();
    edtTitle->SetReadOnly(false);
    MemoBody->SetReadOnly(false);
    if (edtTitle->CanFocus())
        edtTitle->SetFocus();
    edtTitle->SetSelStart(0);
}

void TfrmMain::edtTitleEnter(TObject*)
{
    edtTitle->SetReadOnly(false);
}

void TfrmMain::edtTitleKeyDown(TObject*, quint16& Key, TShiftState)
{
    if (Key == VK_DOWN || Key == VK_RETURN) {
        Key = 0;
        SelectNext(edtTitle, true, true);
    }
}

void TfrmMain::MemoBodyEnter(TObject*)
{
    ResetRichAttributes();
    MemoBody->SetReadOnly(false);
    pnlFormatting->SetVisible(true);
}

void TfrmMain::MemoBodyExit(TObject*)
{
    pnlFormatting->SetVisible(false);
}

void TfrmMain::actBrowseExecute(TObject*)
{
    SetMode(mdDiary);
    HandleEntry();
    if (!frmDiaryBrowse)
        frmDiaryBrowse = new TfrmDiaryBrowse(this, Session(), *this);
    frmDiaryBrowse->SetBounds(Left() + (Width() - frmDiaryBrowse->Width()) / 2,
        Top() + (Height() - frmDiaryBrowse->Height()) / 2, frmDiaryBrowse->Width(), frmDiaryBrowse->Height());
    frmDiaryBrowse->ShowModal();
    SetActiveControl(nullptr);
    const int chosen = frmDiaryBrowse->SelIdx;
    if (chosen >= 0 && chosen < DiaryDB().Diary()->Count()) {
        // The calendar's change event loads the day.
        dCalendar->SetCalendarDate(DiaryDB().Diary()->Items(chosen)->Date());
        dCalendar->UpdateCalendar();
    }
}

void TfrmMain::FormKeyDown(TObject*, quint16& Key, TShiftState)
{
    if (MemoBody->Focused() || MemoNotes->Focused() || CurrentMode != mdDiary)
        return;
    if (Key == VK_PRIOR) {
        Key = 0;
        actGoPEntryExecute(this);
    } else if (Key == VK_NEXT) {
        Key = 0;
        actGoNEntryExecute(this);
    }
}

void TfrmMain::ResetRichAttributes()
{
    if (MemoBody->Lines()->Count() > 0 || !Session().CurrentFont)
        return;
    TTextAttributes* format = MemoBody->DefAttributes();
    format->SetStyle(Session().CurrentFont->Style());
    format->SetColor(Session().CurrentFont->Color());
    format->SetSize(Session().CurrentFont->Size());
    format->SetName(Session().CurrentFont->Name());
    MemoBody->Paragraph()->SetAlignment(taLeftJustify);
}
