#include "controls/popup_calendar.h"

#include "controls/month_grid.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace {

struct TYmd {
    int Y = 0, M = 0, D = 0;
};

TYmd Parts(TDateTime value)
{
    TYmd p;
    DecodeDate(value, p.Y, p.M, p.D);
    return p;
}

} // namespace

// --- grid calendar ---

TGridCalendar::TGridCalendar(TComponent* AOwner)
    : TCustomGrid(AOwner)
{
    SetFixedCols(0);
    SetFixedRows(1);
    SetColCount(7);
    SetRowCount(7);
    SetScrollBars(ssNone);
    SetOptions((Options() & ~goRangeSelect) | goDrawFocusSelected);
    SetControlStyle(ControlStyle() | csFramed);
    FDate = Date();
    // The grid sized itself before this class could hear of it.
    const QRect client = ClientRect();
    FitMonthGridCells(*this, client.width(), client.height(), Options() & (goVertLine | goFixedVertLine));
    UpdateCalendar();
}

TGridCalendar::TGridFrame TGridCalendar::FrameStyle() const
{
    // A plain border, not the sunken client edge.
    return BorderStyle() == bsNone ? gfNone : gfFlat;
}

void TGridCalendar::StoreDate(TDateTime value)
{
    FDate = value;
    UpdateCalendar();
}

void TGridCalendar::SetCalendarDate(TDateTime value)
{
    // A date outside the calendar would make every later paint raise.
    if (!std::isfinite(value))
        return;
    if (FMinDate != EmptyDate && value < FMinDate)
        value = FMinDate;
    else if (FMaxDate != EmptyDate && value > FMaxDate)
        value = FMaxDate;
    StoreDate(std::clamp(value, MinDateTime, MaxDateTime));
    FireChange();
}

int TGridCalendar::DatePart(int index) const
{
    const TYmd p = Parts(FDate);
    return index == 1 ? p.Y : index == 2 ? p.M : p.D;
}

void TGridCalendar::SetPart(int index, int value)
{
    if (value < 1)
        return;
    TYmd p = Parts(FDate);
    const bool hasMin = FMinDate != EmptyDate, hasMax = FMaxDate != EmptyDate;
    const TYmd lo = hasMin ? Parts(FMinDate) : TYmd {}, hi = hasMax ? Parts(FMaxDate) : TYmd {};
    switch (index) {
    case 1:
        if (value > 9999)
            return;
        if (hasMin && value <= lo.Y) {
            value = lo.Y;
            p.M = std::max(p.M, lo.M);
            if (p.M == lo.M)
                p.D = std::max(p.D, lo.D);
        }
        if (hasMax && value >= hi.Y) {
            value = hi.Y;
            p.M = std::min(p.M, hi.M);
            if (p.M == hi.M)
                p.D = std::min(p.D, hi.D);
        }
        if (value == p.Y)
            return;
        p.Y = value;
        break;
    case 2:
        if (value > 12 || value == p.M)
            return;
        if (hasMin && p.Y == lo.Y && value <= lo.M) {
            value = lo.M;
            p.D = std::max(p.D, lo.D);
        }
        if (hasMax && p.Y == hi.Y && value >= hi.M) {
            value = hi.M;
            p.D = std::min(p.D, hi.D);
        }
        p.M = value;
        break;
    case 3: {
        if (value > DaysInShownMonth() || value == p.D)
            return;
        TDateTime day = 0;
        if (TryEncodeDate(p.Y, p.M, value, day)) {
            if (hasMin && day < FMinDate)
                value = lo.D;
            else if (hasMax && day > FMaxDate)
                value = hi.D;
        }
        p.D = value;
        break;
    }
    default: return;
    }
    // A day the month reached does not have (31 April, 29 February of a
    // common year) would fail to encode inside a key or click handler: the
    // month's last day stands for it, as in the month step.
    p.D = std::clamp(p.D, 1, MonthDayCount(p.Y, p.M));
    FDate = EncodeDate(p.Y, p.M, p.D);
    FUseCurrentDate = false;
    RecalcLayout(index == 3);
    FireChange();
}

