// The birthday entry dialog: its date lists and what OK makes of them, the
// validation messages, the year of an entry outside the year list, the
// zodiac of birthdays, Esc, and the focus colours.
#include "birthdays/ui/bd_entry.h"
#include "platform/core/sysutils.h"

#include "birthdays/birthday.h"
#include "controls/cool_edit.h"
#include "controls/styled_push_button.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"
#include "support/form_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <functional>

namespace {

class BDEntry : public FormFixture {
protected:
    void SetUp() override
    {
        RegisterProgramPictures();
        FormFixture::SetUp();
        SetClock([] { return EncodeDate(2026, 12, 9); });
    }
    void TearDown() override
    {
        SetClock({});
        FormFixture::TearDown();
    }

    using Act = std::function<void(TFrmBDEntry&)>;
    // Runs the dialog on entry, acting in it once it shows, and checks that
    // it showed.
    static bool Run(const std::function<bool()>& run, const Act& act)
    {
        bool seen = false;
        WhenShown<TFrmBDEntry>(seen, act);
        const bool ok = run();
        EXPECT_TRUE(seen);
        return ok;
    }
    bool Edit(TEntry& e, const Act& act)
    {
        return Run([&] { return TFrmBDEntry::EditEntry(nullptr, &e); }, act);
    }
    bool Insert(TEntry& e, TDateTime date, const Act& act)
    {
        return Run([&] { return TFrmBDEntry::InsertEntry(nullptr, &e, date); }, act);
    }
    // OK as the user clicks it; a refusal lands in errors and leaves the
    // dialog open, so it is cancelled then.
    void ClickOk(TFrmBDEntry& d)
    {
        GuardedCall([&] {
            d.BtnOk->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, QPoint(5, 5), false);
            d.BtnOk->HostMouseRelease(Qt::LeftButton, {}, {}, QPoint(5, 5));
        });
        if (d.ModalResult() == mrNone)
            d.SetModalResult(mrCancel);
    }
    static int YearLine(TFrmBDEntry& d, int year) { return d.cbYear->Items()->IndexOf(QString::number(year)); }
};

