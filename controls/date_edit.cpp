#include "controls/date_edit.h"

#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <cmath>
#include <memory>

namespace {

// The texts of the range errors.
const QString kDateAboveMax = QStringLiteral("The date %1 is after the latest allowed date, %2");
const QString kDateBelowMin = QStringLiteral("The date %1 is before the earliest allowed date, %2");
const QString kDateOutside = QStringLiteral("The date %1 is outside the allowed range, %2 to %3");
const QString kBoundsCross = QStringLiteral("The date range cannot end before it starts; the other bound is %1");

// The calendar sheet of every date edit's button, loaded once.
TBitmap& SharedDateGlyph()
{
    static const std::unique_ptr<TBitmap> glyph = [] {
        auto b = std::make_unique<TBitmap>();
        b->LoadFromResourceName(QStringLiteral("DEDITBMP"));
        return b;
    }();
    return *glyph;
}

} // namespace

TCustomDateEdit::TCustomDateEdit(TComponent* AOwner)
    : TCustomComboEdit(AOwner)
{
    FTitle = QStringLiteral("Select a Date");
    SetDefNumGlyphs(2);
    RefreshDateFormat();
    MakePopup();
    SetGlyphKind(gkDefault);
    // The edit's window is made with the control and lives as long as it.
    WindowCreated();
}

TCustomDateEdit::~TCustomDateEdit()
{
    if (FHooked)
        Application()->UnhookMainWindow(this);
    if (auto* popup = CalendarPopup()) {
        popup->OnCloseUp = {};
        SetPopup(nullptr);
        delete popup;
    }
}

void TCustomDateEdit::MakePopup()
{
    auto* popup = MakePopupCalendar(this, FMinDate, FMaxDate);
    popup->OnCloseUp = [this](TObject* Sender, bool Accept) { ClosePopup(Sender, Accept); };
    popup->SetColor(FPopupColor);
    SetPopup(popup);
    ConfigurePopup();
}

// --- format and mask ---

void TCustomDateEdit::WindowCreated()
{
    UpdateMask();
    if (!(ComponentState() & csDesigning) && !FHooked) {
        Application()->HookMainWindow(this, [this](TMessage& Message) { return SettingsChangeHook(Message); });
        FHooked = true;
    }
}

bool TCustomDateEdit::SettingsChangeHook(TMessage& Message)
{
    if (Message.Msg == WM_WININICHANGE && Application()->UpdateFormatSettings())
        UpdateMask();
    return false;
}

bool TCustomDateEdit::WantsFourDigitYear() const
{
    return FYearDigits == dyFour || (FYearDigits == dyDefault && UseFourDigitYear());
}

void TCustomDateEdit::RefreshDateFormat()
{
    FDateFormat = StandardDateFormat(WantsFourDigitYear());
}

QString TCustomDateEdit::GetDateMask() const
{
    return StandardDateMask(FBlanksChar, WantsFourDigitYear());
}

void TCustomDateEdit::UpdateMask()
{
    const TDateTime day = Date();
    const QString oldFormat = FDateFormat;
    RefreshDateFormat();
    if (GetDateMask() != EditMask() || oldFormat != FDateFormat) {
        SetEditMask(QString());
        SetEditMask(GetDateMask());
    }
    ConfigurePopup();
    SetDate(day);
}

void TCustomDateEdit::SetBlanksChar(QChar value)
{
    if (value.unicode() < 32)
        value = u' ';
    if (value == FBlanksChar)
        return;
    FBlanksChar = value;
    UpdateMask();
}

void TCustomDateEdit::SetYearDigits(TYearDigits value)
{
    if (value == FYearDigits)
        return;
    FYearDigits = value;
    UpdateMask();
}

// --- the date ---

TDateTime TCustomDateEdit::Date() const
{
    return TextToDateOr(FDateFormat, Text(), FDefaultToday ? ::Date() : EmptyDate);
}

QString TCustomDateEdit::FormatDate(TDateTime value) const
{
    return FormatDateTime(FDateFormat, value);
}