void TGridCalendar::SetUseCurrentDate(bool value)
{
    if (value == FUseCurrentDate)
        return;
    FUseCurrentDate = value;
    if (value)
        StoreDate(Date());
}

void TGridCalendar::SetStartOfWeek(TDayOfWeekName value)
{
    if (value == FStartOfWeek)
        return;
    FStartOfWeek = value;
    UpdateCalendar();
}

void TGridCalendar::SetWeekends(TDaysOfWeek value)
{
    if (value == FWeekends)
        return;
    FWeekends = value;
    UpdateCalendar();
}

void TGridCalendar::SetWeekendColor(TColor value)
{
    if (value == FWeekendColor)
        return;
    FWeekendColor = value;
    Invalidate();
}

void TGridCalendar::SetMinDate(TDateTime value)
{
    if (value == FMinDate)
        return;
    FMinDate = value;
    if (value != EmptyDate && FDate < value)
        SetCalendarDate(value);
    UpdateCalendar();
}

void TGridCalendar::SetMaxDate(TDateTime value)
{
    if (value == FMaxDate)
        return;
    FMaxDate = value;
    if (value != EmptyDate && FDate > value)
        SetCalendarDate(value);
    UpdateCalendar();
}

void TGridCalendar::SetRange(TDateTime minDate, TDateTime maxDate)
{
    FMinDate = minDate;
    FMaxDate = maxDate;
}

void TGridCalendar::NextMonth()
{
    StepCalendarMonths(*this, 1);
}

void TGridCalendar::PrevMonth()
{
    StepCalendarMonths(*this, -1);
}

void TGridCalendar::NextYear()
{
    StepCalendarYears(*this, 1);
}

void TGridCalendar::PrevYear()
{
    StepCalendarYears(*this, -1);
}

void TGridCalendar::FireChange()
{
    if (OnChange)
        OnChange(this);
}

// --- layout ---

void TGridCalendar::UpdateCalendar()
{
    RecalcLayout(false);
}

void TGridCalendar::RecalcLayout(bool DayOnly)
{
    const QScopedValueRollback<bool> updating(FUpdating, true);
    FMonthOffset = MonthGridOffset(FDate, FStartOfWeek);
    const int d = Day();
    MoveColRow(MonthGridCol(FMonthOffset, d), MonthGridRow(FMonthOffset, d), false, false);
    if (DayOnly)
        Repaint();
    else
        Invalidate();
}

int TGridCalendar::DaysInShownMonth() const
{
    const TYmd p = Parts(FDate);
    return MonthDayCount(p.Y, p.M);
}

QString TGridCalendar::DayCellText(int ACol, int ARow) const
{
    if (ARow == 0)
        return FormatSettings().ShortDayNames[(ACol + FStartOfWeek) % 7];
    return MonthGridDayText(FMonthOffset, DaysInShownMonth(), ACol, ARow);
}

bool TGridCalendar::ColumnIsWeekend(int ACol) const
{
    return FWeekends & (1u << ((ACol + FStartOfWeek) % 7));
}

TDateTime TGridCalendar::DateOfCell(int ACol, int ARow) const
{
    const int n = MonthGridDay(FMonthOffset, ACol, ARow);
    if (ARow < 1 || n < 1 || n > DaysInShownMonth())
        return EmptyDate;
    const TYmd p = Parts(FDate);
    return EncodeDate(p.Y, p.M, n);
}

bool TGridCalendar::DateWithinRange(TDateTime value) const
{
    if (value == EmptyDate)
        return true;
    return (FMinDate == EmptyDate || value >= FMinDate) && (FMaxDate == EmptyDate || value <= FMaxDate);
}

bool TGridCalendar::CellWithinRange(int ACol, int ARow) const
{
    return ARow == 0 || DateWithinRange(DateOfCell(ACol, ARow));
}

