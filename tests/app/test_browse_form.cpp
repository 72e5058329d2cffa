// The browse window as the main window's Browse command shows it: the
// list and its sorting, moving through it, choosing a day, and the title
// and full-content searches.

#include "app/browse_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "controls/dropdown_button.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "engine/diary.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <functional>
#include <vector>

namespace {

struct Day {
    int day; // of January 2026
    const char* title;
    const char* body;
    int mood;
};

class Browse : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetBeepHandler([this](unsigned) { ++beeps; });
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        CreateShowingNothing();
        form->dCalendar->SetCalendarDate(EncodeDate(2026, 2, 1));
    }
    void TearDown() override
    {
        SetBeepHandler({});
        Application()->OnException = {};
        EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
        MainWindowFixture::TearDown();
    }

    static void Write(const std::vector<Day>& days)
    {
        for (const Day& d : days)
            DiaryDB().AddEntry(
                EncodeDate(2026, 1, d.day), S(d.title), ParagraphRtf(d.body), QString(), QString(), d.mood);
    }

    // Runs the main window's Browse command; whileShown acts on the window
    // while it is shown, which then closes unless whileShown closed it.
    void RunBrowse(const std::function<void(TfrmDiaryBrowse&)>& whileShown)
    {
        QTimer::singleShot(0, [&] {
            TfrmDiaryBrowse& w = *form->frmDiaryBrowse;
            whileShown(w);
            if (w.ModalResult() == mrNone)
                w.Close();
        });
        form->actBrowseExecute(nullptr);
    }

    // The days of the month in list order.
    static std::vector<int> Order(TfrmDiaryBrowse& w)
    {
        std::vector<int> days;
        for (int i = 0; i < w.DLV->Items()->Count(); ++i) {
            int y = 0, m = 0, d = 0;
            DecodeDate(DiaryDB().Diary()->Items(int(w.DLV->Items()->Item(i)->Data()))->Date(), y, m, d);
            days.push_back(d);
        }
        return days;
    }
    static int SelectedIndex(TfrmDiaryBrowse& w) { return w.DLV->Selected() ? w.DLV->Selected()->Index() : -1; }
    static void ClickColumn(TfrmDiaryBrowse& w, int column)
    {
        QHeaderView* header = static_cast<QTreeWidget*>(w.DLV->Handle())->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(column) + 20, 5));
    }
    static void Search(TfrmDiaryBrowse& w, const char* needle)
    {
        w.edtNeedle->SetText(S(needle));
        w.btnSearchClick(w.btnSearch);
    }

    int beeps = 0;
    QStringList errors;
};

TEST_F(Browse, SortsByEitherColumnBothWaysAndMarksTheColumn)
{
    // "_" sorts after the letters, as the class library compares (upper case);
    // equal titles follow the date in the title's direction.
    Write({ { 1, "_under", "", 0 }, { 2, "gamma", "", 16 }, { 3, "Alpha", "", 3 }, { 4, "alpha", "", 0 },
        { 5, "beta", "", 1 } });
    struct Click {
        int column;
        std::vector<int> order;
        int dateMark, titleMark;
    };
    const Click clicks[] = {
        { 0, { 5, 4, 3, 2, 1 }, 1, -1 }, // the date showed the ascending mark
        { 0, { 1, 2, 3, 4, 5 }, 0, -1 },
        { 1, { 3, 4, 5, 2, 1 }, -1, 0 }, // no mark: ascending first
        { 1, { 1, 2, 5, 4, 3 }, -1, 1 },
        { 0, { 1, 2, 3, 4, 5 }, 0, -1 },
        { 1, { 3, 4, 5, 2, 1 }, -1, 0 },
    };
    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_EQ(Order(w), (std::vector<int> { 1, 2, 3, 4, 5 }));
        EXPECT_EQ(w.DLV->Columns()->Items(0)->ImageIndex(), 0);
        EXPECT_EQ(w.DLV->Columns()->Items(1)->ImageIndex(), -1);
        TListItem* third = w.DLV->Items()->Item(2);
        EXPECT_EQ(third->Caption(), FullYearDateToStr(EncodeDate(2026, 1, 3)));
        EXPECT_EQ(third->SubItems()->Strings(0), S("Alpha"));
        EXPECT_EQ(third->ImageIndex(), 3 + TfrmDiaryBrowse::kFirstMood);
        for (const Click& c : clicks) {
            ClickColumn(w, c.column);
            EXPECT_EQ(Order(w), c.order) << "column " << c.column;
            EXPECT_EQ(w.DLV->Columns()->Items(0)->ImageIndex(), c.dateMark);
            EXPECT_EQ(w.DLV->Columns()->Items(1)->ImageIndex(), c.titleMark);
        }
    });
    // The next showing starts in date order again.
    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_EQ(Order(w), (std::vector<int> { 1, 2, 3, 4, 5 }));
        EXPECT_EQ(w.DLV->Columns()->Items(0)->ImageIndex(), 0);
        EXPECT_EQ(w.DLV->Columns()->Items(1)->ImageIndex(), -1);
    });
}