void TCustomDateEdit::SetDate(TDateTime value)
{
    if (!IsValidDateValue(value) || value == EmptyDate)
        value = FDefaultToday ? ::Date() : EmptyDate;
    const TDateTime old = Date();
    ClampToRange(value);
    SetText(value == EmptyDate ? QString() : FormatDate(value));
    SetModified(Date() != old);
}

void TCustomDateEdit::ClampToRange(TDateTime& ADate) const
{
    if (!FDateAutoBetween || ADate == EmptyDate)
        return;
    if (FMinDate != EmptyDate && ADate < FMinDate)
        ADate = FMinDate;
    if (FMaxDate != EmptyDate && ADate > FMaxDate)
        ADate = FMaxDate;
}

void TCustomDateEdit::EnterDate(TDateTime ADate)
{
    SetDate(ADate);
    SelectAll();
}

void TCustomDateEdit::SetMinDate(TDateTime value)
{
    if (value == FMinDate)
        return;
    if (value != EmptyDate && FMaxDate != EmptyDate && value > FMaxDate) {
        if (!FDateAutoBetween)
            throw Exception(kBoundsCross.arg(DateToStr(FMaxDate)));
        FMaxDate = value;
    }
    FMinDate = value;
    ConfigurePopup();
    if (FDateAutoBetween)
        SetDate(Date());
}

void TCustomDateEdit::SetMaxDate(TDateTime value)
{
    if (value == FMaxDate)
        return;
    if (value != EmptyDate && FMinDate != EmptyDate && value < FMinDate) {
        if (!FDateAutoBetween)
            throw Exception(kBoundsCross.arg(DateToStr(FMinDate)));
        FMinDate = value;
    }
    FMaxDate = value;
    ConfigurePopup();
    if (FDateAutoBetween)
        SetDate(Date());
}

void TCustomDateEdit::SetDateAutoBetween(bool value)
{
    if (value == FDateAutoBetween)
        return;
    FDateAutoBetween = value;
    if (value) {
        const TDateTime day = Date();
        TDateTime clamped = day;
        ClampToRange(clamped);
        if (clamped != day)
            SetDate(clamped);
    }
    Invalidate();
}

// --- the pop-up's settings ---

void TCustomDateEdit::ConfigurePopup()
{
    if (auto* popup = CalendarPopup())
        ConfigureCalendarPopup(popup, FStartOfWeek, FWeekends, FMinDate, FMaxDate, &FCalendarHints, FWeekendColor);
}

void TCustomDateEdit::SetCalendarHints(const TStringList& value)
{
    FCalendarHints = value;
    HintsListChanged();
}

void TCustomDateEdit::HintsListChanged()
{
    while (FCalendarHints.Count() > 4)
        FCalendarHints.Delete(FCalendarHints.Count() - 1);
    ConfigurePopup();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle value)
{
    if (value == CalendarStyle())
        return;
    if (value == csPopup) {
        MakePopup();
        return;
    }
    auto* popup = CalendarPopup();
    SetPopup(nullptr);
    delete popup;
}

TColor TCustomDateEdit::PopupColor() const
{
    return Popup() ? Popup()->Color() : FPopupColor;
}

void TCustomDateEdit::SetPopupColor(TColor value)
{
    if (value == PopupColor())
        return;
    if (Popup())
        Popup()->SetColor(value);
    FPopupColor = value;
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName value)
{
    if (value == FStartOfWeek)
        return;
    FStartOfWeek = value;
    ConfigurePopup();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek value)
{
    if (value == FWeekends)
        return;
    FWeekends = value;
    ConfigurePopup();
}

void TCustomDateEdit::SetWeekendColor(TColor value)
{
    if (value == FWeekendColor)
        return;
    FWeekendColor = value;
    ConfigurePopup();
}

// --- checking the text ---

bool TCustomDateEdit::HasDateText() const
{
    const QChar separator = FormatSettings().DateSeparator;
    for (const QChar c : Text())
        if (c != QChar() && c != u' ' && c != separator && c != FBlanksChar)
            return true;
    return false;
}