void TGridCalendar::WMSize(TMessage& Message)
{
    FitMonthGridCells(*this, int(Message.LParam & 0xFFFF), int((Message.LParam >> 16) & 0xFFFF),
        Options() & (goVertLine | goFixedVertLine));
    TCustomGrid::WMSize(Message);
}

// --- drawing, selection, keys ---

void TGridCalendar::DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState)
{
    TCanvas& canvas = *Canvas();
    const QString text = DayCellText(ACol, ARow);
    if (text.isEmpty())
        return;
    if (ColumnIsWeekend(ACol) && !(AState & gdSelected))
        canvas.Font()->SetColor(FWeekendColor);
    const int x = ARect.left() + (ARect.width() - canvas.TextWidth(text)) / 2;
    const int y = ARect.top() + (ARect.height() - canvas.TextHeight(text)) / 2;
    canvas.Brush()->SetStyle(bsClear);
    const bool bounded = FMinDate != EmptyDate || FMaxDate != EmptyDate;
    if (ARow > 0 && bounded && !CellWithinRange(ACol, ARow)) {
        if (Color() == clBtnFace) {
            // Engraved, like a disabled caption.
            canvas.Font()->SetColor(clBtnHighlight);
            canvas.TextOut(x + 1, y + 1, text);
            canvas.Font()->SetColor(clBtnShadow);
        } else {
            canvas.Font()->SetColor(clBtnFace);
        }
    }
    canvas.TextOut(x, y, text);
}

bool TGridCalendar::SelectCell(int ACol, int ARow)
{
    if (FUpdating)
        return TCustomGrid::SelectCell(ACol, ARow);
    if (FReadOnly || DayCellText(ACol, ARow).isEmpty() || !CellWithinRange(ACol, ARow))
        return false;
    return TCustomGrid::SelectCell(ACol, ARow);
}

void TGridCalendar::Click()
{
    TCustomGrid::Click();
    const QString text = DayCellText(Col(), Row());
    if (Row() > 0 && !text.isEmpty())
        SetDay(text.toInt());
}

void TGridCalendar::KeyDown(quint16& Key, TShiftState Shift)
{
    if (!(Shift & (ssShift | ssCtrl | ssAlt))) {
        int step = 0;
        if (Key == VK_LEFT || Key == VK_SUBTRACT)
            step = -1;
        else if (Key == VK_RIGHT || Key == VK_ADD)
            step = 1;
        if (step != 0) {
            // A step out of the range leaves the day where it was.
            const TDateTime next = std::floor(FDate) + step;
            if (next >= MinDateTime && next <= MaxDateTime && DateWithinRange(next))
                SetCalendarDate(next);
            Key = 0;
            return;
        }
    }
    TCustomGrid::KeyDown(Key, Shift);
}

void TGridCalendar::KeyPress(QChar& Key)
{
    if (Key == u'T' || Key == u't') {
        SetCalendarDate(Date());
        Key = QChar();
        return;
    }
    TCustomGrid::KeyPress(Key);
}

// --- the calendar of the pop-up ---

TLocCalendar::TLocCalendar(TComponent* AOwner)
    : TGridCalendar(AOwner)
{
    SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csReplicatable);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
    SetParentColor(true);
    SetCalendarDate(Date());
    SetUseCurrentDate(false);
    SetFixedColor(Color());
    SetOptions(goFixedHorzLine);
    SetTabStop(false);
}

void TLocCalendar::CMColorChanged(TMessage& Message)
{
    TGridCalendar::CMColorChanged(Message);
    SetFixedColor(Color());
}

void TLocCalendar::DrawCell(int ACol, int ARow, QRect ARect, TGridDrawState AState)
{
    TGridCalendar::DrawCell(ACol, ARow, ARect, AState);
    if (ARow > 0 && DateOfCell(ACol, ARow) == Date()) {
        QRect frame = ARect;
        Frame3D(*Canvas(), frame, clBtnShadow, clBtnHighlight, 1);
    }
}

// --- arrow button ---

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner)
    : TGlyphSpeedButton(AOwner)
{
    SetStyle(bsWin31);
    SetAllowTimer(true);
    SetControlStyle(ControlStyle() | csReplicatable);
}

