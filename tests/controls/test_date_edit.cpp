// The date edit: day keys across month and year ends and at the range's
// bounds with and without clamping, the range errors' texts, reading what
// cannot be read, a read-only edit under every key and its pop-up, the
// pop-up opened, stepped, picked, cancelled and accepted from the keyboard,
// the arrows' hints, and locale changes while the program runs.
#include "dates_fixture.h"

#include "controls/date_edit.h"
#include "platform/core/sysinfo.h"
#include "support/locale_change.h"

#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QWidget>

#include <limits>

namespace {

class DateEdit : public DatesFixture {
protected:
    void SetUp() override
    {
        DatesFixture::SetUp();
        TFormatSettings settings = FormatSettingsFromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        settings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        settings.DateSeparator = u'/';
        SetFormatSettings(settings);
        InitUseFourDigitYear();
        MakeForm(300, 200, clBtnFace);
        edit = Add<TDateEdit>(10, 10, 120, 21);
        ShowForm();
        edit->SetFocus();
    }
    void TearDown() override
    {
        delete form;
        form = nullptr;
        ResetFormatSettings();
        InitUseFourDigitYear();
        DatesFixture::TearDown();
    }
    // A key as the edit's window receives it; an error goes to errors.
    void Key(int qtKey, Qt::KeyboardModifiers mods = {}, const QString& text = {})
    {
        QChar replaced;
        bool dropped = false;
        GuardedCall([&] { edit->HostKeyPress(qtKey, mods, text, &replaced, &dropped); });
    }
    QDate Shown() const { return ToQDate(edit->Date()); }
    void Go(QDate d) { edit->SetDate(FromQDate(d)); }

    TDateEdit* edit = nullptr;
};

} // namespace

TEST_F(DateEdit, DayKeysCrossMonthAndYearEndsAndMeetTheRangeBothWays)
{
    struct Case {
        QDate From; // invalid: blank
        int QtKey;
        Qt::KeyboardModifiers Mods;
        QString Text;
        QDate Min, Max;
        bool AutoBetween;
        QDate To;
        QString Error;
    };
    const QDate none;
    const auto plus = [](Qt::KeyboardModifiers m = Qt::KeypadModifier) { return m; };
    const Case cases[] = {
        { none, Qt::Key_Plus, plus(), u"+"_qs, none, none, true, QDate(2024, 5, 16), {} },
        { none, Qt::Key_Minus, plus(), u"-"_qs, none, none, true, QDate(2024, 5, 14), {} },
        { QDate(2023, 12, 31), Qt::Key_Plus, plus(), u"+"_qs, none, none, true, QDate(2024, 1, 1), {} },
        { QDate(2024, 3, 1), Qt::Key_Minus, plus(), u"-"_qs, none, none, true, QDate(2024, 2, 29), {} },
        { QDate(2024, 1, 1), Qt::Key_Minus, plus(), u"-"_qs, none, none, true, QDate(2023, 12, 31), {} },
        { QDate(2024, 5, 10), Qt::Key_Plus, plus(Qt::KeypadModifier | Qt::ShiftModifier), u"+"_qs, none, none, true,
            QDate(2024, 5, 10), {} },
        // The main keyboard's + is only a character, and never reaches the text.
        { QDate(2024, 5, 10), Qt::Key_Plus, {}, u"+"_qs, none, none, true, QDate(2024, 5, 10), {} },
        { QDate(2020, 1, 1), Qt::Key_T, {}, u"t"_qs, none, none, true, QDate(2024, 5, 15), {} },
        { QDate(2020, 1, 1), Qt::Key_T, Qt::ShiftModifier, u"T"_qs, none, none, true, QDate(2024, 5, 15), {} },
        // At a bound: clamped, or refused with the error and the text kept.
        { QDate(2024, 5, 20), Qt::Key_Plus, plus(), u"+"_qs, none, QDate(2024, 5, 20), true, QDate(2024, 5, 20), {} },
        { QDate(2024, 5, 10), Qt::Key_Minus, plus(), u"-"_qs, QDate(2024, 5, 10), none, true, QDate(2024, 5, 10), {} },
        { QDate(2024, 5, 20), Qt::Key_Plus, plus(), u"+"_qs, none, QDate(2024, 5, 20), false, QDate(2024, 5, 20),
            u"The date 21/05/2024 is after the latest allowed date, 20/05/2024"_qs },
        { QDate(2024, 5, 10), Qt::Key_Minus, plus(), u"-"_qs, QDate(2024, 5, 10), none, false, QDate(2024, 5, 10),
            u"The date 09/05/2024 is before the earliest allowed date, 10/05/2024"_qs },
        { QDate(2024, 5, 20), Qt::Key_Plus, plus(), u"+"_qs, QDate(2024, 5, 1), QDate(2024, 5, 20), false,
            QDate(2024, 5, 20), u"The date 21/05/2024 is outside the allowed range, 01/05/2024 to 20/05/2024"_qs },
        { QDate(2024, 5, 19), Qt::Key_Plus, plus(), u"+"_qs, QDate(2024, 5, 1), QDate(2024, 5, 20), false,
            QDate(2024, 5, 20), {} },
    };
    for (const Case& c : cases) {
        const std::string what = c.From.toString(Qt::ISODate).toStdString() + " " + c.Text.toStdString();
        edit->SetDateAutoBetween(true);
        edit->SetMinDate(EmptyDate);
        edit->SetMaxDate(EmptyDate);
        Go(c.From);
        edit->SetMinDate(FromQDate(c.Min));
        edit->SetMaxDate(FromQDate(c.Max));
        edit->SetDateAutoBetween(c.AutoBetween);
        errors.clear();
        Key(c.QtKey, c.Mods, c.Text);
        EXPECT_EQ(Shown(), c.To) << what;
        EXPECT_EQ(errors.value(0), c.Error) << what;
        // The characters never reach the text.
        EXPECT_FALSE(edit->Text().contains(u'+') || edit->Text().contains(u'-') || edit->Text().contains(u't')) << what;
    }
    errors.clear();
}

