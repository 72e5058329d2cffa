// Printing through the print dialog into PDF files read back as text: which
// days print, in what order, as how many jobs and sheets, under what
// heading, and how a wrong range or a machine without a printer is met.

#include "app/print_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "controls/date_edit.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/styled_push_button.h"
#include "engine/diary.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest/QTest>

#include <QDir>

#include <functional>
#include <map>
#include <memory>

namespace {

TDateTime Jan(int day)
{
    return EncodeDate(2026, 1, day);
}

QString RunTool(const char* program, const QStringList& arguments)
{
    QProcess process;
    process.start(S(program), arguments);
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each sheet of a PDF.
QStringList Sheets(const QString& fileName)
{
    QStringList sheets = RunTool("pdftotext", { S("-layout"), fileName, S("-") }).split(QChar(u'\f'));
    if (!sheets.isEmpty() && sheets.last().trimmed().isEmpty())
        sheets.removeLast();
    return sheets;
}

class Printing : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_FALSE(QStandardPaths::findExecutable(S("pdftotext")).isEmpty()) << "poppler-utils is needed";
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        CreateShowingNothing();
        pdf = dir.filePath(S("print.pdf"));
        UsePrinter(TPrinterService::CreatePdf(pdf, 150));
        // Written out of date order: printing follows the dates.
        DiaryDB().AddEntry(Jan(20), S("Twentieth"), ParagraphRtf("Body of the twentieth"), QString(), QString(), 0);
        DiaryDB().AddEntry(Jan(2), S("Second"), ParagraphRtf("Body of the second"), QString(), QString(), 0);
        DiaryDB().AddEntry(Jan(5), S("Fifth"), ParagraphRtf("Body of the fifth"), QString(), QString(), 0);
        form->dCalendar->SetCalendarDate(EncodeDate(2026, 2, 1));
        SetDialogService(&dialogs);
    }
    void TearDown() override
    {
        SetPrinter(nullptr);
        Application()->OnException = {};
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        MainWindowFixture::TearDown();
    }
    void UsePrinter(std::unique_ptr<TPrinterService> p)
    {
        printer = std::move(p);
        SetPrinter(printer.get());
    }

    // Runs the main window's Print command; whileShown acts on the dialog,
    // which then closes unless whileShown closed it.
    void RunPrint(const std::function<void(TfrmPrintEngine&)>& whileShown)
    {
        QTimer::singleShot(0, [&] {
            TfrmPrintEngine* w = nullptr;
            for (int i = 0; i < form->ComponentCount() && !w; ++i)
                w = dynamic_cast<TfrmPrintEngine*>(form->Components(i));
            ASSERT_NE(w, nullptr);
            whileShown(*w);
            if (w->ModalResult() == mrNone)
                w->Close();
        });
        form->btnPrintClick(nullptr);
    }
    static void ClickPrint(TfrmPrintEngine& w)
    {
        QTest::mouseClick(static_cast<QWidget*>(w.btnPrint->Handle()), Qt::LeftButton);
    }
    static QString Head(TDateTime date, const char* title) { return FullYearDateToStr(date) + S(" - ") + S(title); }

    QStringList errors;
    QString pdf;
    std::unique_ptr<TPrinterService> printer;
    TScriptedDialogService dialogs;
};

