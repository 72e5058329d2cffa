#include "birthdays/ui/birthday_keeper.h"
#include "platform/core/sysutils.h"

#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "birthdays/ui/bd_entry.h"
#include "birthdays/ui/birthday_popup.h"
#include "controls/form_building.h"
#include "controls/hatch_panel.h"
#include "controls/month_calendar_ex.h"
#include "controls/shadow_label.h"
#include "controls/styled_speed_button.h"
#include "minihtml/html_label.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kNoEntries = S("<font color=\"#800000\"><b>There are no entries for this month</b></font>");
constexpr TColor kButtonColor = 0x9DCEE8;
constexpr int kButtonTop = 9;
constexpr int kButtonHeight = 22;
// The names start below the day number, under a line at this offset.
constexpr int kNameLine = 18;

TLbSpeedButton* MakeSpeedButton(TfrmBDMain* owner, TWinControl* parent, const char* name, int left, int width,
    const char* caption, const char* hint)
{
    auto* button = MakeControl<TLbSpeedButton>(owner, parent, name, QRect(left, kButtonTop, width, kButtonHeight));
    button->SetStyle(bsModern);
    button->SetColor(kButtonColor);
    button->SetCaption(S(caption));
    button->SetHint(S(hint));
    button->SetShowHint(true);
    return button;
}

void SetGlyphFrom(TLbSpeedButton* button, const char* picture)
{
    try {
        TBitmap bitmap;
        bitmap.SetImage(FindResourceBitmap(S(picture)));
        button->SetGlyph(&bitmap);
    } catch (const EResNotFound&) {
        // Without the picture the arrow button stays blank but works.
    }
}

} // namespace

TfrmBDMain::TfrmBDMain(TComponent* AOwner)
    : TForm(AOwner)
{
    SetName(S("frmBDMain"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetColor(clSilver);
    SetPosition(poDesktopCenter);
    SetKeyPreview(true);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetFontOf(this, 12, clWindowText);
    BuildControls();
    BuildMenus();

    bStandAlone = true;
    sDataFileName.clear();
    SetCaption(S(" BirthDay Keeper"));
    saveDlg->SetFileName(S("entries.bbk"));
    openDlg->SetFileName(saveDlg->FileName());
    SetActiveControl(CPCalendar);
    bTriedToLoadData = false;

    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, quint16& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    // Escape closes the window as its close button does; an open menu takes it first.
    OnKeyPress = [this](TObject*, QChar& k) {
        if (k == QChar(27)) {
            k = QChar();
            Close();
        }
    };
    ListenForCopyData();
}

TfrmBDMain::~TfrmBDMain()
{
    // The list outlives the window: never leave it calling into a freed one.
    BirthdayComponent().Entries()->OnModification = {};
}

void TfrmBDMain::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const TCopyDataStruct*>(Message.LParam);
        if (data && data->dwData == 1) {
            Application()->BringToFront();
            Message.Result = 1;
        }
        return;
    }
    TForm::WndProc(Message);
}