TEST_F(DateEdit, RangeBoundsThatCrossAreMovedOrRefused)
{
    Go(QDate(2024, 5, 15));
    edit->SetMaxDate(FromQDate(QDate(2024, 6, 30)));
    // Clamping: the other bound follows, then the date moves into the range.
    edit->SetMinDate(FromQDate(QDate(2024, 7, 10)));
    EXPECT_EQ(ToQDate(edit->MaxDate()), QDate(2024, 7, 10));
    EXPECT_EQ(Shown(), QDate(2024, 7, 10));
    edit->SetMaxDate(FromQDate(QDate(2024, 7, 1)));
    EXPECT_EQ(ToQDate(edit->MinDate()), QDate(2024, 7, 1));
    EXPECT_EQ(Shown(), QDate(2024, 7, 1));

    edit->SetDateAutoBetween(false);
    const auto message = [&](auto set) {
        try {
            set();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { edit->SetMinDate(FromQDate(QDate(2024, 8, 1))); }),
        u"The date range cannot end before it starts; the other bound is 01/07/2024"_qs);
    EXPECT_EQ(message([&] { edit->SetMaxDate(FromQDate(QDate(2024, 6, 1))); }),
        u"The date range cannot end before it starts; the other bound is 01/07/2024"_qs);
    EXPECT_EQ(message([&] { Go(QDate(2024, 6, 1)); }),
        u"The date 01/06/2024 is outside the allowed range, 01/07/2024 to 01/07/2024"_qs);
    EXPECT_EQ(Shown(), QDate(2024, 7, 1));
    // Clamping switched back on moves a date written meanwhile.
    edit->SetMinDate(EmptyDate);
    edit->SetMaxDate(EmptyDate);
    Go(QDate(2030, 1, 1));
    edit->SetMaxDate(FromQDate(QDate(2025, 1, 1)));
    EXPECT_EQ(Shown(), QDate(2030, 1, 1));
    edit->SetDateAutoBetween(true);
    EXPECT_EQ(Shown(), QDate(2025, 1, 1));
}