TEST_F(Printing, CurrentPagePrintsTheEditorAsItStandsUnderAPlainHeading)
{
    form->edtTitle->SetText(S("Unsaved title"));
    form->MemoBody->SetText(S("Typed but not stored"));
    RunPrint([](TfrmPrintEngine& w) {
        EXPECT_TRUE(w.rbCurrent->Checked());
        EXPECT_FALSE(w.deFrom->Enabled());
        EXPECT_FALSE(w.cbSplitPages->Enabled());
        EXPECT_EQ(w.CurrentDate, EncodeDate(2026, 2, 1));
        ClickPrint(w);
        EXPECT_NE(w.ModalResult(), mrNone) << "printing closes the dialog";
    });
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
    EXPECT_EQ(printer->JobCount(), 1);
    const QStringList sheets = Sheets(pdf);
    ASSERT_EQ(sheets.size(), 1);
    const QStringList lines = sheets[0].trimmed().split(u'\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].trimmed(), Head(EncodeDate(2026, 2, 1), "Unsaved title"));
    EXPECT_TRUE(lines[1].trimmed().isEmpty()) << "one empty line under the heading";
    EXPECT_EQ(lines[2].trimmed(), S("Typed but not stored"));
    EXPECT_FALSE(sheets[0].contains(S("Body of"))) << "no stored day";
    EXPECT_FALSE(RunTool("pdffonts", { pdf }).contains(S("Bold"))) << "the heading is not bold";
}

TEST_F(Printing, RangesAndAllPagesPrintWrittenDaysInDateOrderAsJobsOrOneDocument)
{
    struct Case {
        const char* name;
        TDateTime from, to;
        bool split;
        int jobs;
        int sheets; // 0: no file at all
        QStringList titles; // in printed order
    };
    const Case cases[] = {
        { "split range", Jan(1), Jan(10), true, 2, 2, { S("Second"), S("Fifth") } },
        { "continuous range", Jan(1), Jan(10), false, 1, 1, { S("Second"), S("Fifth") } },
        { "split all", 0, 2147483647, true, 3, 3, { S("Second"), S("Fifth"), S("Twentieth") } },
        { "continuous all", 0, 2147483647, false, 1, 1, { S("Second"), S("Fifth"), S("Twentieth") } },
        { "continuous without days", EncodeDate(2026, 3, 1), EncodeDate(2026, 3, 31), false, 1, 1, {} },
        { "split without days", EncodeDate(2026, 3, 1), EncodeDate(2026, 3, 31), true, 0, 0, {} },
        { "empty start", 0, Jan(10), false, 1, 1, { S("Second"), S("Fifth") } },
        { "empty end", Jan(3), 0, true, 2, 2, { S("Fifth"), S("Twentieth") } },
        { "one day", Jan(5), Jan(5), true, 1, 1, { S("Fifth") } },
    };
    const std::map<QString, TDateTime> dates { { S("Second"), Jan(2) }, { S("Fifth"), Jan(5) },
        { S("Twentieth"), Jan(20) } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pdf);
        UsePrinter(TPrinterService::CreatePdf(pdf, 150));
        TfrmPrintEngine w(form.get(), form->Session(), *form);
        w.CurrentDate = EncodeDate(2026, 2, 1);
        w.cbSplitPages->SetChecked(c.split);
        w.DoTheJob(c.from, c.to);
        EXPECT_EQ(printer->JobCount(), c.jobs);
        if (c.sheets == 0) {
            EXPECT_FALSE(QFile::exists(pdf));
            continue;
        }
        const QStringList sheets = Sheets(pdf);
        EXPECT_EQ(sheets.size(), c.sheets);
        const QString all = sheets.join(u'\f');
        EXPECT_FALSE(all.contains(S("1899"))) << "an empty bound is no date";
        qsizetype at = 0;
        for (int i = 0; i < c.titles.size(); ++i) {
            const QString& title = c.titles[i];
            const qsizetype heading = all.indexOf(Head(dates.at(title), title.toUtf8().constData()), at);
            EXPECT_GE(heading, at) << qPrintable(title) << " in order";
            if (heading < 0)
                continue;
            if (c.split) {
                EXPECT_TRUE(sheets[i].contains(title)) << "each day on a sheet of its own";
            }
            if (!c.split && i > 0) {
                // The previous body, then blank lines, then this heading.
                const QString between = all.mid(at, heading - at);
                EXPECT_GE(between.count(u'\n'), 3) << qPrintable(between);
            }
            at = heading + title.size();
            const qsizetype body = all.indexOf(S("Body of the"), at);
            EXPECT_GT(body, heading);
            at = body;
        }
        if (c.titles.isEmpty()) {
            EXPECT_TRUE(all.trimmed().isEmpty());
        }
    }
}

TEST_F(Printing, TheSelectedDayPrintsAsTheEditorHoldsItInEveryRange)
{
    struct Case {
        const char* name;
        TDateTime selected;
        TDateTime from, to;
        bool split;
        bool printed;
    };
    const Case cases[] = {
        { "stored day, continuous range", Jan(5), Jan(1), Jan(10), false, true },
        { "stored day, split all", Jan(5), 0, 2147483647, true, true },
        { "stored day, continuous all", Jan(5), 0, 2147483647, false, true },
        { "day not stored yet, split range", Jan(7), Jan(1), Jan(10), true, true },
        { "day not stored yet, continuous all", Jan(7), 0, 2147483647, false, true },
        { "day outside the range", Jan(20), Jan(1), Jan(10), false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pdf);
        UsePrinter(TPrinterService::CreatePdf(pdf, 150));
        form->dCalendar->SetCalendarDate(c.selected);
        form->Session().PrevDate = -1.0;
        form->HandleEntry();
        form->edtTitle->SetText(S("Retyped"));
        form->MemoBody->SetText(S("Typed in the editor"));
        TfrmPrintEngine w(form.get(), form->Session(), *form);
        w.CurrentDate = c.selected;
        w.cbSplitPages->SetChecked(c.split);
        w.DoTheJob(c.from, c.to);
        const QString all = Sheets(pdf).join(u'\f');
        EXPECT_EQ(all.contains(Head(c.selected, "Retyped")), c.printed);
        EXPECT_EQ(all.contains(S("Typed in the editor")), c.printed);
        EXPECT_NE(all.contains(S("Body of the fifth")), c.selected == Jan(5)) << "the stored text gives way";
        EXPECT_TRUE(all.contains(S("Body of the second"))) << "the other days as stored";
        if (c.printed && c.selected == Jan(7)) {
            const qsizetype at = all.indexOf(S("Typed in the editor"));
            EXPECT_GT(at, all.indexOf(S("Body of the fifth"))) << "in date order";
            if (all.contains(S("Twentieth"))) {
                EXPECT_LT(at, all.indexOf(S("Twentieth")));
            }
        }
        EXPECT_EQ(DiaryDB().Diary()->Count(), 3) << "printing stores nothing";
    }
}