TEST_F(Browse, PreviousAndNextStopAtTheEndsOfTheListAndEachShowingStartsAtItsTop)
{
    std::vector<Day> days;
    for (int d = 1; d <= 31; ++d)
        days.push_back({ d, "day", "", 0 });
    Write(days);
    RunBrowse([&](TfrmDiaryBrowse& w) {
        struct Step {
            bool next;
            int selected;
        };
        // Without a selection either button selects the first item.
        const Step steps[] = { { false, 0 }, { true, 1 }, { true, 2 }, { false, 1 }, { false, 0 }, { false, 0 } };
        for (const Step& s : steps) {
            (s.next ? w.btnNextDay : w.btnPrevDay)->Click();
            EXPECT_EQ(SelectedIndex(w), s.selected);
            EXPECT_EQ(w.DLV->SelCount(), 1);
        }
        w.DLV->Items()->Item(29)->SetSelected(true);
        for (int expected : { 30, 30 }) {
            w.btnNextDay->Click();
            EXPECT_EQ(SelectedIndex(w), expected);
        }
        EXPECT_NE(w.DLV->TopItem(), w.DLV->Items()->Item(0)) << "the last item was scrolled into view";
    });
    RunBrowse([&](TfrmDiaryBrowse& w) { EXPECT_EQ(w.DLV->TopItem(), w.DLV->Items()->Item(0)); });
}

TEST_F(Browse, GotoAndDoubleClickShowTheChosenDayAndClosingKeepsTheDay)
{
    Write({ { 1, "one", "First body", 0 }, { 2, "two", "Second body", 4 }, { 3, "three", "Third body", 0 } });
    const TDateTime shown = form->dCalendar->CalendarDate();
    // Closed without a choice: nothing chosen, the main window stays on its day.
    RunBrowse([&](TfrmDiaryBrowse& w) {
        w.btnGoto->Click();
        EXPECT_EQ(w.ModalResult(), mrNone) << "goto without a selection does nothing";
        w.DLV->Items()->Item(1)->SetSelected(true);
        QChar esc(27);
        w.FormKeyPress(&w, esc);
        EXPECT_EQ(w.ModalResult(), mrCancel);
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, -1);
    EXPECT_EQ(form->dCalendar->CalendarDate(), shown);

    RunBrowse([&](TfrmDiaryBrowse& w) {
        // The list was sorted: the chosen item's entry is handed back, not its row.
        ClickColumn(w, 0);
        w.DLV->Items()->Item(0)->SetSelected(true);
        w.btnGoto->Click();
        EXPECT_EQ(w.ModalResult(), mrCancel);
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, 2);
    EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 1, 3));
    EXPECT_EQ(form->edtTitle->Text(), S("three"));

    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_EQ(form->frmDiaryBrowse->SelIdx, -1) << "each showing starts with nothing chosen";
        auto* tree = static_cast<QTreeWidget*>(w.DLV->Handle());
        const QPoint row = tree->visualItemRect(tree->topLevelItem(1)).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, row);
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, 1);
    EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 1, 2));
    EXPECT_EQ(form->edtTitle->Text(), S("two"));
    EXPECT_EQ(form->Mood(), 4);
}