TEST_F(DateEdit, BlankOrUnreadableTextReadsAsNoDateOrToday)
{
    const QString blank = edit->Text();
    EXPECT_EQ(edit->Date(), EmptyDate);
    edit->SetText(u"31/02/2024"_qs);
    EXPECT_EQ(edit->Date(), EmptyDate);
    edit->SetDefaultToday(true);
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
    edit->SetDefaultToday(false);
    // Writing no date blanks the text; it never shows 30 December 1899.
    Go(QDate(2024, 5, 1));
    edit->SetDate(EmptyDate);
    EXPECT_EQ(edit->Text(), blank);
    edit->SetDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(edit->Text(), blank);
    edit->SetDefaultToday(true);
    edit->SetDate(EmptyDate);
    EXPECT_EQ(edit->Text(), u"15/05/2024"_qs);
    EXPECT_FALSE(edit->Text().contains(u"1899"_qs));

    // Leaving the field checks what was typed.
    edit->SetDefaultToday(false);
    edit->SetText(u"32/01/2024"_qs);
    try {
        edit->CheckValidDate();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'32/01/2024' is not a valid date"_qs);
    }
    EXPECT_EQ(edit->Text(), u"32/01/2024"_qs);
}

TEST_F(DateEdit, ReadOnlyKeepsItsDateUnderEveryKeyAndThroughItsPopup)
{
    struct Case {
        int QtKey;
        Qt::KeyboardModifiers Mods;
        QString Text;
    };
    const Case cases[] = {
        { Qt::Key_Plus, Qt::KeypadModifier, u"+"_qs },
        { Qt::Key_Minus, Qt::KeypadModifier, u"-"_qs },
        { Qt::Key_T, {}, u"t"_qs },
        { Qt::Key_T, Qt::ShiftModifier, u"T"_qs },
        { Qt::Key_Down, Qt::AltModifier, {} },
        { Qt::Key_Right, {}, {} },
        { Qt::Key_PageDown, {}, {} },
        { Qt::Key_Return, {}, u"\r"_qs },
        { Qt::Key_5, {}, u"5"_qs },
    };
    Go(QDate(2024, 3, 10));
    edit->SetReadOnly(true);
    for (const Case& c : cases) {
        Key(c.QtKey, c.Mods, c.Text);
        EXPECT_EQ(Shown(), QDate(2024, 3, 10)) << c.Text.toStdString() << " " << c.QtKey;
        EXPECT_FALSE(edit->PopupVisible()) << c.QtKey;
    }
    edit->DoClick();
    EXPECT_FALSE(edit->PopupVisible());
    // Made read-only while open, the pop-up takes no key and gives back nothing.
    edit->SetReadOnly(false);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->PopupVisible());
    edit->SetReadOnly(true);
    for (const Case& c : cases)
        if (c.QtKey != Qt::Key_Return)
            Key(c.QtKey, c.Mods, c.Text);
    EXPECT_EQ(ToQDate(edit->CalendarPopup()->Calendar()->CalendarDate()), QDate(2024, 3, 10));
    edit->CalendarPopup()->Calendar()->SetCalendarDate(FromQDate(QDate(2024, 3, 20)));
    Key(Qt::Key_Return, {}, u"\r"_qs);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(Shown(), QDate(2024, 3, 10));
}

TEST_F(DateEdit, PopupOpensOnTheDateStepsAndPicksEscapeRestoresEnterAccepts)
{
    Go(QDate(2024, 1, 31));
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->PopupVisible());
    TPopupCalendar* popup = edit->CalendarPopup();
    EXPECT_EQ(ToQDate(popup->Calendar()->CalendarDate()), QDate(2024, 1, 31));
    // Right edges of edit and pop-up line up, the pop-up under the edit.
    const QPoint editCorner = edit->ClientToScreen(QPoint(0, 0));
    EXPECT_EQ(popup->Handle()->geometry().top(), editCorner.y() + edit->Height());

    Key(Qt::Key_PageDown);
    Key(Qt::Key_Right);
    Key(Qt::Key_Plus, Qt::KeypadModifier, u"+"_qs);
    EXPECT_EQ(ToQDate(popup->Calendar()->CalendarDate()), QDate(2024, 3, 2));
    EXPECT_EQ(Shown(), QDate(2024, 1, 31));
    Key(Qt::Key_Escape, {}, QString(QChar(27)));
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(Shown(), QDate(2024, 1, 31));
    EXPECT_EQ(changes, 0);

    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(ToQDate(popup->Calendar()->CalendarDate()), QDate(2024, 1, 31));
    Key(Qt::Key_T, {}, u"t"_qs);
    Key(Qt::Key_Left);
    Key(Qt::Key_Return, {}, u"\r"_qs);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(Shown(), QDate(2024, 5, 14));
    EXPECT_EQ(changes, 1);

    // A blank edit opens on today.
    edit->SetDate(EmptyDate);
    edit->DoClick();
    EXPECT_EQ(ToQDate(popup->Calendar()->CalendarDate()), QDate(2024, 5, 15));
    edit->DoClick();
    EXPECT_EQ(Shown(), QDate(2024, 5, 15));
}

