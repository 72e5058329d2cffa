#include "app/main_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "app/entry_form.h"
#include "app/helpers.h"
#include "app/options_form.h"

#include "birthdays/birthday.h"
#include "controls/image_combo.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "platform/core/registry.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "resources/program_pictures.h"

#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class DayDisplay : public BlankMainWindowFixture {
protected:
    // What the user's typing does to the editors.
    void TypeTitle(const char* text)
    {
        form->edtTitle->SetText(S(text));
        form->edtTitle->SetModified(true);
    }
    void TypeBody(const char* text)
    {
        form->MemoBody->Lines()->SetText(S(text));
        form->MemoBody->SetModified(true);
    }
    static bool Stored(int y, int m, int d, QString* title = nullptr, QString* body = nullptr, int* mood = nullptr)
    {
        QString t, b, n, todo;
        int image = 0;
        const bool found = DiaryDB().GetEntry(EncodeDate(y, m, d), t, b, n, todo, image);
        if (title)
            *title = t;
        if (body)
            *body = b;
        if (mood)
            *mood = image;
        return found;
    }
};

TEST_F(DayDisplay, BlankTitleWithBodyIsStoredAsUntitledDay)
{
    Pick(2026, 3, 10);
    TypeTitle("   ");
    TypeBody("Went to the sea.");
    Pick(2026, 3, 11);
    QString title, body;
    ASSERT_TRUE(Stored(2026, 3, 10, &title, &body));
    EXPECT_EQ(title, S("Untitled Day"));
    EXPECT_TRUE(body.contains(S("Went to the sea.")));
    EXPECT_FALSE(Stored(2026, 3, 11));
}

TEST_F(DayDisplay, TitleIsStoredWithItsBlanksAndMood)
{
    Pick(2026, 3, 10);
    TypeTitle("  Sea  ");
    form->ShowMood(7);
    Pick(2026, 3, 11);
    QString title;
    int mood = -1;
    ASSERT_TRUE(Stored(2026, 3, 10, &title, nullptr, &mood));
    EXPECT_EQ(title, S("  Sea  "));
    EXPECT_EQ(mood, 7);
    // Going back loads the stored day into the editors, read-only.
    Pick(2026, 3, 10);
    EXPECT_EQ(form->edtTitle->Text(), S("  Sea  "));
    EXPECT_EQ(form->Mood(), 7);
    EXPECT_TRUE(form->edtTitle->ReadOnly());
    EXPECT_FALSE(form->edtTitle->Modified());
}

TEST_F(DayDisplay, NotesOnlyOrMoodOnlyOnAnEmptyDayAreNotStored)
{
    Pick(2026, 3, 10);
    form->MemoNotes->Lines()->SetText(S("only a note"));
    form->MemoNotes->SetModified(true);
    Pick(2026, 3, 11);
    EXPECT_FALSE(Stored(2026, 3, 10));

    form->ShowMood(5);
    form->MemoBody->SetModified(true);
    Pick(2026, 3, 12);
    EXPECT_FALSE(Stored(2026, 3, 11));
    EXPECT_EQ(DiaryDB().Diary()->Count(), 0);
}

TEST_F(DayDisplay, ClearingAWrittenDayKeepsItsStoredEntry)
{
    DiaryDB().AddEntry(EncodeDate(2026, 3, 10), S("Kept"), S("Body"), QString(), QString(), 2);
    Pick(2026, 3, 10);
    EXPECT_EQ(form->edtTitle->Text(), S("Kept"));
    TypeTitle("");
    TypeBody("");
    Pick(2026, 3, 11);
    QString title;
    ASSERT_TRUE(Stored(2026, 3, 10, &title));
    EXPECT_EQ(title, S("Kept"));
}

TEST_F(DayDisplay, PickingTheSameDayAgainDoesNotReload)
{
    Pick(2026, 3, 10);
    // Unmodified text would be lost by a reload of the empty day.
    form->edtTitle->SetText(S("not yet stored"));
    Pick(2026, 3, 10);
    EXPECT_EQ(form->edtTitle->Text(), S("not yet stored"));
    EXPECT_FALSE(Stored(2026, 3, 10));

    // Pending edits are stored all the same.
    TypeTitle("pending");
    Pick(2026, 3, 10);
    EXPECT_EQ(form->edtTitle->Text(), S("pending"));
    QString title;
    ASSERT_TRUE(Stored(2026, 3, 10, &title));
    EXPECT_EQ(title, S("pending"));
}

