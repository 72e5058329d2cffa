#pragma once

// The print dialog: the day shown in the main window with the editor's text
// as it stands, the written days of a date range, or every written day,
// each day as a job of its own or all of them as one document. Every day
// starts with a heading of its date and title.

#include "platform/core/sysinfo.h"
#include "platform/gui/forms.h"

class TCheckBox;
class TDiarySession;
class TDateEdit;
class TDiaryEntry;
class IDiaryView;
class TGroupBox;
class TLabel;
class TLbButton;
class TRadioButton;
class TRichEdit;

class TfrmPrintEngine : public TForm {
public:
    // session and view (the window showing the diary) must outlive the dialog.
    TfrmPrintEngine(TComponent* AOwner, TDiarySession& session, IDiaryView& view);
    ~TfrmPrintEngine() override;

    QString ClassName() const override { return QStringLiteral("TfrmPrintEngine"); }

    static constexpr int DesignClientWidth = 342;
    static constexpr int DesignClientHeight = 169;

    // Shows the dialog modally for the day aDate and frees it afterwards.
    static void Execute(TComponent* aOwner, TDiarySession& session, IDiaryView& view, TDateTime aDate);

    TDateTime CurrentDate = 0;

    TGroupBox* gbPrint = nullptr;
    TRadioButton* rbCurrent = nullptr;
    TRadioButton* rbRange = nullptr;
    TRadioButton* rbAll = nullptr;
    TDateEdit* deFrom = nullptr;
    TLabel* lblTo = nullptr;
    TDateEdit* deTo = nullptr;
    TCheckBox* cbSplitPages = nullptr;
    TLbButton* btnPrint = nullptr;
    TLbButton* btnCancel = nullptr;

    // Prints the written days from aFrom to aTo; a bound of 0 or less is
    // open. The current day alone prints the main window's editor as it
    // stands. Raises "Invalid dates specified" for a reversed range.
    void DoTheJob(TDateTime aFrom, TDateTime aTo);

    void rbCurrentClick(TObject* Sender);
    void rbRangeClick(TObject* Sender);
    void rbAllClick(TObject* Sender);
    // Prints the chosen days and closes; an error keeps the dialog open.
    void btnPrintClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);

    // The heading line of a printed day, followed by CR LF.
    static QString Heading(TDateTime date, const QString& title);

private:
    void BuildControls();
    void SetChoice(bool range, bool split);
    // Without a system printer the print goes to a PDF file the user names;
    // false when the user cancels.
    bool ChoosePdfFile();
    // Each written day within the bounds, in date order, printed as a job
    // of its own, or (with a document) appended to the document.
    void PrintDays(TDateTime aFrom, TDateTime aTo, TRichEdit& day, TRichEdit* document);
    // day holds date's heading and body: the entry's, or without an entry
    // what the main window's editor holds.
    void LoadDay(TRichEdit& day, TDateTime date, const TDiaryEntry* entry);

    TDiarySession& Session;
    IDiaryView& View;
    bool fChoseFile = false;
};
