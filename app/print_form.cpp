#include "app/print_form.h"
#include "platform/core/sysutils.h"

#include "app/diary_session.h"
#include "app/helpers.h"
#include "controls/date_edit.h"
#include "controls/form_building.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/styled_push_button.h"
#include "engine/diary.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"
#include "platform/richtext/rich_lines.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxRichLength = 0x7FFFFFF0;

// An empty bound is open, never the date 0: only two real dates can be the
// wrong way round.
void CheckRange(TDateTime aFrom, TDateTime aTo)
{
    if (aFrom > 0 && aTo > 0 && aFrom > aTo)
        throw Exception(S("Invalid dates specified"));
}

} // namespace

TfrmPrintEngine::TfrmPrintEngine(TComponent* AOwner, TDiarySession& session, IDiaryView& view)
    : TForm(AOwner)
    , Session(session)
    , View(view)
{
    BuildControls();
    OnKeyPress = [this](TObject*, QChar& key) {
        if (key == QChar(27))
            Close();
    };
    DoCreate();
}

TfrmPrintEngine::~TfrmPrintEngine()
{
    DoDestroy();
}

void TfrmPrintEngine::BuildControls()
{
    SetName(S("frmPrintEngine"));
    SetCaption(S("Print Diary ..."));
    SetBorderStyle(bsDialog);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetFontOf(this, 12, clBlack);
    SetKeyPreview(true);
    SetPosition(poOwnerFormCenter);

    gbPrint = MakeControl<TGroupBox>(this, this, "gbPrint", QRect(8, 4, 326, 120));
    gbPrint->SetCaption(S(" Print "));
    rbCurrent = MakeControl<TRadioButton>(this, gbPrint, "rbCurrent", QRect(12, 20, 150, 18));
    rbCurrent->SetCaption(S("Current Page"));
    rbRange = MakeControl<TRadioButton>(this, gbPrint, "rbRange", QRect(12, 46, 86, 18));
    rbRange->SetCaption(S("Pages from:"));
    deFrom = MakeControl<TDateEdit>(this, gbPrint, "deFrom", QRect(100, 44, 93, 21));
    lblTo = MakeControl<TLabel>(this, gbPrint, "lblTo", QRect(200, 47, 20, 16));
    lblTo->SetCaption(S("to:"));
    deTo = MakeControl<TDateEdit>(this, gbPrint, "deTo", QRect(222, 44, 93, 21));
    for (TDateEdit* edit : { deFrom, deTo }) {
        edit->SetColor(clWhite);
        SetFontOf(edit, 12, clBlack);
        edit->SetNumGlyphs(2);
        edit->SetYearDigits(dyFour);
        edit->SetEnabled(false);
    }
    rbAll = MakeControl<TRadioButton>(this, gbPrint, "rbAll", QRect(12, 72, 150, 18));
    rbAll->SetCaption(S("All Pages"));
    cbSplitPages = MakeControl<TCheckBox>(this, gbPrint, "cbSplitPages", QRect(12, 96, 250, 18));
    cbSplitPages->SetCaption(S("Each day on a different page"));
    cbSplitPages->SetChecked(true);
    rbCurrent->SetChecked(true);

    btnPrint = MakeControl<TLbButton>(this, this, "btnPrint", QRect(170, 133, 78, 28));
    btnPrint->SetCaption(S("&Print"));
    btnPrint->SetDefault(true);
    btnCancel = MakeControl<TLbButton>(this, this, "btnCancel", QRect(256, 133, 78, 28));
    btnCancel->SetCaption(S("&Cancel"));
    btnCancel->SetCancel(true);

    rbCurrent->OnClick = [this](TObject* s) { rbCurrentClick(s); };
    rbRange->OnClick = [this](TObject* s) { rbRangeClick(s); };
    rbAll->OnClick = [this](TObject* s) { rbAllClick(s); };
    btnPrint->OnClick = [this](TObject* s) { btnPrintClick(s); };
    btnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };
}

void TfrmPrintEngine::Execute(TComponent* aOwner, TDiarySession& session, IDiaryView& view, TDateTime aDate)
{
    std::unique_ptr<TfrmPrintEngine> dialog(new TfrmPrintEngine(aOwner, session, view));
    dialog->CurrentDate = aDate;
    dialog->deFrom->SetDate(aDate);
    dialog->deTo->SetDate(aDate);
    dialog->cbSplitPages->SetEnabled(false);
    dialog->ShowModal();
}

void TfrmPrintEngine::SetChoice(bool range, bool split)
{
    deFrom->SetEnabled(range);
    deTo->SetEnabled(range);
    cbSplitPages->SetEnabled(split);
}

void TfrmPrintEngine::rbCurrentClick(TObject*)
{
    SetChoice(false, false);
}

void TfrmPrintEngine::rbRangeClick(TObject*)
{
    SetChoice(true, true);
}

void TfrmPrintEngine::rbAllClick(TObject*)
{
    SetChoice(false, true);
}