void TCustomDateEdit::CheckValidDate()
{
    if (!HasDateText())
        return;
    FFormatting = true;
    try {
        SetDate(TextToDate(FDateFormat, Text()));
        FFormatting = false;
    } catch (...) {
        // Raised on, with the focus back on the date to mend.
        FFormatting = false;
        if (CanFocus())
            SetFocus();
        throw;
    }
}

void TCustomDateEdit::ValidateEdit()
{
    // A blank or partly blank date is never refused by the mask itself.
    if (HasDateText())
        CheckValidDate();
}

void TCustomDateEdit::DoExit()
{
    if (!(ComponentState() & csDesigning) && FCheckOnExit)
        CheckValidDate();
    TCustomComboEdit::DoExit();
}

void TCustomDateEdit::Change()
{
    if (!FFormatting)
        TCustomComboEdit::Change();
}

// --- keys ---

void TCustomDateEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    const bool pad = Key == VK_ADD || Key == VK_SUBTRACT;
    const bool popupKey = pad || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT
        || Key == VK_DOWN;
    if (popupKey && PopupVisible()) {
        // A read-only edit shows its date but lets no key move it.
        if (!ReadOnly())
            CalendarPopup()->KeyDown(Key, Shift);
        Key = 0;
    } else if (pad && !(Shift & (ssShift | ssCtrl | ssAlt)) && DirectInput()) {
        if (!ReadOnly()) {
            TDateTime base = Date();
            if (base == EmptyDate)
                base = Now();
            EnterDate(std::floor(base) + (Key == VK_ADD ? 1 : -1));
        }
        Key = 0;
    }
    TCustomComboEdit::KeyDown(Key, Shift);
}

void TCustomDateEdit::KeyPress(QChar& Key)
{
    const bool ours = Key == u'+' || Key == u'-' || Key == u'T' || Key == u't';
    if (ours && PopupVisible()) {
        if (!ReadOnly())
            CalendarPopup()->KeyPress(Key);
        Key = QChar();
    } else if (ours && DirectInput()) {
        if ((Key == u'T' || Key == u't') && !ReadOnly())
            EnterDate(::Date());
        Key = QChar();
    }
    TCustomComboEdit::KeyPress(Key);
}

// --- values through the pop-up ---

TBitmap* TCustomDateEdit::DefaultGlyph(bool& MustFree)
{
    MustFree = false;
    return &SharedDateGlyph();
}

void TCustomDateEdit::PreparePopupValue(const QVariant& Value)
{
    if (auto* popup = CalendarPopup())
        popup->WriteValue(TextToDateOr(FDateFormat, Value.toString(), ::Date()));
}

bool TCustomDateEdit::ApprovePopupValue(QVariant& Value)
{
    if (!OnAcceptDate)
        return true;
    TDateTime day = EmptyDate;
    if (Value.isValid() && !Value.isNull()) {
        bool ok = false;
        day = Value.toDouble(&ok);
        if (!ok || !IsValidDateValue(day))
            day = FDefaultToday ? ::Date() : EmptyDate;
    }
    bool action = true;
    OnAcceptDate(this, day, action);
    if (action)
        Value = day;
    return action;
}

void TCustomDateEdit::TakePopupValue(const QVariant& Value)
{
    SetDate(Value.toDouble());
    SyncPopupVisible();
    if (Modified())
        Change();
}

// --- the published edit ---

TDateEdit::TDateEdit(TComponent* AOwner)
    : TCustomDateEdit(AOwner)
{
    UpdateMask();
}

void TDateEdit::SetDate(TDateTime value)
{
    if (!DateAutoBetween() && value != EmptyDate) {
        const bool hasMin = MinDate() != EmptyDate, hasMax = MaxDate() != EmptyDate;
        if (hasMin && hasMax && (value < MinDate() || value > MaxDate()))
            throw Exception(kDateOutside.arg(FormatDate(value), FormatDate(MinDate()), FormatDate(MaxDate())));
        if (hasMax && value > MaxDate())
            throw Exception(kDateAboveMax.arg(FormatDate(value), FormatDate(MaxDate())));
        if (hasMin && value < MinDate())
            throw Exception(kDateBelowMin.arg(FormatDate(value), FormatDate(MinDate())));
    }
    TCustomDateEdit::SetDate(value);
}
