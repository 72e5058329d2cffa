#pragma once

// The birthday keeper: a large month calendar whose cells list the day's
// birthdays and anniversaries, a paragraph under it naming everybody of the
// month, menus to add, change and delete a day's entries, and tools to back
// the whole list up to a file, restore it and clear it. It works on the
// program's birthday list and writes it to the birthday file on closing when
// it changed.

#include "controls/month_calendar_ex.h"
#include "platform/core/datetime.h"
#include "platform/gui/forms.h"

#include <QList>
#include <QString>

class TCPHatchPanel;
class TEntry;
class TLabel;
class TLbSpeedButton;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TPopupMenu;
class TQzHtmlLabel2;
class TSaveDialog;
class TShadowLabel;

// After a save of the birthday list: tells the user where a file that had
// failed to load was moved instead of being written over.
void ReportMovedBirthdayFile();

class TfrmBDMain : public TForm {
public:
    explicit TfrmBDMain(TComponent* AOwner);
    ~TfrmBDMain() override;

    QString ClassName() const override { return QStringLiteral("TfrmBDMain"); }
    // WM_COPYDATA with the tag 1 (another process asks for the keeper)
    // brings the program to the front; other tags are ignored.
    void WndProc(TMessage& Message) override;

    static constexpr int DesignClientWidth = 789;
    static constexpr int DesignClientHeight = 525;

    // Runs the keeper modally on the birthday file aFileName, showing the
    // month of aDateToGo when it is above 0. An empty caption keeps the
    // keeper's title, a colour of 0 the window's colour.
    static void Execute(TComponent* aOwner, const QString& aFileName, TDateTime aDateToGo, const QString& aCaption,
        TColor aBackgroundColor);

    TCPHatchPanel* cphpMain = nullptr;
    TLbSpeedButton* btnPrevMonth2 = nullptr;
    TLbSpeedButton* btnNextMonth2 = nullptr;
    TLbSpeedButton* btnToday = nullptr;
    TLbSpeedButton* btnTools = nullptr;
    TLbSpeedButton* btnAbout = nullptr;
    TLbSpeedButton* btnExit = nullptr;
    TShadowLabel* lblMonth = nullptr;
    TCPCalendarEx* CPCalendar = nullptr;
    TCPHatchPanel* cphpInfo = nullptr;
    TLabel* lblStatusTotalEntries = nullptr;
    TQzHtmlLabel2* QzHtmlLabel = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* pnlDetails = nullptr;
    TPopupMenu* pmCalendar = nullptr;
    TMenuItem* pmoAddEntry = nullptr;
    TMenuItem* pmoEditEntry = nullptr;
    TMenuItem* pmoDeleteEntry = nullptr;
    TPopupMenu* pmTools = nullptr;
    TMenuItem* pmoBackup = nullptr;
    TMenuItem* pmoRestore = nullptr;
    TMenuItem* pmoClear = nullptr;
    TSaveDialog* saveDlg = nullptr;
    TOpenDialog* openDlg = nullptr;

    bool bTriedToLoadData = false;
    // The birthday file; empty keeps the list in the registry instead.
    QString sDataFileName;
    bool bStandAlone = true;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, quint16& Key, TShiftState Shift);
    void LoadBirthdayData();
    void SaveBirthdayData();
    void ShowMonthCaption();
    void RefreshBirthdayDisplay();
    void ShowEntryDay(const TEntry* entry);

    void CPCalendarChange(TObject* Sender);
    void CPCalendarDrawCalendarCell(TObject* Sender, TCanvas* ACanvas, int ACol, int ARow, const QRect& Rect,
        TGridDrawState State, const QString& Text, TDayState DayState);
    void CPCalendarContextPopup(TObject* Sender, QPoint MousePos, bool& Handled);
    void CPCalendarDblClick(TObject* Sender);
    void pmCalendarPopup(TObject* Sender);
    void pmoAddEntryClick(TObject* Sender);
    void pmEditEntriesByTagClick(TObject* Sender);
    void pmDeleteEntriesByTagClick(TObject* Sender);
    void QzHtmlLabelLinkClicked(TObject* Sender, const QString& href, bool& Handled);
    void btnPrevMonthClick(TObject* Sender);
    void btnNextMonthClick(TObject* Sender);
    void btnToDayClick(TObject* Sender);
    void btnExitClick(TObject* Sender);
    void pmToolsPopup(TObject* Sender);
    void pmoBackupClick(TObject* Sender);
    void pmoRestoreClick(TObject* Sender);
    void pmoClearClick(TObject* Sender);

    // The names of a day drawn into its cell (c = CellBorder), clipped below
    // the day number; three dots mark names that did not fit.
    void DrawEntryNames(TCanvas* ACanvas, const QRect& Rect, const QList<TEntry*>& Entries, TGridDrawState State);

private:
    void BuildControls();
    // The month's arrows, the commands and the month between them.
    void BuildTopRow();
    void BuildCalendar();
    // The month summary under the calendar and the count of entries.
    void BuildInfoStrip();
    // The note on the right click, on its shadow.
    void BuildDetailsNote();
    void BuildMenus();
    void StepMonth(int step);
};