void TfrmBDMain::BuildControls()
{
    cphpMain = MakeControl<TCPHatchPanel>(this, this, "cphpMain", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    cphpMain->SetAlign(alClient);
    cphpMain->SetColor(0x600000);

    BuildTopRow();
    BuildCalendar();
    BuildInfoStrip();
    BuildDetailsNote();
}

void TfrmBDMain::BuildMenus()
{
    pmCalendar = new TPopupMenu(this);
    pmCalendar->SetName(S("pmCalendar"));
    pmCalendar->OnPopup = [this](TObject* s) { pmCalendarPopup(s); };
    pmoAddEntry = AddMenuItem(this, pmCalendar->Items(), "pmoAddEntry", "Add Entry");
    pmoAddEntry->OnClick = [this](TObject* s) { pmoAddEntryClick(s); };
    pmoEditEntry = AddMenuItem(this, pmCalendar->Items(), "pmoEditEntry", "Modify Entry of");
    pmoDeleteEntry = AddMenuItem(this, pmCalendar->Items(), "pmoDeleteEntry", "Delete entry of");
    // BuildEntrySubItems: four hidden places for the day's entries.
    for (int i = 0; i < MaxBirthdayEntriesPerDay; ++i) {
        for (TMenuItem* head : { pmoEditEntry, pmoDeleteEntry }) {
            auto* item = new TMenuItem(this);
            item->SetVisible(false);
            item->SetTag(0);
            if (head == pmoEditEntry)
                item->OnClick = [this](TObject* s) { pmEditEntriesByTagClick(s); };
            else
                item->OnClick = [this](TObject* s) { pmDeleteEntriesByTagClick(s); };
            head->Add(item);
        }
    }
    CPCalendar->SetPopupMenu(pmCalendar);

    pmTools = new TPopupMenu(this);
    pmTools->SetName(S("pmTools"));
    pmTools->OnPopup = [this](TObject* s) { pmToolsPopup(s); };
    pmoBackup = AddMenuItem(this, pmTools->Items(), "pmoBackup", "Backup all Entries to File");
    pmoBackup->OnClick = [this](TObject* s) { pmoBackupClick(s); };
    pmoRestore = AddMenuItem(this, pmTools->Items(), "pmoRestore", "Restore all Entries from file");
    pmoRestore->OnClick = [this](TObject* s) { pmoRestoreClick(s); };
    AddMenuItem(this, pmTools->Items(), "N1", "-");
    pmoClear = AddMenuItem(this, pmTools->Items(), "pmoClear", "Clear all Entries");
    pmoClear->OnClick = [this](TObject* s) { pmoClearClick(s); };
    btnTools->SetPopupMenu(pmTools);

    saveDlg = new TSaveDialog(this);
    saveDlg->SetName(S("saveDlg"));
    saveDlg->SetDefaultExt(S("bbk"));
    saveDlg->SetFilter(S("Diary Backup Files|*.bbk"));
    saveDlg->SetTitle(S("Backup to a birthday file..."));
    saveDlg->SetOptions(saveDlg->Options().Include(ofOverwritePrompt));
    openDlg = new TOpenDialog(this);
    openDlg->SetName(S("openDlg"));
    openDlg->SetDefaultExt(S("bbk"));
    openDlg->SetFilter(S("Diary Backup Files|*.bbk"));
    openDlg->SetTitle(S("Open a birthday backup file..."));
}

void ReportMovedBirthdayFile()
{
    const QString aside = BirthdayComponent().TakeMovedAside();
    if (!aside.isEmpty())
        MessageDlg(QStringLiteral("The birthday file that could not be loaded was not written over.\r\n"
                                  "It was kept as \"%1\".")
                       .arg(QDir::toNativeSeparators(aside)),
            mtInformation, mbOK);
}

void TfrmBDMain::Execute(
    TComponent* aOwner, const QString& aFileName, TDateTime aDateToGo, const QString& aCaption, TColor aBackgroundColor)
{
    auto* form = new TfrmBDMain(aOwner);
    struct TCleanUp {
        TfrmBDMain* form;
        ~TCleanUp()
        {
            BirthdayComponent().Entries()->OnModification = {};
            delete form;
        }
    } cleanUp { form };
    if (!aCaption.isEmpty())
        form->SetCaption(aCaption);
    if (aBackgroundColor != 0)
        form->SetColor(aBackgroundColor);
    form->sDataFileName = aFileName;
    form->LoadBirthdayData();
    form->bStandAlone = false;
    form->SetBorderIcons(form->BorderIcons() & ~biMinimize);
    form->btnToday->SetLeft(form->btnTools->Left());
    form->btnTools->SetLeft(form->btnAbout->Left());
    form->btnAbout->SetVisible(false);
    if (aDateToGo > 0)
        form->CPCalendar->SetCalendarDate(aDateToGo);
    form->ShowModal();
}

// --- loading and saving ---

void TfrmBDMain::FormActivate(TObject*)
{
    BirthdayComponent().Entries()->OnModification = [this](TObject*) { RefreshBirthdayDisplay(); };
    LoadBirthdayData();
    ShowMonthCaption();
    RefreshBirthdayDisplay();
}

void TfrmBDMain::LoadBirthdayData()
{
    if (bTriedToLoadData)
        return;
    bTriedToLoadData = true;
    try {
        if (sDataFileName.isEmpty())
            BirthdayComponent().LoadFromRegistry(QString());
        else if (QFileInfo::exists(sDataFileName))
            BirthdayComponent().LoadFromFile(sDataFileName);
    } catch (const EFLoadError&) {
        // A failed load says nothing: the host loaded the same file before
        // and reported it, and a registry without an image holds no list
        // yet. The list in memory stays, and a file that failed is moved
        // aside before anything is written over it.
    }
}

void TfrmBDMain::SaveBirthdayData()
{
    TEntries* entries = BirthdayComponent().Entries();
    if (!entries->Modified())
        return;
    if (sDataFileName.isEmpty())
        BirthdayComponent().SaveToRegistry(QString());
    else
        BirthdayComponent().SaveToFile(sDataFileName);
    entries->SetModified(false);
    ReportMovedBirthdayFile();
}

void TfrmBDMain::FormClose(TObject*, TCloseAction&)
{
    SaveBirthdayData();
}

void TfrmBDMain::btnExitClick(TObject*)
{
    SaveBirthdayData();
    Close();
}

// --- what is shown ---

void TfrmBDMain::ShowMonthCaption()
{
    lblMonth->SetCaption(QStringLiteral("%1 %2").arg(CPCalendar->MonthName()).arg(CPCalendar->Year()));
}

void TfrmBDMain::BuildCalendar()
{
    CPCalendar = MakeControl<TCPCalendarEx>(this, cphpMain, "CPCalendar", QRect(4, 39, 778, 410));
    CPCalendar->SetColor(0xECECEC);
    CPCalendar->SetFixedColor(0xFEE4DA);
    SetFontOf(CPCalendar, 11, clWindowText, true);
    CPCalendar->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected);
    CPCalendar->SetLayout(tlTop);
    CPCalendar->SetColorEmpty(clWhite);
    CPCalendar->SetCellBorder(2);
    CPCalendar->SetDayFormat(dfLong);
    CPCalendar->SetDefaultHeaderHeight(18);
    CPCalendar->SetWordWrap(false);
    CPCalendar->SetStartOfWeek(0);
    CPCalendar->SetActiveColor(clBlue);
    CPCalendar->SetActiveBGColor(0x80FFFF);
    CPCalendar->SetSpecialColor(0x0000AA);
    CPCalendar->SetSpecialBGColor(0xECECEC);
    CPCalendar->SetHint(
        S("Press the right mouse button \r\nto add / edit your entries or \r\ndoubleclick for details on "
          "a\r\nspecific day."));
    CPCalendar->SetShowHint(false);
    CPCalendar->OnChange = [this](TObject* s) { CPCalendarChange(s); };
    CPCalendar->OnDrawCalendarCell
        = [this](TObject* s, TCanvas* c, int col, int row, const QRect& r, TGridDrawState st, const QString& t,
              TDayState ds) { CPCalendarDrawCalendarCell(s, c, col, row, r, st, t, ds); };
    CPCalendar->OnContextPopup = [this](TObject* s, QPoint p, bool& h) { CPCalendarContextPopup(s, p, h); };
    CPCalendar->OnDblClick = [this](TObject* s) { CPCalendarDblClick(s); };
}