TEST_F(Browse, SearchGoesRoundFromAfterTheSelectionAndBeepsOnlyWhenNothingMatches)
{
    Write({ { 1, "Walk to the river", "", 0 }, { 2, "Rainy day", "", 0 }, { 3, "river again", "", 0 },
        { 4, "Quiet", "", 0 }, { 5, "Letters", "", 0 } });
    struct Case {
        int selected; // -1: none
        const char* needle;
        int found; // -1: nothing
        int beeps;
    };
    const Case cases[] = {
        { 4, "RIVER", 0, 0 }, // from the last item on at the first
        { 0, "river", 2, 0 }, { 2, "river", 0, 0 }, { 3, "quiet", 3, 0 }, // the selected item is examined last
        { -1, "river", 2, 0 }, // without a selection the first item comes last
        { -1, "walk", 0, 0 }, { 1, "sea", 1, 1 }, // no match: one beep, the selection stays
        { 1, "", 1, 0 }, // an empty box does nothing
    };
    RunBrowse([&](TfrmDiaryBrowse& w) {
        w.cbFullContent->SetChecked(false);
        for (const Case& c : cases) {
            beeps = 0;
            if (c.selected < 0)
                w.DLV->SetSelected(nullptr);
            else
                w.DLV->Items()->Item(c.selected)->SetSelected(true);
            Search(w, c.needle);
            EXPECT_EQ(SelectedIndex(w), c.found) << c.selected << " " << c.needle;
            EXPECT_EQ(beeps, c.beeps) << c.selected << " " << c.needle;
            if (c.found >= 0 && c.beeps == 0 && c.needle[0]) {
                EXPECT_EQ(w.DLV->ItemFocused(), w.DLV->Items()->Item(c.found));
            }
        }
        // Enter in the box searches too.
        w.DLV->Items()->Item(0)->SetSelected(true);
        w.edtNeedle->SetText(S("letters"));
        QChar enter(13);
        w.edtNeedleKeyPress(w.edtNeedle, enter);
        EXPECT_EQ(SelectedIndex(w), 4);
        EXPECT_TRUE(enter.isNull());
    });
    EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 2, 1)) << "a title search leaves the day";
}

TEST_F(Browse, FullContentSearchFindsTheBodyAndShowsItsDayBehindTheWindow)
{
    Write({ { 1, "Walk", "We saw a \\b zeb\\b0 ra\\line near the river", 0 },
        { 2, "Rainy", "Caf\\'e9 au lait\\par with Zo\\'eb", 2 }, { 3, "Zebra crossing", "nothing", 0 } });
    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_TRUE(w.cbFullContent->Checked()) << "full content is the default";
        w.lblFullSearchClick(w.lblFullSearch);
        EXPECT_FALSE(w.cbFullContent->Checked());
        Search(w, "CAFÉ"); // only in a body
        EXPECT_EQ(beeps, 1);
        EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 2, 1));
        w.lblFullSearchClick(w.lblFullSearch);
        EXPECT_TRUE(w.cbFullContent->Checked());

        Search(w, "CAFÉ AU");
        EXPECT_EQ(SelectedIndex(w), 1);
        EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 1, 2));
        EXPECT_EQ(form->edtTitle->Text(), S("Rainy")) << "the day is shown behind the window";
        Search(w, "lait\nwith zoë"); // across the paragraph break
        EXPECT_EQ(SelectedIndex(w), 1);
        // From the second item: the title of the third, then the body of the first.
        Search(w, "zebra");
        EXPECT_EQ(SelectedIndex(w), 2);
        EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 1, 3));
        Search(w, "zebra");
        EXPECT_EQ(SelectedIndex(w), 0);
        EXPECT_EQ(form->dCalendar->CalendarDate(), EncodeDate(2026, 1, 1));
        EXPECT_EQ(form->edtTitle->Text(), S("Walk"));
        EXPECT_EQ(beeps, 1);
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, -1) << "a search chooses nothing";
}

TEST_F(Browse, ADayWithTwoEntriesListsAndSearchesTheOneTheDayShows)
{
    // A file may hold two entries of one day: the index keeps the earlier,
    // the day shows the later, and so does the list.
    Write({ { 4, "Earlier", "first words", 1 } });
    TDiaryEntry* later = DiaryDB().Diary()->Add();
    later->SetDate(EncodeDate(2026, 1, 4));
    later->SetTitle(S("Later"));
    later->SetBody(ParagraphRtf("second words"));
    later->SetImageIndex(6);
    RunBrowse([&](TfrmDiaryBrowse& w) {
        ASSERT_EQ(w.DLV->Items()->Count(), 1);
        EXPECT_EQ(w.DLV->Items()->Item(0)->SubItems()->Strings(0), S("Later"));
        EXPECT_EQ(w.DLV->Items()->Item(0)->ImageIndex(), 6 + TfrmDiaryBrowse::kFirstMood);
        w.cbFullContent->SetChecked(true);
        Search(w, "first words");
        EXPECT_EQ(beeps, 1) << "the hidden entry's body is not searched";
        Search(w, "second words");
        EXPECT_EQ(form->edtTitle->Text(), S("Later"));
        w.btnGoto->Click();
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, later->Index());
}

TEST_F(Browse, AnEmptyDiaryListsNothingAndItsCommandsDoNothing)
{
    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_EQ(w.DLV->Items()->Count(), 0);
        w.btnPrevDay->Click();
        w.btnNextDay->Click();
        w.btnGoto->Click();
        EXPECT_EQ(w.ModalResult(), mrNone);
        EXPECT_EQ(w.DLV->Selected(), nullptr);
    });
    EXPECT_EQ(form->frmDiaryBrowse->SelIdx, -1);
}