TEST_F(DateEdit, CalendarHintsKeepFourLinesAndReachTheArrows)
{
    TStringList hints;
    for (const char16_t* h : { u"Year back", u"", u"Month on", u"Year on", u"fifth", u"sixth" })
        hints.Add(QString::fromUtf16(h));
    edit->SetCalendarHints(hints);
    EXPECT_EQ(edit->CalendarHints().Count(), 4);
    EXPECT_EQ(edit->CalendarHints().Strings(3), u"Year on"_qs);
    TPopupCalendar* popup = edit->CalendarPopup();
    EXPECT_EQ(popup->Button(0)->Hint(), u"Year back"_qs);
    EXPECT_EQ(popup->Button(1)->Hint(), u"Previous Month|"_qs);
    EXPECT_EQ(popup->Button(2)->Hint(), u"Month on"_qs);
    EXPECT_EQ(popup->Button(3)->Hint(), u"Year on"_qs);
    EXPECT_EQ(edit->DialogTitle(), u"Select a Date"_qs);
}

TEST_F(DateEdit, ALocaleOrderOrYearWidthChangeReMasksTheEditAndKeepsTheDay)
{
    Go(QDate(2024, 5, 21));
    EXPECT_EQ(edit->Text(), u"21/05/2024"_qs);
    FormatSettings().ShortDateFormat = u"yyyy/mm/dd"_qs;
    edit->UpdateMask();
    EXPECT_EQ(edit->Text(), u"2024/05/21"_qs);
    EXPECT_EQ(edit->EditMask(), u"!9999/99/99;1; "_qs);
    edit->SetYearDigits(dyTwo);
    EXPECT_EQ(edit->Text(), u"24/05/21"_qs);
    EXPECT_EQ(edit->EditMask(), u"!99/99/99;1; "_qs);
    EXPECT_EQ(Shown(), QDate(2024, 5, 21));
}

TEST_F(DateEdit, ALocaleChangeWhileRunningReMasksEveryLivingEditAndKeepsItsDay)
{
    const SystemLocaleAfterwards restore;

    Go(QDate(2024, 5, 21));
    ChangeLocale(QLocale(QLocale::Swedish, QLocale::Sweden)); // year first, dashes
    EXPECT_EQ(edit->EditMask(), u"!9999/99/99;1; "_qs);
    EXPECT_EQ(edit->Text(), u"2024-05-21"_qs);
    EXPECT_EQ(Shown(), QDate(2024, 5, 21));

    auto* later = Add<TDateEdit>(10, 40, 120, 21);
    EXPECT_EQ(later->DateFormat(), u"YYYY/MM/DD"_qs);
    EXPECT_EQ(later->EditMask(), u"!9999/99/99;1; "_qs);
    later->SetDate(FromQDate(QDate(2023, 12, 31)));

    // Without format updates the change reaches no edit.
    Application()->SetUpdateFormatSettings(false);
    ChangeLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(edit->Text(), u"2024-05-21"_qs);
    Application()->SetUpdateFormatSettings(true);

    // No edit's hook claims the message: both are re-masked.
    ChangeLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(edit->Text(), u"05/21/2024"_qs);
    EXPECT_EQ(later->Text(), u"12/31/2023"_qs);
    EXPECT_EQ(ToQDate(later->Date()), QDate(2023, 12, 31));

    // A destroyed edit's hook went with it.
    delete later;
    ChangeLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(edit->Text(), u"21.05.2024"_qs);
    EXPECT_EQ(Shown(), QDate(2024, 5, 21));
}