void TfrmBDMain::CPCalendarChange(TObject*)
{
    ShowMonthCaption();
}

void TfrmBDMain::RefreshBirthdayDisplay()
{
    TEntries* entries = BirthdayComponent().Entries();
    if (entries->Count() == 0) {
        lblStatusTotalEntries->SetCaption(QString());
        QzHtmlLabel->SetHtml(kNoEntries);
        CPCalendar->SetSpecialDays(QString());
        return;
    }
    const QList<TEntry*> month = entries->GetEntriesOfMonth(CPCalendar->Month());
    QzHtmlLabel->SetHtml(BuildMonthSummaryHtml(month));
    lblStatusTotalEntries->SetCaption(QStringLiteral("%1/%2").arg(month.size()).arg(entries->Count()));
    QString days;
    for (const TEntry* e : month)
        days += QString::number(e->Day()) + QLatin1Char(',');
    CPCalendar->SetSpecialDays(days);
}

void TfrmBDMain::CPCalendarDrawCalendarCell(
    TObject*, TCanvas* ACanvas, int ACol, int ARow, const QRect& Rect, TGridDrawState State, const QString&, TDayState)
{
    const TDateTime date = CPCalendar->GetCellDate(ACol, ARow);
    if (date <= 0)
        return;
    const int l = Rect.left(), t = Rect.top(), r = Rect.left() + Rect.width(), b = Rect.top() + Rect.height();
    ACanvas->Pen()->SetColor(0xC0C0C0);
    ACanvas->MoveTo(l, t + kNameLine);
    ACanvas->LineTo(r, t + kNameLine);
    // Past days carry a stroke.
    if (Date() > date) {
        ACanvas->Pen()->SetColor(0xB0B0B0);
        ACanvas->MoveTo(r - 45, t + 5);
        ACanvas->LineTo(r - 65, t + 13);
        ACanvas->Pen()->SetColor(clBlack);
    }
    const TColor brush = ACanvas->Brush()->Color();
    ACanvas->Brush()->SetColor(0xF0F8F8);
    ACanvas->FillRect(QRect(QPoint(l, t + kNameLine + 1), QPoint(r - 1, b - 1)));
    ACanvas->Brush()->SetColor(brush);
    const QList<TEntry*> entries = BirthdayComponent().Entries()->GetEntriesOfDay(date);
    if (entries.isEmpty())
        return;
    ACanvas->Font()->SetStyle(TFontStyles());
    DrawEntryNames(ACanvas, Rect, entries, State);
    ACanvas->Font()->SetStyle(TFontStyles(fsBold));
}