TEST_F(Browse, TheWindowSitsOverTheMainWindowOnItsSkinWithTheSearchBoxColours)
{
    Write({ { 1, "Walk", "", 5 } });
    form->SetBounds(100, 80, 900, 700);
    form->Session().CurrentSkin = 3;
    RunBrowse([&](TfrmDiaryBrowse& w) {
        EXPECT_EQ(w.Caption(), S(" Browse through all diary entries ..."));
        EXPECT_EQ(w.Left(), 100 + (900 - w.Width()) / 2);
        EXPECT_EQ(w.Top(), 80 + (700 - w.Height()) / 2);
        EXPECT_EQ(w.CurrentSkin, 3);
        const QImage back = w.image_Bck->Picture()->Bitmap()->Image();
        ASSERT_EQ(back.size(), QSize(w.ClientWidth(), w.ClientHeight()));
        int dark = 0;
        for (int x = 0; x < back.width(); x += 7)
            dark += (back.pixel(x, back.height() / 2) & 0xFFFFFF) == 0;
        EXPECT_LT(dark, back.width() / 14) << "the skin is drawn, not left black";

        w.edtNeedleEnter(w.edtNeedle);
        EXPECT_EQ(w.edtNeedle->Color(), TColor(0x00FFF0E8));
        w.edtNeedleExit(w.edtNeedle);
        EXPECT_EQ(w.edtNeedle->Color(), TColor(0x00FFFFFF));
        EXPECT_EQ(w.DLV->Columns()->Items(0)->Width(), 110);
        EXPECT_EQ(w.DLV->Columns()->Items(1)->Width(), 328);
        EXPECT_EQ(w.DIL->Count(), 2 + 17);
        EXPECT_EQ(w.DIL->Width(), 22);
    });
}

TEST_F(Browse, DrawsTheTitleOrderWithItsMarkAndTheHitSelected)
{
    Write({ { 4, "Walk to the river", "", 1 }, { 5, "Rainy day", "We stayed home", 10 }, { 6, "River again", "", 2 },
        { 7, "A letter", "", 6 }, { 8, "Quiet evening", "", 9 } });
    RunBrowse([&](TfrmDiaryBrowse& w) {
        ClickColumn(w, 1);
        Search(w, "home");
        ASSERT_EQ(SelectedIndex(w), 2);
        const QImage shown = w.RenderToBitmap()->Image();
        const QString path = qEnvironmentVariable("BROWSE_PNG");
        if (!path.isEmpty())
            shown.save(path);
        auto* tree = static_cast<QTreeWidget*>(w.DLV->Handle());
        const QPoint origin = tree->viewport()->mapTo(tree->window(), QPoint(0, 0));
        const QRect hit = tree->visualItemRect(tree->topLevelItem(2)).translated(origin);
        const QRect other = tree->visualItemRect(tree->topLevelItem(3)).translated(origin);
        int selected = 0, plain = 0;
        for (int x = hit.left() + 30; x < hit.right(); ++x) {
            selected += (shown.pixel(x, hit.center().y()) & 0xFFFFFF) == (ToQColor(clBtnFace).rgb() & 0xFFFFFF);
            plain += (shown.pixel(x, other.center().y()) & 0xFFFFFF) == 0xFFFFFF;
        }
        // The search box has the focus: the list keeps its selection visible, in grey.
        EXPECT_GT(selected, hit.width() / 2) << "the whole row of the hit is selected";
        EXPECT_GT(plain, other.width() / 2);
        // The row's mood picture: colour where the image goes, on white.
        int coloured = 0;
        for (int x = other.left(); x < other.left() + 26; ++x) {
            const QColor c = QColor::fromRgb(shown.pixel(x, other.center().y()));
            coloured += c.saturation() > 80;
        }
        EXPECT_GT(coloured, 4);
    });
}

} // namespace