TEST_F(DayDisplay, DeleteAsksAndRemovesTheDaysMark)
{
    Pick(2026, 3, 10);
    TypeTitle("Gone soon");
    Pick(2026, 3, 12);
    TypeTitle("Stays");
    Pick(2026, 3, 10);
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(",10,12,"));

    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    dialogs.AnswerMessageBox(IDNO);
    form->btnDeleteClick(nullptr);
    EXPECT_TRUE(Stored(2026, 3, 10));
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(",10,12,"));

    dialogs.AnswerMessageBox(IDYES);
    form->btnDeleteClick(nullptr);
    EXPECT_FALSE(Stored(2026, 3, 10));
    EXPECT_TRUE(Stored(2026, 3, 12));
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(",12,"));
    EXPECT_TRUE(form->edtTitle->Text().isEmpty());
    EXPECT_FALSE(form->edtTitle->Modified());

    ASSERT_EQ(dialogs.Calls().size(), 2);
    const TDialogCall& call = dialogs.Calls().at(1);
    EXPECT_EQ(call.Kind, TDialogKind::MessageBox);
    EXPECT_EQ(call.Text, S("Delete day \"") + form->lblDate->Caption() + S("\" ?"));
    EXPECT_TRUE(call.Text.contains(S(" 10, 2026")));
    EXPECT_EQ(call.Caption, S(" Warning"));
    EXPECT_EQ(call.Flags, MB_ICONWARNING | MB_YESNO);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
}

TEST_F(DayDisplay, WrittenDaysOfTheShownMonthAreMarked)
{
    DiaryDB().AddEntry(EncodeDate(2026, 4, 30), S("before"), QString(), QString(), QString(), 0);
    DiaryDB().AddEntry(EncodeDate(2026, 5, 12), S("b"), QString(), QString(), QString(), 0);
    DiaryDB().AddEntry(EncodeDate(2026, 5, 5), S("a"), QString(), QString(), QString(), 0);
    DiaryDB().AddEntry(EncodeDate(2026, 6, 1), S("after"), QString(), QString(), QString(), 0);
    Pick(2026, 5, 20);
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(",5,12,"));
    EXPECT_EQ(form->dCalendar->DayStateOf(S("5")), TDayState::dsActive);
    EXPECT_EQ(form->dCalendar->DayStateOf(S("1")), TDayState::dsNormal);
    Pick(2026, 7, 1);
    EXPECT_EQ(form->dCalendar->ActiveDays(), S(","));
}

TEST_F(DayDisplay, BirthdaysOfTheMonthAreSpecialDays)
{
    TEntry* a = static_cast<TEntry*>(BirthdayComponent().Entries()->Add());
    a->SetBirthDate(EncodeDate(1980, 5, 20));
    TEntry* b = static_cast<TEntry*>(BirthdayComponent().Entries()->Add());
    b->SetBirthDate(EncodeDate(1975, 5, 3));
    Pick(2026, 5, 1);
    EXPECT_EQ(form->dCalendar->SpecialDays(), S("3,20,0"));
    Pick(2026, 6, 1);
    EXPECT_EQ(form->dCalendar->SpecialDays(), QString());
}

TEST_F(DayDisplay, NextAndPreviousWrittenDay)
{
    const TDateTime d5 = EncodeDate(2026, 5, 5), d12 = EncodeDate(2026, 5, 12);
    EXPECT_EQ(form->GetDiaryDelta(true, d5), d5);
    EXPECT_EQ(form->GetDiaryDelta(false, d5), d5);
    DiaryDB().AddEntry(d5, S("a"), QString(), QString(), QString(), 0);
    DiaryDB().AddEntry(d12, S("b"), QString(), QString(), QString(), 0);
    EXPECT_EQ(form->GetDiaryDelta(true, EncodeDate(2026, 5, 1)), d5);
    EXPECT_EQ(form->GetDiaryDelta(true, d5), d12);
    EXPECT_EQ(form->GetDiaryDelta(true, d12), d12);
    // After the last written day, "next" goes back to it.
    EXPECT_EQ(form->GetDiaryDelta(true, EncodeDate(2026, 6, 1)), d12);
    EXPECT_EQ(form->GetDiaryDelta(false, d12), d5);
    EXPECT_EQ(form->GetDiaryDelta(false, EncodeDate(2026, 5, 1)), EncodeDate(2026, 5, 1));

    Pick(2026, 5, 8);
    form->actGoNEntryExecute(nullptr);
    EXPECT_EQ(form->dCalendar->CalendarDate(), d12);
    EXPECT_EQ(form->edtTitle->Text(), S("b"));
    form->actGoPEntryExecute(nullptr);
    EXPECT_EQ(form->dCalendar->CalendarDate(), d5);
    EXPECT_EQ(form->edtTitle->Text(), S("a"));
}