void TfrmBDMain::DrawEntryNames(
    TCanvas* ACanvas, const QRect& Rect, const QList<TEntry*>& Entries, TGridDrawState State)
{
    const int c = CPCalendar->CellBorder();
    const int l = Rect.left(), t = Rect.top(), r = Rect.left() + Rect.width(), b = Rect.top() + Rect.height();
    QRect clip(QPoint(l + c - 2, t + c + 17), QPoint(r - c - 2 - 1, b - c - 1));
    const int left = l + 2 * c - 2;
    const int x = left + 1;
    int y = t + c + 17;
    const TColor oldFont = ACanvas->Font()->Color();
    const TColor oldBrush = ACanvas->Brush()->Color();
    const int oldSize = ACanvas->Font()->Size();
    ACanvas->Font()->SetStyle(TFontStyles());
    const TColor color = (State & (gdSelected | gdFocused)) ? TColor(0x0000FF) : TColor(0x800000);
    ACanvas->Font()->SetColor(color);
    ACanvas->Brush()->SetStyle(bsClear);
    for (int i = 0; i < Entries.size(); ++i) {
        // Drawn as typed: no "&" makes an accelerator here.
        ACanvas->TextRect(clip, x, y, Entries.at(i)->FullName());
        const int h = ACanvas->TextHeight(Entries.at(i)->FullName());
        clip.setTop(clip.top() + h);
        y += h;
        if (clip.bottom() + 1 < clip.top() + h - 2 && i < Entries.size() - 1) {
            for (const int dy : { y - 1, y })
                for (const int dx : { left + 2, left + 5, left + 8 })
                    ACanvas->SetPixels(dx, dy, color);
            break;
        }
    }
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Font()->SetColor(oldFont);
    ACanvas->Brush()->SetColor(oldBrush);
    ACanvas->Font()->SetSize(oldSize);
}

// --- the day's menu ---

void TfrmBDMain::CPCalendarContextPopup(TObject*, QPoint MousePos, bool& Handled)
{
    int col = CPCalendar->Col(), row = CPCalendar->Row();
    if (MousePos.x() >= 0 && MousePos.y() > 0)
        CPCalendar->MouseToCell(MousePos.x(), MousePos.y(), col, row);
    if (row < 1 || col < 0 || CPCalendar->GetCellText(col, row).isEmpty())
        Handled = true;
}