TEST_F(Printing, AReversedRangeIsRefusedAndTheDialogStaysOpen)
{
    // Without a printer too, before any file is asked for.
    for (const bool hasPrinter : { true, false }) {
        SCOPED_TRACE(hasPrinter);
        errors.clear();
        dialogs.Clear();
        UsePrinter(TPrinterService::CreatePdf(hasPrinter ? pdf : QString(), 150));
        RunPrint([this](TfrmPrintEngine& w) {
            w.rbRange->SetChecked(true);
            EXPECT_TRUE(w.deFrom->Enabled());
            EXPECT_TRUE(w.deTo->Enabled());
            EXPECT_TRUE(w.cbSplitPages->Enabled());
            w.deFrom->SetDate(Jan(10));
            w.deTo->SetDate(Jan(2));
            ClickPrint(w);
            EXPECT_EQ(w.ModalResult(), mrNone);
            EXPECT_EQ(errors, QStringList { S("Invalid dates specified") });
            w.rbAll->SetChecked(true);
            EXPECT_FALSE(w.deFrom->Enabled());
            EXPECT_TRUE(w.cbSplitPages->Enabled());
            w.rbCurrent->SetChecked(true);
            EXPECT_FALSE(w.cbSplitPages->Enabled());
        });
        EXPECT_TRUE(dialogs.Calls().isEmpty()) << "no file asked for";
        EXPECT_EQ(printer->JobCount(), 0);
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

TEST_F(Printing, WithoutAPrinterThePrintGoesToTheChosenPdfFile)
{
    UsePrinter(TPrinterService::CreatePdf(QString(), 150));
    form->Session().DataFileName = dir.filePath(S("My Diary.dry"));
    const QString chosen = dir.filePath(S("chosen.pdf"));
    QString offered;
    dialogs.OnCall = [&](const TDialogCall& call) {
        if (call.Kind == TDialogKind::SaveFile)
            offered = call.File.FileName;
    };
    // Cancelled: nothing printed, the dialog still open.
    dialogs.CancelSaveFile();
    dialogs.AnswerSaveFile(chosen);
    dialogs.AnswerMessageDlg(mrOk);
    RunPrint([&](TfrmPrintEngine& w) {
        w.rbAll->SetChecked(true);
        ClickPrint(w);
        EXPECT_EQ(w.ModalResult(), mrNone);
        EXPECT_EQ(printer->JobCount(), 0);
        ClickPrint(w);
        EXPECT_NE(w.ModalResult(), mrNone);
    });
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
    EXPECT_EQ(offered, S("My Diary 2026-02-01.pdf"));
    ASSERT_FALSE(dialogs.Calls().isEmpty());
    EXPECT_TRUE(dialogs.Calls().last().Text.contains(QDir::toNativeSeparators(chosen)));
    EXPECT_EQ(Sheets(chosen).size(), 3);
    EXPECT_TRUE(printer->OutputFileName().isEmpty()) << "the next print asks again";
}

TEST_F(Printing, AFailedJobIsReportedAndTheDiaryKeepsItsDays)
{
    UsePrinter(TPrinterService::CreatePdf(dir.filePath(S("missing/folder/x.pdf")), 150));
    RunPrint([](TfrmPrintEngine& w) {
        w.rbAll->SetChecked(true);
        ClickPrint(w);
        EXPECT_EQ(w.ModalResult(), mrNone);
    });
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(DiaryDB().Diary()->Count(), 3);
    EXPECT_EQ(printer->JobCount(), 0);
}

} // namespace