TEST_F(DayDisplay, ShowMoodDrawsTheRegisteredPicture)
{
    form->ShowMood(3);
    EXPECT_EQ(form->Mood(), 3);
    const QImage expected = FindResourceBitmap(S("mood03"));
    ASSERT_FALSE(expected.isNull());
    auto* bitmap = dynamic_cast<TBitmap*>(form->imgMood->Picture()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    const QImage shown = bitmap->ToImage();
    const QImage mood = expected.convertToFormat(QImage::Format_ARGB32);
    // The picture's transparent parts show the white background.
    EXPECT_EQ(shown.pixel(0, 0) | 0xFF000000u, qAlpha(mood.pixel(0, 0)) == 0 ? 0xFFFFFFFFu : mood.pixel(0, 0));
    // Compare where the picture is opaque and not white.
    int checked = 0;
    for (int y = 0; y < qMin(64, mood.height()); ++y)
        for (int x = 0; x < qMin(64, mood.width()); ++x)
            if (qAlpha(mood.pixel(x, y)) == 255 && mood.pixel(x, y) != qRgb(255, 255, 255)) {
                EXPECT_EQ(shown.pixel(x, y), mood.pixel(x, y)) << x << "," << y;
                ++checked;
                if (checked > 20)
                    return;
            }
    EXPECT_GT(checked, 0);
}

} // namespace