void TfrmBDMain::pmCalendarPopup(TObject*)
{
    const QList<TEntry*> entries = BirthdayComponent().Entries()->GetEntriesOfDay(CPCalendar->CalendarDate());
    const int n = int(entries.size());
    pmoAddEntry->SetEnabled(n < MaxBirthdayEntriesPerDay);
    if (n == 0) {
        pmoAddEntry->SetCaption(S("Add Entry"));
        pmoEditEntry->SetEnabled(false);
        pmoDeleteEntry->SetEnabled(false);
        return;
    }
    pmoAddEntry->SetCaption(S("Add More Entries"));
    for (TMenuItem* head : { pmoEditEntry, pmoDeleteEntry }) {
        head->SetEnabled(true);
        for (int i = 0; i < head->Count(); ++i)
            head->Items(i)->SetVisible(false);
        for (int i = 0; i < std::min(n, MaxBirthdayEntriesPerDay); ++i) {
            TMenuItem* item = head->Items(i);
            item->SetVisible(true);
            item->SetTag(i);
            item->SetCaption(EscapeAccelChars(entries.at(i)->FullName()));
        }
    }
}

void TfrmBDMain::pmoAddEntryClick(TObject*)
{
    // The menu item is disabled on a full day; a key or a stale menu must
    // not slip a fifth entry in either.
    TEntries* entries = BirthdayComponent().Entries();
    if (entries->GetEntriesOfDay(CPCalendar->CalendarDate()).size() >= MaxBirthdayEntriesPerDay)
        return;
    TEntry entry;
    if (!TFrmBDEntry::InsertEntry(this, &entry, CPCalendar->CalendarDate()))
        return;
    TEntry* added = entries->Add();
    added->SetFullName(entry.FullName());
    added->SetBirthDate(entry.BirthDate());
    added->SetNotes(entry.Notes());
    added->SetEntryType(entry.EntryType());
    ShowEntryDay(added);
    RefreshBirthdayDisplay();
}

void TfrmBDMain::pmEditEntriesByTagClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    TEntry* entry = BirthdayComponent().Entries()->GetEntryOfDay(int(item->Tag()), CPCalendar->CalendarDate());
    if (entry && TFrmBDEntry::EditEntry(this, entry)) {
        entry->SetModified(true);
        ShowEntryDay(entry);
        RefreshBirthdayDisplay();
    }
}

void TfrmBDMain::pmDeleteEntriesByTagClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    // The name as the menu showed it, not its caption's doubled "&".
    const QString text = S("Delete entry \"") + StripAccelChars(item->Caption()) + S("\"?");
    if (MessageDlg(text, mtWarning, mbOKCancel) != mrOk)
        return;
    TEntries* entries = BirthdayComponent().Entries();
    if (TEntry* entry = entries->GetEntryOfDay(int(item->Tag()), CPCalendar->CalendarDate()))
        entries->Delete(entry->Index());
    CPCalendar->Invalidate();
    RefreshBirthdayDisplay();
}

void TfrmBDMain::CPCalendarDblClick(TObject*)
{
    if (CPCalendar->CalendarDate() <= 0)
        return;
    const QList<TEntry*> entries = BirthdayComponent().Entries()->GetEntriesOfDay(CPCalendar->CalendarDate());
    if (entries.size() == 1) {
        if (TFrmBDEntry::EditEntry(this, entries.first())) {
            ShowEntryDay(entries.first());
            RefreshBirthdayDisplay();
        }
        return;
    }
    const QPoint at = MouseCursorPos();
    pmCalendar->Popup(at.x(), at.y());
}

void TfrmBDMain::ShowEntryDay(const TEntry* entry)
{
    // A day the shown month lacks (29 February in a common year) shows the 1st.
    const auto setDay = [this](int day) { CPCalendar->SetDay(day <= CPCalendar->ShownMonthLength() ? day : 1); };
    if (CPCalendar->Month() == entry->Month() && CPCalendar->Day() == entry->Day())
        return;
    if (CPCalendar->Month() != entry->Month()) {
        CPCalendar->SetDay(1);
        CPCalendar->SetMonth(entry->Month());
    }
    setDay(entry->Day());
    CPCalendar->Invalidate();
}