// --- the pop-up ---

void ApplyDialogFont(TFont& Font)
{
    // The desktop's own font is sized for its widgets, not for a 187-pixel
    // calendar of seven day names: the dialog font the layouts are made for.
    Font.SetColor(clWindowText);
    Font.SetStyle(TFontStyles());
    Font.SetName(QStringLiteral("MS Sans Serif"));
    Font.SetSize(8);
}

TPopupCalendar::TPopupCalendar(TComponent* AOwner)
    : TPopupWindow(AOwner)
{
    SetBounds(Left(), Top(), 187, 124);
    SetColor(clBtnFace);
    ApplyDialogFont(*Font());
    const auto* owner = dynamic_cast<TControl*>(AOwner);
    SetShowHint(owner ? owner->ShowHint() : true);
    if (ComponentState() & csDesigning)
        return;

    auto* back = new TPanel(this);
    back->SetParent(this);
    back->SetAlign(alClient);
    back->SetParentColor(true);
    back->SetControlStyle(back->ControlStyle() | csReplicatable);

    auto* bar = new TPanel(this);
    bar->SetParent(back);
    bar->SetAlign(alTop);
    bar->SetBounds(0, 0, Width() - 4, 18);
    bar->SetBevelOuter(bvNone);
    bar->SetParentColor(true);

    FCalendar = new TLocCalendar(this);
    FCalendar->SetParent(back);
    FCalendar->SetAlign(alClient);
    FCalendar->OnChange = [this](TObject*) { RefreshTitle(); };
    FCalendar->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { GridMouseUp(b, s, x, y); };

    struct TArrow {
        int Left;
        const char16_t* Picture;
        const char16_t* Hint;
    };
    const int b = bar->Width();
    const TArrow arrows[4] = {
        { -1, u"PREV2", u"Previous Year|" },
        { 12, u"PREV1", u"Previous Month|" },
        { b - 26, u"NEXT1", u"Next Month|" },
        { b - 13, u"NEXT2", u"Next Year|" },
    };
    for (int i = 0; i < 4; ++i) {
        auto* button = new TTimerSpeedButton(this);
        button->SetParent(bar);
        button->SetBounds(arrows[i].Left, -1, 14, 14);
        TBitmap glyph;
        glyph.LoadFromResourceName(QString::fromUtf16(arrows[i].Picture));
        button->SetGlyph(&glyph);
        button->SetHint(QString::fromUtf16(arrows[i].Hint));
        button->OnClick = [this, i](TObject*) { ArrowClick(i); };
        FBtns[i] = button;
    }

    FTitleLabel = new TLabel(this);
    FTitleLabel->SetParent(bar);
    FTitleLabel->SetAutoSize(false);
    FTitleLabel->SetBounds(29, 1, b - 58, 14);
    FTitleLabel->SetAlignment(taCenter);
    FTitleLabel->SetTransparent(true);
    FTitleLabel->SetControlStyle(FTitleLabel->ControlStyle() | csReplicatable);
    FTitleLabel->OnDblClick = [this](TObject*) { FCalendar->SetCalendarDate(Date()); };

    RefreshTitle();
}

void TPopupCalendar::ArrowClick(int index)
{
    switch (index) {
    case 0: FCalendar->PrevYear(); break;
    case 1: FCalendar->PrevMonth(); break;
    case 2: FCalendar->NextMonth(); break;
    default: FCalendar->NextYear(); break;
    }
}

void TPopupCalendar::RefreshTitle()
{
    if (!FCalendar)
        return;
    FTitleLabel->SetCaption(FormatDateTime(QStringLiteral("MMMM, YYYY"), FCalendar->CalendarDate()));
    RefreshArrows();
}

