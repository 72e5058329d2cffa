// The main window's day display: storing the edited entry, loading the
// picked day, marking written days and moving between them.

#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/browse_form.h"
#include "app/helpers.h"
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
#include "platform/gui/stdctrls.h"

#include <QPainter>

#include <cmath>
#include <optional>

namespace {

constexpr int kMoodCount = 17;
constexpr int kMoodSize = 64;

} // namespace

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
    const bool written = !title.trimmed().isEmpty() || !MemoBody->Lines()->Text().trimmed().isEmpty();
    // A blank day is never stored, so clearing a day cannot delete it.
    if (modified && Session().PrevDate != -1.0 && written) {
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
    try {
        TTextAttributes* format = MemoBody->DefAttributes();
        format->SetStyle(Session().CurrentFont->Style());
        format->SetColor(Session().CurrentFont->Color());
        format->SetSize(Session().CurrentFont->Size());
        format->SetName(Session().CurrentFont->Name());
        MemoBody->Paragraph()->SetAlignment(taLeftJustify);
    } catch (const Exception&) {
    }
}