void TfrmBDMain::BuildInfoStrip()
{
    cphpInfo = MakeControl<TCPHatchPanel>(this, cphpMain, "cphpInfo", QRect(4, 455, 778, 64));
    cphpInfo->SetColor(0xEAFEFF);
    cphpInfo->SetBorders(bmFlat);
    cphpInfo->SetBorderWidth(2);
    lblStatusTotalEntries = MakeControl<TLabel>(this, cphpInfo, "lblStatusTotalEntries", QRect(700, 4, 70, 16));
    lblStatusTotalEntries->SetAlign(alRight);
    lblStatusTotalEntries->SetAlignment(taRightJustify);
    SetFontOf(lblStatusTotalEntries, 12, clWindowText, true);
    lblStatusTotalEntries->SetCaption(S("0/0"));
    lblStatusTotalEntries->SetVisible(false);
    QzHtmlLabel = MakeControl<TQzHtmlLabel2>(this, cphpInfo, "QzHtmlLabel", QRect(2, 2, 774, 60));
    SetFontOf(QzHtmlLabel, 12, clWindowText);
    QzHtmlLabel->SetAutoHeight(false);
    QzHtmlLabel->SetAlign(alClient);
    QzHtmlLabel->SetOnLinkClicked(
        [this](TObject* s, const QString& href, bool& h) { QzHtmlLabelLinkClicked(s, href, h); });
}

void TfrmBDMain::BuildDetailsNote()
{
    Panel1 = MakeControl<TPanel>(this, cphpMain, "Panel1", QRect(572, 396, 203, 43));
    Panel1->SetColor(clGray);
    Panel1->SetBevelOuter(bvNone);
    pnlDetails = MakeControl<TPanel>(this, cphpMain, "pnlDetails", QRect(568, 392, 203, 43));
    pnlDetails->SetColor(0x80FFFF);
    pnlDetails->SetBevelOuter(bvNone);
    auto* details = MakeControl<TLabel>(this, pnlDetails, "lblDetails", QRect(2, 1, 199, 41));
    details->SetAutoSize(false);
    details->SetWordWrap(true);
    details->SetLayout(tlCenter);
    details->SetAlignment(taCenter);
    SetFontOf(details, 11, clWindowText, true);
    details->SetCaption(S("Right-click on any valid date inside the calendar to add/edit entries"));
}

void TfrmBDMain::QzHtmlLabelLinkClicked(TObject*, const QString& href, bool& Handled)
{
    bool ok = false;
    const int day = href.toInt(&ok);
    if (ok)
        CPCalendar->SetDay(day);
    Handled = true;
}

// --- stepping ---

void TfrmBDMain::BuildTopRow()
{
    btnPrevMonth2
        = MakeSpeedButton(this, cphpMain, "btnPrevMonth2", 265, 23, "", "   Previous Month \r\n(shortcut: page up)");
    SetGlyphFrom(btnPrevMonth2, "NAVPREVMONTH");
    btnNextMonth2
        = MakeSpeedButton(this, cphpMain, "btnNextMonth2", 494, 23, "", "     Next Month \r\n(shortcut: page down)");
    SetGlyphFrom(btnNextMonth2, "NAVNEXTMONTH");
    btnToday = MakeSpeedButton(this, cphpMain, "btnToday", 529, 58, "Today", "Go to todays' date\r\n Shortcut: Home");
    btnTools = MakeSpeedButton(this, cphpMain, "btnTools", 593, 58, "Tools ", "More tools and options");
    btnAbout = MakeSpeedButton(this, cphpMain, "btnAbout", 657, 58, "About", "");
    btnExit = MakeSpeedButton(this, cphpMain, "btnExit", 721, 58, "Close", "");
    btnPrevMonth2->OnClick = [this](TObject* s) { btnPrevMonthClick(s); };
    btnNextMonth2->OnClick = [this](TObject* s) { btnNextMonthClick(s); };
    btnToday->OnClick = [this](TObject* s) { btnToDayClick(s); };
    btnExit->OnClick = [this](TObject* s) { btnExitClick(s); };

    lblMonth = MakeControl<TShadowLabel>(this, cphpMain, "lblMonth", QRect(289, 9, 206, 25));
    lblMonth->SetAutoSize(false);
    lblMonth->SetAlignment(taCenter);
    SetFontOf(lblMonth, 21, 0x80FFFF, true);
    lblMonth->SetShadowColor(0x400040);
    lblMonth->SetShadowPos(spRightBottom);
    lblMonth->SetTransparent(true);
    lblMonth->OnDblClick = [this](TObject* s) { btnNextMonthClick(s); };
}