TEST_F(BDEntry, AddingShowsTheDayWithoutAYearAndFillsTheLists)
{
    TEntry entry;
    const bool ok = Insert(entry, EncodeDate(2026, 6, 15), [&](TFrmBDEntry& d) {
        EXPECT_EQ(d.Caption(), S("Add New Entry"));
        EXPECT_EQ(d.ActiveControl(), d.edtFullName);
        EXPECT_EQ(d.ClientWidth(), 332);
        EXPECT_EQ(d.ClientHeight(), 244);
        ASSERT_EQ(d.cbMonth->Items()->Count(), 12);
        EXPECT_EQ(d.cbMonth->Items()->Strings(0), FormatSettings().ShortMonthNames[0]);
        ASSERT_EQ(d.cbDay->Items()->Count(), 31);
        EXPECT_EQ(d.cbDay->Items()->Strings(0), S("01"));
        ASSERT_EQ(d.cbYear->Items()->Count(), 1 + 2026 - 1900 + 1);
        EXPECT_EQ(d.cbYear->Items()->Strings(0), S("?"));
        EXPECT_EQ(d.cbYear->Items()->Strings(1), S("2026"));
        EXPECT_EQ(d.cbYear->Items()->Strings(127), S("1900"));
        EXPECT_EQ(d.cbDay->ItemIndex(), 14);
        EXPECT_EQ(d.cbMonth->ItemIndex(), 5);
        EXPECT_EQ(d.cbYear->ItemIndex(), -1);
        EXPECT_EQ(d.lblZodiac->Caption(), S("Gemini"));
        EXPECT_TRUE(d.pnlZodiac->Visible());
        // Focus colours: the control light, its label blue (one for the date lists).
        QApplication::setActiveWindow(d.Handle());
        QApplication::processEvents();
        d.cbYear->SetFocus();
        QApplication::processEvents();
        EXPECT_EQ(d.cbYear->Color(), 0x00FFF4F4);
        EXPECT_EQ(d.lblBirthDate->Font()->Color(), 0x00FF0000);
        d.edtFullName->SetFocus();
        QApplication::processEvents();
        EXPECT_EQ(d.cbYear->Color(), clWhite);
        EXPECT_EQ(d.lblBirthDate->Font()->Color(), clBlack);
        EXPECT_EQ(d.edtFullName->Color(), 0x00FFF4F4);
        EXPECT_EQ(d.lblFullName->Font()->Color(), 0x00FF0000);
        d.edtFullName->SetText(S("  Anna  "));
        d.edtNotes->SetText(S("  likes tea "));
        ClickOk(d);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(entry.FullName(), S("Anna"));
    EXPECT_EQ(entry.Notes(), S("  likes tea "));
    EXPECT_EQ(entry.EntryType(), etBirthday);
    EXPECT_EQ(entry.BirthDate(), EncodeDate(1004, 6, 15));
    EXPECT_TRUE(errors.isEmpty());

    // A clock before 2004 still lists the years up to 2004.
    SetClock([] { return EncodeDate(1999, 1, 1); });
    TEntry other;
    Insert(other, 0, [&](TFrmBDEntry& d) {
        EXPECT_EQ(d.cbYear->Items()->Strings(1), S("2004"));
        EXPECT_EQ(d.cbMonth->ItemIndex(), -1); // no date: nothing chosen
        EXPECT_TRUE(d.lblZodiac->Caption().isEmpty());
        d.SetModalResult(mrCancel);
    });
}

// The date lists opened: every item shows whole, the list at least as wide
// as its widest item. The open year list is kept as a picture beside the
// test binary.
TEST_F(BDEntry, TheOpenDateListsShowEveryItemWhole)
{
    TEntry entry;
    Insert(entry, EncodeDate(2026, 6, 15), [&](TFrmBDEntry& d) {
        for (TComboBox* list : { d.cbMonth, d.cbDay, d.cbYear }) {
            SCOPED_TRACE(list->Name().toStdString());
            list->SetDroppedDown(true);
            QApplication::processEvents();
            QAbstractItemView* view = static_cast<QComboBox*>(list->Handle())->view();
            ASSERT_TRUE(view->isVisible());
            int widest = 0;
            for (int row = 0; row < view->model()->rowCount(); ++row)
                widest = std::max(widest, view->sizeHintForIndex(view->model()->index(row, 0)).width());
            EXPECT_LE(widest, view->viewport()->width());
            if (list == d.cbYear) {
                EXPECT_TRUE(view->window()->grab().save(
                    QDir(QCoreApplication::applicationDirPath()).filePath(S("bd_entry_years.png"))));
            }
            list->SetDroppedDown(false);
        }
        d.SetModalResult(mrCancel);
    });
}

TEST_F(BDEntry, OkTakesTheDateOfTheListsOrSaysWhatIsMissing)
{
    const struct {
        const char* name;
        bool anniversary;
        int month, day; // list lines from 1; 0 for none
        const char* year; // the year's line; nullptr for none
        const char* zodiac;
        const char* message; // nullptr: accepted
        TDateTime date;
    } cases[] = {
        { "Anna", false, 2, 29, "?", "Pisces", nullptr, EncodeDate(1004, 2, 29) },
        { "Anna", false, 2, 29, "2024", "Pisces", nullptr, EncodeDate(2024, 2, 29) },
        { "Anna", false, 2, 29, "2023", "", "Please enter a valid birth date for this person", 0 },
        { "Anna", false, 4, 31, nullptr, "", "Please enter a valid birth date for this person", 0 },
        { "Feast", true, 4, 31, "?", "", "Please enter a valid birth date for this event", 0 },
        { "Anna", false, 0, 3, "?", "", "Please enter a valid birth date for this person", 0 },
        { "   ", false, 1, 19, "1980", "Capricorn", "Please enter a name for this person", 0 },
        { "", true, 1, 20, "1980", "Aquarius", "Please enter a title for this event", 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.month) + "/" + std::to_string(c.day) + " " + (c.year ? c.year : "none"));
        errors.clear();
        TEntry entry;
        const bool ok = Insert(entry, EncodeDate(2026, 7, 1), [&](TFrmBDEntry& d) {
            if (c.anniversary)
                d.rbAnniversary->SetChecked(true);
            d.edtFullName->SetText(S(c.name));
            d.cbMonth->SetItemIndex(c.month - 1);
            d.cbDay->SetItemIndex(c.day - 1);
            d.cbYear->SetItemIndex(c.year ? d.cbYear->Items()->IndexOf(S(c.year)) : -1);
            d.cbMonthChange(d.cbMonth);
            EXPECT_EQ(d.lblZodiac->Caption(), S(c.zodiac));
            ClickOk(d);
            if (c.message) {
                const bool named = c.name[0] == 'A' || c.name[0] == 'F';
                EXPECT_EQ(d.ActiveControl(), named ? static_cast<TWinControl*>(d.cbDay) : d.edtFullName);
            }
        });
        EXPECT_EQ(ok, c.message == nullptr);
        if (c.message) {
            EXPECT_EQ(errors, QStringList { S(c.message) });
            EXPECT_EQ(entry.BirthDate(), 0); // written only on OK
        } else {
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_EQ(entry.BirthDate(), c.date);
        }
    }
}

TEST_F(BDEntry, EditingShowsTheEntryAndKeepsAYearTheListLacks)
{
    const struct {
        int type;
        TDateTime date;
        const char* yearShown; // nullptr: no line chosen
    } cases[] = {
        { etBirthday, EncodeDate(1980, 3, 21), "1980" },
        { etBirthday, EncodeDate(1004, 2, 29), "?" },
        { etBirthday, EncodeDate(1850, 8, 1), "1850" },
        { etAnniversary, EncodeDate(2031, 5, 4), "2031" },
        { etAnniversary, EncodeDate(1899, 12, 31), "1899" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.yearShown);
        TEntry entry;
        entry.SetEntryType(c.type);
        entry.SetFullName(S("Carl & <Dora> \"C&D\""));
        entry.SetNotes(S("a\r\nb"));
        entry.SetBirthDate(c.date);
        const bool ok = Edit(entry, [&](TFrmBDEntry& d) {
            EXPECT_EQ(d.Caption(), S("Edit Existing Entry"));
            EXPECT_EQ(d.ActiveControl(), nullptr);
            EXPECT_EQ(d.edtFullName->Text(), entry.FullName());
            EXPECT_EQ(d.rbAnniversary->Checked(), c.type == etAnniversary);
            EXPECT_EQ(d.pnlZodiac->Visible(), c.type == etBirthday);
            EXPECT_EQ(d.lblZodiac->Visible(), c.type == etBirthday);
            EXPECT_EQ(d.lblFullName->Caption(), c.type == etBirthday ? S("Name:") : S("Event Title:"));
            EXPECT_EQ(d.lblBirthDate->Caption(), c.type == etBirthday ? S("Date of Birth:") : S("Event Date:"));
            ASSERT_GE(d.cbYear->ItemIndex(), 0);
            EXPECT_EQ(d.cbYear->Items()->Strings(d.cbYear->ItemIndex()), S(c.yearShown));
            // The years stay in order around a line of the entry's own.
            for (int i = 2; i < d.cbYear->Items()->Count(); ++i)
                ASSERT_GT(d.cbYear->Items()->Strings(i - 1).toInt(), d.cbYear->Items()->Strings(i).toInt());
            ClickOk(d);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(entry.BirthDate(), c.date);
        EXPECT_EQ(entry.FullName(), S("Carl & <Dora> \"C&D\""));
        EXPECT_EQ(entry.Notes(), S("a\r\nb"));
        EXPECT_EQ(entry.EntryType(), c.type);
    }
}

TEST_F(BDEntry, EscCancelsExceptInTheDateListsAndNothingIsWritten)
{
    TEntry entry;
    entry.SetFullName(S("Anna"));
    entry.SetBirthDate(EncodeDate(1980, 5, 20));
    int escapes = 0;
    const bool ok = Edit(entry, [&](TFrmBDEntry& d) {
        d.edtFullName->SetText(S("Changed"));
        for (TWinControl* c : std::initializer_list<TWinControl*> { d.cbYear, d.edtNotes }) {
            d.SetActiveControl(c);
            QChar key(27);
            d.FormKeyPress(&d, key);
            escapes += key.isNull();
        }
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(escapes, 1); // only the memo's Esc closed the dialog
    EXPECT_EQ(entry.FullName(), S("Anna"));
}

} // namespace