void TPopupCalendar::RefreshArrows()
{
    if (!FCalendar)
        return;
    const int y = FCalendar->Year(), m = FCalendar->Month();
    bool prevYear = true, prevMonth = true, nextMonth = true, nextYear = true;
    if (FCalendar->MinDate() != EmptyDate) {
        int ly = 0, lm = 0, ld = 0;
        DecodeDate(FCalendar->MinDate(), ly, lm, ld);
        prevYear = ly < y;
        prevMonth = ly < y || (ly == y && lm < m);
    }
    if (FCalendar->MaxDate() != EmptyDate) {
        int hy = 0, hm = 0, hd = 0;
        DecodeDate(FCalendar->MaxDate(), hy, hm, hd);
        nextMonth = y < hy || (y == hy && m < hm);
        nextYear = y < hy;
    }
    FBtns[0]->SetEnabled(prevYear);
    FBtns[1]->SetEnabled(prevMonth);
    FBtns[2]->SetEnabled(nextMonth);
    FBtns[3]->SetEnabled(nextYear);
}

void TPopupCalendar::Invalidate()
{
    RefreshArrows();
    TPopupWindow::Invalidate();
}

void TPopupCalendar::Update()
{
    RefreshArrows();
    TPopupWindow::Update();
}

QVariant TPopupCalendar::ReadValue()
{
    if (ComponentState() & csDesigning)
        return QVariant(Date());
    return QVariant(FCalendar->CalendarDate());
}

void TPopupCalendar::WriteValue(const QVariant& Value)
{
    if (ComponentState() & csDesigning)
        return;
    // Whatever cannot be read as a date opens on today.
    TDateTime day = Date();
    if (Value.isValid() && !Value.isNull()) {
        QString text = Value.toString();
        text.remove(FormatSettings().DateSeparator);
        bool ok = false;
        const double value = Value.toDouble(&ok);
        if (!text.trimmed().isEmpty() && ok && IsValidDateValue(value))
            day = value;
    }
    FCalendar->SetCalendarDate(day);
    RefreshTitle();
}

void TPopupCalendar::KeyDown(quint16& Key, TShiftState Shift)
{
    if (Key == VK_PRIOR || Key == VK_NEXT) {
        const bool ctrl = Shift & ssCtrl;
        if (Key == VK_PRIOR)
            ctrl ? FCalendar->PrevYear() : FCalendar->PrevMonth();
        else
            ctrl ? FCalendar->NextYear() : FCalendar->NextMonth();
        Key = 0;
        return;
    }
    FCalendar->KeyDown(Key, Shift);
}

void TPopupCalendar::KeyPress(QChar& Key)
{
    if (!Key.isNull())
        FCalendar->KeyPress(Key);
}

void TPopupCalendar::GridMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft || (Shift & (ssShift | ssCtrl | ssAlt)))
        return;
    int col = -1, row = -1;
    FCalendar->MouseToCell(X, Y, col, row);
    // A day outside the range was not picked, so it does not close either.
    if (row > 0 && !FCalendar->DayCellText(col, row).isEmpty() && FCalendar->CellWithinRange(col, row))
        FinishPopup(true);
}

TPopupCalendar* MakePopupCalendar(TWinControl* Owner, TDateTime MinDate, TDateTime MaxDate)
{
    // The screen is always 96 pixels per inch here: nothing to scale.
    auto* popup = new TPopupCalendar(Owner);
    popup->SetMinDate(MinDate);
    popup->SetMaxDate(MaxDate);
    return popup;
}

void ConfigureCalendarPopup(TPopupWindow* Popup, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends, TDateTime MinDate,
    TDateTime MaxDate, const TStringList* Hints, TColor WeekendColor)
{
    auto* popup = dynamic_cast<TPopupCalendar*>(Popup);
    if (!popup)
        return;
    TGridCalendar* calendar = popup->Calendar();
    calendar->SetRange(MinDate, MaxDate);
    calendar->SetStartOfWeek(StartOfWeek);
    calendar->SetWeekendColor(WeekendColor);
    calendar->SetWeekends(Weekends);
    if (Hints)
        for (int i = 0; i < std::min(Hints->Count(), 4); ++i)
            if (!Hints->Strings(i).isEmpty())
                popup->Button(i)->SetHint(Hints->Strings(i));
    popup->RefreshArrows();
}