void TfrmBDMain::StepMonth(int step)
{
    CPCalendar->SetDay(1);
    const int month = CPCalendar->Month() + step;
    if (month < 1) {
        CPCalendar->SetMonth(12);
        CPCalendar->SetYear(CPCalendar->Year() - 1);
    } else if (month > 12) {
        CPCalendar->SetMonth(1);
        CPCalendar->SetYear(CPCalendar->Year() + 1);
    } else {
        CPCalendar->SetMonth(month);
    }
    ShowMonthCaption();
    RefreshBirthdayDisplay();
}

void TfrmBDMain::btnPrevMonthClick(TObject*)
{
    StepMonth(-1);
}

void TfrmBDMain::btnNextMonthClick(TObject*)
{
    StepMonth(1);
}

void TfrmBDMain::btnToDayClick(TObject*)
{
    CPCalendar->SetCalendarDate(Date());
    RefreshBirthdayDisplay();
    ShowMonthCaption();
}

void TfrmBDMain::FormKeyDown(TObject*, quint16& Key, TShiftState)
{
    switch (Key) {
    case VK_PRIOR: btnPrevMonth2->Click(); break;
    case VK_NEXT: btnNextMonth2->Click(); break;
    case VK_HOME:
        CPCalendar->SetCalendarDate(Date());
        ShowMonthCaption();
        RefreshBirthdayDisplay();
        break;
    default: return;
    }
    Key = 0;
}

// --- tools ---

void TfrmBDMain::pmToolsPopup(TObject*)
{
    const int n = BirthdayComponent().Entries()->Count();
    pmoClear->SetCaption(
        n != 0 ? QStringLiteral("Clear Entire Database (all %1 entries)").arg(n) : S("Clear Entire Database"));
    pmoClear->SetEnabled(n > 0);
    pmoBackup->SetEnabled(pmoClear->Enabled());
}

void TfrmBDMain::pmoBackupClick(TObject*)
{
    if (!saveDlg->Execute())
        return;
    TEntries* entries = BirthdayComponent().Entries();
    BirthdayComponent().SaveToFile(saveDlg->FileName());
    ReportMovedBirthdayFile();
    MessageDlg(QStringLiteral("Backup was successful, %1 entries were \r\nbacked up to file \"%2\"")
                   .arg(entries->Count())
                   .arg(QFileInfo(saveDlg->FileName()).fileName()),
        mtInformation, mbOK);
    // The birthday file is written again when the window closes.
    entries->SetModified(true);
}

void TfrmBDMain::pmoRestoreClick(TObject*)
{
    if (!openDlg->Execute())
        return;
    TEntries* entries = BirthdayComponent().Entries();
    if (entries->Count() > 0
        && MessageDlg(S("This will overwrite all your current entries. Are you sure?"), mtWarning, mbOKCancel) != mrOk)
        return;
    // A file that does not load leaves the list as it was (the loader keeps
    // it whole), so the keeper reports and carries on instead of ending the
    // program with the diary unsaved.
    try {
        BirthdayComponent().LoadFromFile(openDlg->FileName());
    } catch (const EFLoadError& e) {
        MessageDlg(
            S("The restore operation has failed. Your current entries\r\nwere kept as they were.\r\n\r\n") + e.Reason(),
            mtError, mbOK);
        return;
    }
    entries->SetModified(true);
    CPCalendar->Invalidate();
    RefreshBirthdayDisplay();
    if (entries->Count() > 0)
        MessageDlg(QStringLiteral("Restore was successful, %1 entries were restored").arg(entries->Count()),
            mtInformation, mbOK);
}

void TfrmBDMain::pmoClearClick(TObject*)
{
    TEntries* entries = BirthdayComponent().Entries();
    if (entries->Count() == 0)
        return;
    if (MessageDlg(S("This will clear all your current entries. Are you sure?"), mtWarning, mbOKCancel) != mrOk)
        return;
    if (MessageDlg(S("This operation is irreversible. Are you sure?"), mtWarning, mbOKCancel) != mrOk)
        return;
    entries->Clear();
    entries->SetModified(true);
    CPCalendar->Invalidate();
    RefreshBirthdayDisplay();
}