void TfrmPrintEngine::btnPrintClick(TObject*)
{
    TDateTime from = CurrentDate, to = CurrentDate;
    if (rbRange->Checked()) {
        from = deFrom->Date();
        to = deTo->Date();
    } else if (rbAll->Checked()) {
        from = 0;
        to = 2147483647;
    }
    // Before the file is asked for: a wrong range is corrected first.
    CheckRange(from, to);
    if (!ChoosePdfFile())
        return;
    TPrinterService& printer = Printer();
    const bool chosenFile = printer.PrintsToPdf() && !printer.OutputFileName().isEmpty() && fChoseFile;
    struct TForget {
        bool active;
        ~TForget()
        {
            // The next print asks for its file again.
            if (active)
                Printer().SetOutputFileName(QString());
        }
    } forget { chosenFile };
    DoTheJob(from, to);
    if (chosenFile)
        Dialogs().MessageDlg(
            S("The diary was printed into the file ") + QDir::toNativeSeparators(printer.OutputFileName()) + S("."),
            mtInformation, mbOK);
    Close();
}

void TfrmPrintEngine::btnCancelClick(TObject*)
{
    Close();
}

bool TfrmPrintEngine::ChoosePdfFile()
{
    fChoseFile = false;
    TPrinterService& printer = Printer();
    if (!printer.PrintsToPdf() || !printer.OutputFileName().isEmpty())
        return true;
    QString diary
        = QFileInfo(QString(Session.DataFileName).replace(QLatin1Char('\\'), QLatin1Char('/'))).completeBaseName();
    if (diary.isEmpty())
        diary = S("Diary");
    TFileDialogRequest request;
    request.Title = S("Print to a PDF file");
    request.Filter = S("PDF files (*.pdf)|*.pdf");
    request.DefaultExt = S("pdf");
    request.FileName
        = diary + S(" ") + QDate(1899, 12, 30).addDays(qint64(CurrentDate)).toString(Qt::ISODate) + S(".pdf");
    request.InitialDir = DesktopDirectory();
    request.Options.Include(ofOverwritePrompt);
    if (!Dialogs().SaveFileDialog(request) || request.FileName.isEmpty())
        return false;
    printer.SetOutputFileName(request.FileName);
    fChoseFile = true;
    return true;
}

QString TfrmPrintEngine::Heading(TDateTime date, const QString& title)
{
    return FullYearDateToStr(date) + S(" - ") + title + S("\r\n");
}

void TfrmPrintEngine::DoTheJob(TDateTime aFrom, TDateTime aTo)
{
    const auto makeEdit = [this](const char* name) {
        auto edit = std::make_unique<TRichEdit>(nullptr);
        edit->SetName(S(name));
        edit->SetVisible(false);
        edit->SetParent(this);
        edit->SetFont(*View.EntryBody().Font());
        edit->SetMaxLength(kMaxRichLength);
        return edit;
    };
    std::unique_ptr<TRichEdit> day = makeEdit("reDay");
    std::unique_ptr<TRichEdit> document = makeEdit("reDocument");

    if (aFrom == CurrentDate && aTo == CurrentDate) {
        LoadDay(*day, CurrentDate, nullptr);
        PrintRichEdit(QString(), *day);
        return;
    }

    CheckRange(aFrom, aTo);
    const bool split = cbSplitPages->Checked();
    if (!split) {
        document->Clear();
        PrintDays(aFrom, aTo, *day, document.get());
        PrintRichEdit(QString(), *document);
        return;
    }
    // One job per day; into a PDF file they go one after another.
    TPrinterService& printer = Printer();
    printer.BeginBatch();
    try {
        PrintDays(aFrom, aTo, *day, nullptr);
    } catch (...) {
        try {
            printer.EndBatch();
        } catch (...) {
            // The failure of the print is the one told; ending the batch
            // after it may fail for the same reason.
        }
        throw;
    }
    printer.EndBatch();
}

void TfrmPrintEngine::LoadDay(TRichEdit& day, TDateTime date, const TDiaryEntry* entry)
{
    day.Clear();
    if (entry) {
        RtfToRichLines(entry->Body(), day.Lines());
        day.Lines()->Insert(0, Heading(date, entry->Title()));
    } else {
        day.SetSelDocument(*View.EntryBody().Document());
        day.Lines()->Insert(0, Heading(date, View.EntryTitle().Text()));
    }
}

void TfrmPrintEngine::PrintDays(TDateTime aFrom, TDateTime aTo, TRichEdit& day, TRichEdit* document)
{
    const auto included
        = [aFrom, aTo](TDateTime date) { return (aFrom <= 0 || date >= aFrom) && (aTo <= 0 || date <= aTo); };
    // The selected day prints as the editor holds it, stored or not, as the
    // current page does; a day the editor holds blank keeps its stored text.
    const TDateTime selected = std::floor(CurrentDate);
    const bool editorWritten = View.EditorHoldsWrittenDay() && included(selected);
    std::vector<std::pair<TDateTime, const TDiaryEntry*>> days; // a null entry: the editor
    for (const TWrittenDay& written : DiaryDB().Diary()->WrittenDays()) {
        if (!written.Entry || !included(written.Date))
            continue;
        const bool isSelected = std::floor(written.Date) == selected && editorWritten;
        days.emplace_back(written.Date, isSelected ? nullptr : written.Entry);
    }
    if (editorWritten && std::none_of(days.begin(), days.end(), [](const auto& d) { return !d.second; })) {
        const auto at
            = std::find_if(days.begin(), days.end(), [selected](const auto& d) { return d.first > selected; });
        days.emplace(at, selected, nullptr);
    }

    for (const auto& [date, entry] : days) {
        LoadDay(day, date, entry);
        if (!document) {
            PrintRichEdit(QString(), day);
            continue;
        }
        day.Lines()->Add(S("\r\n\r\n"));
        document->SetSelDocument(*day.Document());
        document->SetSelLength(0);
    }
}