TEST_F(DayDisplay, AMoodTheProgramLacksShowsABlankPicture)
{
    DiaryDB().AddEntry(EncodeDate(2026, 3, 10), S("Odd"), QString(), QString(), QString(), 40);
    Pick(2026, 3, 10);
    EXPECT_EQ(form->Mood(), 40) << "the stored number is kept";
    auto* bitmap = dynamic_cast<TBitmap*>(form->imgMood->Picture()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->ToImage().pixel(32, 32) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(DayDisplay, MoodStepsWrapAroundTheSeventeenPictures)
{
    ASSERT_EQ(form->ilMood->Count(), 17);
    form->ShowMood(16);
    form->actNextMood->Execute();
    EXPECT_EQ(form->Mood(), 0);
    form->actPrevMood->Execute();
    EXPECT_EQ(form->Mood(), 16);
    form->ShowMood(40); // from a file: the next picture is the first
    form->actNextMood->Execute();
    EXPECT_EQ(form->Mood(), 0);
}

// The grid keeps its cell geometry to itself and its descendants.
struct CellGeometry : TCPCalendar {
    static QRect Of(const TCPCalendar& c, int col, int row) { return (c.*(&CellGeometry::CellRect))(col, row); }
};

TEST_F(DayDisplay, BirthdayCellsCarryADiamondAtTheirLowerLeft)
{
    AddBirthday(S("Anna"), EncodeDate(1990, 3, 20));
    Pick(2026, 3, 10);
    TCPCalendar& c = *form->dCalendar;
    // The cell of the 20th; the 10th is selected and stays unmarked.
    QRect cell;
    for (int row = 1; row < c.RowCount() && cell.isNull(); ++row)
        for (int col = 0; col < c.ColCount(); ++col)
            if (c.GetCellText(col, row) == S("20"))
                cell = CellGeometry::Of(c, col, row);
    ASSERT_FALSE(cell.isNull());
    const QImage image = c.RenderToBitmap()->ToImage();
    const int left = cell.left();
    const int bottom = cell.top() + cell.height();
    for (const QPoint p : { QPoint(left + 2, bottom - 4), QPoint(left + 2, bottom - 2), QPoint(left + 1, bottom - 3),
             QPoint(left + 3, bottom - 3) })
        EXPECT_EQ(image.pixel(p) & 0xFFFFFF, 0x000080u) << p.x() << "," << p.y();
    EXPECT_NE(image.pixel(left + 2, bottom - 3) & 0xFFFFFF, 0x000080u) << "a diamond, not a dot";
}

namespace {

// Whether the editor shows link as a link: blue and underlined over
// exactly its characters.
bool ShownAsLink(TCPRichEdit& edit, const QString& link)
{
    const int start = int(edit.Document()->toRawText().indexOf(link));
    if (start < 0)
        return false;
    for (const QTextEdit::ExtraSelection& mark : static_cast<QTextEdit*>(edit.Handle())->extraSelections())
        if (mark.cursor.selectionStart() == start && mark.cursor.selectionEnd() == start + link.size()
            && mark.format.foreground().color() == QColor(0, 0, 255) && mark.format.fontUnderline())
            return true;
    return false;
}

} // namespace

// However a day's text comes to be shown, its links are marked at once;
// also when the same text is shown again (a restore shows the day the
// wizard or the tools window loaded, the first activation loads it anew).
TEST_F(DayDisplay, LinksAreMarkedOnEveryRoadThatShowsTheDay)
{
    const TDateTime linked = EncodeDate(2026, 3, 10);
    const TDateTime plain = EncodeDate(2026, 3, 12);
    const QString link = S("http://a.org/diary");
    const auto fill = [&](TDiaryDB& db) {
        db.AddEntry(linked, S("Links"), ParagraphRtf("Look at http://a.org/diary today"), QString(), QString(), 0);
        db.AddEntry(plain, S("Plain"), ParagraphRtf("Nothing to follow"), QString(), QString(), 0);
    };
    const QString backup = dir.filePath(S("kept.bkd"));
    {
        TDiaryDB db;
        db.Diary()->SetPassword(S("pw"));
        fill(db);
        db.SaveToFile(backup);
    }
    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    const auto restoreInWizard = [&] {
        TfrmEntry wizard(nullptr, form->Session(), *form);
        wizard.cbDiary->SetItemIndex(wizard.cbDiary->Items()->Count() - 1);
        dialogs.AnswerOpenFile(backup);
        dialogs.AnswerInputQuery(S("pw"));
        dialogs.AnswerMessageDlg(mrOk);
        wizard.btnNextClick(wizard.btnNext);
        form->FormActivate(form.get());
    };
    const auto restoreInTools = [&] {
        form->FormActivate(form.get());
        TfrmOptions tools(nullptr, form->Session(), *form);
        dialogs.AnswerOpenFile(backup);
        dialogs.AnswerMessageDlg(mrOk);
        dialogs.AnswerInputQuery(S("pw"));
        dialogs.AnswerMessageDlg(mrOk);
        tools.pmoRestore->Click();
    };
    const auto picked = [&] {
        form->FormActivate(form.get());
        form->dCalendar->SetCalendarDate(plain);
        form->dCalendar->SetCalendarDate(linked);
    };
    const auto edit = [&] {
        form->FormActivate(form.get());
        form->btnNewClick(nullptr);
    };
    const auto deleteRefused = [&] {
        form->FormActivate(form.get());
        dialogs.AnswerMessageBox(IDNO);
        form->btnDeleteClick(nullptr);
    };
    const struct {
        const char* road;
        bool diaryOpen; // the diary is open before the road (not restored by it)
        std::function<void()> act;
    } roads[] = {
        { "start", true, [&] { form->FormActivate(form.get()); } },
        { "restore in the wizard", false, restoreInWizard },
        { "restore in the tools window", true, restoreInTools },
        { "a day picked", true, picked },
        { "Edit", true, edit },
        { "Delete answered No", true, deleteRefused },
    };
    for (const auto& r : roads) {
        form.reset();
        FreeDiaryDB();
        dialogs.Clear();
        if (r.diaryOpen)
            fill(DiaryDB());
        SetClock([&] { return linked + 0.5; });
        Create();
        form->Session().ProgramPath = EnsureTrailingBackslash(dir.path());
        form->Session().DataFileName = dir.filePath(S("mine.dry"));
        form->Session().UserPassword = S("pw");
        form->Session().DiaryOpened = true;
        r.act();
        SetClock({});
        EXPECT_EQ(form->edtTitle->Text(), S("Links")) << r.road;
        EXPECT_TRUE(ShownAsLink(*form->MemoBody, link)) << r.road;
        EXPECT_EQ(dialogs.UnansweredCalls(), 0) << r.road;
    }

    // A deleted day leaves no mark behind on the empty page.
    dialogs.AnswerMessageBox(IDYES);
    form->btnDeleteClick(nullptr);
    EXPECT_TRUE(form->MemoBody->Text().isEmpty());
    EXPECT_TRUE(static_cast<QTextEdit*>(form->MemoBody->Handle())->extraSelections().isEmpty());
}
