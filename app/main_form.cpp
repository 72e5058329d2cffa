#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/about_form.h"
#include "app/helpers.h"
#include "app/info_form.h"
#include "app/main_layout_p.h"
#include "app/options_form.h"
#include "app/print_form.h"
#include "app/settings.h"
#include "app/sparkles.h"
#include "app/spell_check.h"
#include "birthdays/birthday.h"
#include "birthdays/ui/birthday_keeper.h"
#include "controls/dropdown_button.h"
#include "controls/form_building.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "resources/store_items.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace main_layout_p;

TfrmMain::TfrmMain(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildComponents();
    // A new window has no field of stars yet: the first tick once it shows places one.
    ForgetSparkles();

    Randomize();
    FirstTime = true;
    CurrentMode = mdInfo;
    SetMode(mdDiary);

    pmoShowScrollbar->SetChecked(Session().reger->Get(Settings::ShowScrollbars).toInt() == 1);
    MemoBody->SetScrollBars(pmoShowScrollbar->Checked() ? ssVertical : ssNone);

    SetCaption(ProgramTitle());

    imgUnlocked->SetLeft(imgLocked->Left());
    imgAnniv->SetLeft(imgLocked->Left() - imgAnniv->Width() - 2);
    imgAnniv->SetVisible(true);

    MemoNotes->SetBoundsRect(MemoBody->BoundsRect());
    MemoNotes->SetAnchors(MemoBody->Anchors());
    MemoNotes->SetVisible(false);
    tsDiary->Tabs()->Delete(1);

    // The information page covers the entry area and the calendar's right part.
    pnlInfo->SetBounds(dCalendar->Left() + 20, pnlDiaryEntryMain->Top(),
        pnlDiaryEntryMain->Width() + pnlDiaryEntryMain->Left() - dCalendar->Left() - 20, pnlDiaryEntryMain->Height());
    pnlInfo->SetVisible(false);
    pnlInfo->SetAnchors(akLeft | akTop | akRight | akBottom);

    PlaceWindow();
    ApplyCalendarOptions();
    imgTAB->OnMouseDown
        = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { imgTABMouseDown(s, b, sh, x, y); };
    pmEntry->OnPopup = [this](TObject* s) { pmEntryPopup(s); };
    pmoPaste->OnClick = [this](TObject* s) { pmoPasteClick(s); };
    pmoShowScrollbar->OnClick = [this](TObject* s) { pmoShowScrollbarClick(s); };
    MemoBody->OnURLClick = [this](TObject* s, const QString& url) { MemoBodyURLClick(s, url); };
    OnActivate = [this](TObject* sender) { FormActivate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    DoCreate();
}

TfrmMain::~TfrmMain()
{
    if (fHookedDayNames)
        Application()->UnhookMainWindow(this);
    DoDestroy();
    SparkleTimer->SetEnabled(false);
    Session().reger->SetV(Settings::CurrentSkin, Session().CurrentSkin);
    // The information window's panel goes back to it, so that each window
    // frees its own controls.
    if (frmInfo) {
        frmInfo->pnlInfoRel->SetParent(frmInfo);
        delete std::exchange(frmInfo, nullptr);
    }
    // The owned components go next; the session's settings are written then.
}

void TfrmMain::SaveAtEnd()
{
    // Closing saved (or the user chose to leave without).
    if (SavedForEnd)
        return;
    try {
        SaveInfoPage();
    } catch (...) {
        Application()->HandleException(this);
    }
    Session().SaveFiles([this] { Application()->HandleException(this); });
    SavedForEnd = true;
}

void TfrmMain::KeepForEnd()
{
    HandleEntry();
    // Every close keeps the information page's edits, not only Exit.
    SaveInfoPage();
    // A maximised window keeps the place it is restored to, and opens
    // maximised again.
    const QRect bounds = NormalBoundsRect();
    Session().reger->SetV(Settings::LastTop, bounds.top());
    Session().reger->SetV(Settings::LastLeft, bounds.left());
    Session().reger->SetV(Settings::LastWidth, bounds.width());
    Session().reger->SetV(Settings::LastHeight, bounds.height());
    Session().reger->SetV(Settings::LastMaximized, WindowState() == wsMaximized ? 1 : 0);
    Session().reger->SetV(Settings::CurrentSkin, Session().CurrentSkin);
}

void TfrmMain::SaveAtSessionEnd()
{
    if (!Visible())
        return; // the wizard's time or after closing: nothing to keep
    KeepForEnd();
    // Nobody is asked at the end of a session: the reasons go to the log.
    Session().SaveFiles([] { qWarning("%s", qUtf8Printable(CurrentExceptionMessage())); });
    const QString aside = BirthdayComponent().TakeMovedAside();
    if (!aside.isEmpty())
        qWarning("The unreadable birthday file was kept as %s", qUtf8Printable(aside));
    SavedForEnd = true;
}

void TfrmMain::WndProc(TMessage& Message)
{
    const unsigned command = unsigned(Message.WParam) & 0xFFF0;
    if (Message.Msg == WM_SYSCOMMAND && command == SC_CLOSE) {
        HandleEntry();
        if (Session().DiaryModified) {
            if (AppMessageBox(S("If you exit this way, your changes\r\nwill be lost. Exit & loose changes?"),
                    S(" Warning"), MB_ICONWARNING | MB_OKCANCEL | MB_DEFBUTTON2)
                != IDOK)
                return;
            Session().DiaryModified = false;
        }
    }
    TForm::WndProc(Message);
    // The skin is stretched anew whenever the client area changes size, by
    // the window menu or by the window's borders: the stars go with it.
    if ((Message.Msg == WM_SYSCOMMAND && (command == SC_MAXIMIZE || command == SC_RESTORE)) || Message.Msg == WM_SIZE)
        RestartSparkles();
}

void TfrmMain::BuildComponents()
{
    SetName(S("frmMain"));
    SetClientSize(DesignClientWidth, DesignClientHeight);
    Constraints().MinWidth = MinWidth;
    Constraints().MinHeight = MinHeight;
    SetColor(clBlack);
    SetFontOf(this, 12, clWhite);
    SetKeyPreview(true);
    SetPosition(poScreenCenter);

    fSession = new TDiarySession(this);

    SparkleTimer = new TTimer(this);
    SparkleTimer->SetName(S("SparkleTimer"));
    SparkleTimer->SetInterval(100);
    SparkleTimer->OnTimer = [this](TObject* s) { SparkleTimerTimer(s); };

    BuildControls();
}

void TfrmMain::PlaceWindow()
{
    const int T = Session().reger->Get(Settings::LastTop).toInt();
    const int L = Session().reger->Get(Settings::LastLeft).toInt();
    const int W = Session().reger->Get(Settings::LastWidth).toInt();
    const int H = Session().reger->Get(Settings::LastHeight).toInt();
    const QRect desktop = Screen()->DesktopRect();
    if (T >= 0 && L >= 0 && T <= desktop.bottom() && L <= desktop.right()) {
        SetPosition(poDesigned);
        SetBounds(L, T, qMax(W, MinWidth), qMax(H, MinHeight));
        // The screen may have shrunk or gone since: keep the title bar and
        // the Exit button within reach.
        MakeFullyVisible();
    } else {
        SetPosition(poScreenCenter);
    }
    if (Session().reger->Get(Settings::LastMaximized).toInt() == 1)
        SetWindowState(wsMaximized);
}

void TfrmMain::LoadSkin()
{
    DrawSkin(*Session().rStore, Session().CurrentSkin, *imgBack);
    // Stars are placed on one picture: a new one needs a new field.
    RestartSparkles();
}

void TfrmMain::LoadTab(const QString& name)
{
    const int index = Session().rStore->ItemIndex(name);
    if (index < 0)
        return;
    TBitmap bitmap;
    TMemoryStream stream;
    const QByteArray& bytes = Session().rStore->Items()->Items(index)->Bytes();
    stream.WriteBuffer(bytes.constData(), bytes.size());
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
    bitmap.SetTransparent(true);
    imgTAB->Picture()->SetBitmap(&bitmap);
}

void TfrmMain::SetMode(TDiaryMode mode)
{
    if (mode == CurrentMode)
        return;
    CurrentMode = mode;
    // The commands under the calendar lie where the information page
    // spreads: they go with the calendar rather than peek out beside the page.
    for (TControl* c :
        { btnPrevEntry2, BtnToDay2, btnNextEntry2, btnBrowse, BtnBirthdays, btnSkin, btnOptions, btnAbout })
        c->SetVisible(mode != mdInfo);
    if (mode == mdDiary) {
        LoadTab(S("Tab_State_1"));
        pnlInfo->SetVisible(false);
        pnlDiaryEntryMain->SetVisible(true);
        dCalendar->SetVisible(true);
        pnlCalendarNavigate->SetVisible(true);
        SaveInfoPage();
    } else if (mode == mdInfo) {
        LoadTab(S("Tab_State_2"));
        pnlDiaryEntryMain->SetVisible(false);
        dCalendar->SetVisible(false);
        pnlCalendarNavigate->SetVisible(false);
        if (!frmInfo) {
            frmInfo = new TfrmInfo(this);
            frmInfo->pnlInfoRel->SetParent(pnlInfo);
            frmInfo->pnlInfoRel->SetAlign(alClient);
        }
        pnlInfo->SetVisible(true);
    }
    // Another page covers other parts of the skin: stars placed for one
    // page could lie under a command the other shows.
    RestartSparkles();
}

void TfrmMain::SaveInfoPage()
{
    if (frmInfo && frmInfo->ContentModified())
        frmInfo->SaveControlValues();
}

void TfrmMain::DiaryReplaced()
{
    if (frmInfo)
        frmInfo->LoadControlValues();
}

void TfrmMain::BuildEntryArea()
{
    // The entry area; the page tab at its right switches between the diary
    // and the information page.
    pnlDiaryEntryMain
        = Make<TCPHatchPanel>(this, this, "pnlDiaryEntryMain", QRect(kEntryLeft, kEntryTop, kEntryWidth, kEntryHeight));
    pnlDiaryEntryMain->SetBevelOuter(bvNone);
    pnlDiaryEntryMain->SetTransparent(true);
    pnlDiaryEntryMain->SetAnchors(akLeft | akTop | akRight | akBottom);
    imgTAB = Make<TImage>(this, this, "imgTAB", QRect(kEntryLeft + kEntryWidth, kEntryTop, kTabWidth, 146));
    imgTAB->SetTransparent(true);
    imgTAB->SetAnchors(akTop | akRight);
}

void TfrmMain::BuildInfoPage()
{
    pnlInfo = Make<TPanel>(this, this, "pnlInfo", QRect(0, 0, 10, 10));
    pnlInfo->SetBevelOuter(bvNone);
    pnlInfo->SetColor(clBlack);
}

void TfrmMain::imgTABMouseDown(TObject*, TMouseButton, TShiftState, int, int Y)
{
    // The tab stands on end: "Diary" is drawn in its upper half, "Info" in
    // its lower one.
    const int half = imgTAB->Height() / 2;
    if (Y < half)
        SetMode(mdDiary);
    else if (Y < 2 * half)
        SetMode(mdInfo);
}

void TfrmMain::LoadFontSettings()
{
    TFont font;
    font.Assign(*edtTitle->Font());
    // The session's settings hold every font value, so nothing here fails
    // but a fault of the program, which the error box then names.
    LoadFontFromRegistry(*Session().reger, font);
    SetEntryFont(font);
}

void TfrmMain::SetEntryFont(const TFont& font)
{
    MemoBody->SetFont(font);
    edtTitle->SetFont(font);
    Session().CurrentFont->Assign(font);
    FitTitleToFont();
}

void TfrmMain::FormActivate(TObject*)
{
    SetActiveControl(nullptr);
    if (FirstTime) {
        LoadSkin();
        LoadFontSettings();
        Session().PrevDate = -1.0;
        Session().DiaryModified = false;
        Session().reger->SetV(Settings::LastDiaryName, QFileInfo(Session().DataFileName).fileName());
        FirstTime = false;
        edtTitle->SetModified(false);
        MemoBody->SetModified(false);
        MemoNotes->SetModified(false);
    }
    const bool locked = !Session().UserPassword.trimmed().isEmpty();
    imgLocked->SetVisible(locked);
    imgUnlocked->SetVisible(!locked);
    HandleEntry();
}

void TfrmMain::FormClose(TObject*, TCloseAction& Action)
{
    KeepForEnd();
    // Saved while the window still stands: when a file cannot be written
    // the user learns why and may keep the window to try again.
    QStringList failures;
    Session().SaveFiles([&failures] { failures << CurrentExceptionMessage(); });
    ReportMovedBirthdayFile();
    if (!failures.isEmpty()) {
        const QString what = Session().DiaryOpened && DiaryDB().Modified ? S("The diary")
            : BirthdayComponent().Entries()->Modified()                  ? S("The birthday file")
                                                                         : S("The settings");
        if (AppMessageBox(failures.join(S("\r\n\r\n")) + S("\r\n\r\n") + what
                    + S(" could not be saved. Close anyway and lose the changes?"),
                S(" Error"), MB_ICONERROR | MB_YESNO | MB_DEFBUTTON2)
            != IDYES) {
            Action = caNone;
            return;
        }
    }
    SavedForEnd = true;
}

namespace {

// A command over the skin: glyph left of a white caption, framed only
// while the mouse is over it.
TGlyphSpeedButton* MakeCommand(
    TfrmMain* owner, const char* name, const QRect& bounds, const char* caption, const char* hint, const char* picture)
{
    auto* button = MakeButton(owner, owner, name, bounds, caption, hint, picture);
    button->SetFlat(true);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(6);
    SetFontOf(button, 13, clWhite, true);
    return button;
}

} // namespace

void TfrmMain::BuildCommands()
{
    // The column's commands keep to its bottom, where every skin is dark:
    // Today between the arrows to the written days, the lists, and the
    // window's own commands.
    const int arrow = 48;
    const int half = (kColumnWidth - 4) / 2;
    const int third = (kColumnWidth - 8) / 3;
    const int row3 = DesignClientHeight - 8 - kCommandHeight;
    const int row2 = row3 - kCommandHeight - 6;
    const int row1 = row2 - kCommandHeight - 6;
    btnPrevEntry2 = MakeCommand(this, "btnPrevEntry2", QRect(kColumnLeft, row1, arrow, kCommandHeight), "",
        " Goto the previous entry\r\nyou have written (PgUp)", "ENTRYPREV");
    BtnToDay2 = MakeCommand(this, "BtnToDay2",
        QRect(kColumnLeft + arrow + 4, row1, kColumnWidth - 2 * (arrow + 4), kCommandHeight), "Today",
        "Quickly jump to\r\n  todays' date", "TODAY");
    btnNextEntry2
        = MakeCommand(this, "btnNextEntry2", QRect(kColumnLeft + kColumnWidth - arrow, row1, arrow, kCommandHeight), "",
            "Goto the next entry you\r\n  have written (PgDn)", "ENTRYNEXT");
    btnBrowse = MakeCommand(this, "btnBrowse", QRect(kColumnLeft, row2, half, kCommandHeight), "Browse",
        " List or search\r\nthrough entries", "BROWSE");
    BtnBirthdays = MakeCommand(this, "BtnBirthdays", QRect(kColumnLeft + half + 4, row2, half, kCommandHeight),
        "Birthdays", "Manage birthdays\r\nand anniversaries", "BIRTHDAYS");
    btnSkin
        = MakeCommand(this, "btnSkin", QRect(kColumnLeft, row3, third, kCommandHeight), "Skin", "Change Skin", "SKIN");
    btnOptions = MakeCommand(this, "btnOptions", QRect(kColumnLeft + third + 4, row3, third, kCommandHeight), "Tools",
        "More Tools and Options", "TOOLS");
    btnAbout = MakeCommand(this, "btnAbout", QRect(kColumnLeft + 2 * (third + 4), row3, third, kCommandHeight), "About",
        "About this program", "ABOUT");
    for (TGlyphSpeedButton* b :
        { btnPrevEntry2, BtnToDay2, btnNextEntry2, btnBrowse, BtnBirthdays, btnSkin, btnOptions, btnAbout })
        b->SetAnchors(akLeft | akBottom);
    BindButton(btnBrowse, actBrowse);
    BindButton(btnPrevEntry2, actGoPEntry);
    BindButton(btnNextEntry2, actGoNEntry);
    BtnBirthdays->OnClick = [this](TObject* s) { BtnBirthdaysClick(s); };
    btnSkin->OnClick = [this](TObject* s) { btnSkinClick(s); };
    btnOptions->OnClick = [this](TObject* s) { btnOptionsClick(s); };
    btnAbout->OnClick = [this](TObject* s) { btnAboutClick(s); };

    // Commands of the day over the entry area; Exit keeps to the right edge.
    btnNew = MakeCommand(this, "btnNew", QRect(kEntryLeft, 8, 86, kCommandHeight), "Edit", "Edit this entry", "EDIT");
    btnDelete = MakeCommand(
        this, "btnDelete", QRect(kEntryLeft + 90, 8, 86, kCommandHeight), "Delete", "Delete this entry", "DELETE");
    btnPrint = MakeCommand(
        this, "btnPrint", QRect(kEntryLeft + 180, 8, 86, kCommandHeight), "Print", "Print Entries", "PRINT");
    btnPrint->OnClick = [this](TObject* s) { btnPrintClick(s); };
    const int entryRight = kEntryLeft + kEntryWidth + kTabWidth;
    btnExit
        = MakeCommand(this, "btnExit", QRect(entryRight - 86, 8, 86, kCommandHeight), "Exit", "Save and Exit", "EXIT");
    btnExit->SetAnchors(akTop | akRight);
    btnExit->OnClick = [this](TObject* s) { btnExitClick(s); };
}

void TfrmMain::btnSkinClick(TObject*)
{
    if (Session().CurrentSkin == -1)
        return;
    if (++Session().CurrentSkin > kStoreSkinCount)
        Session().CurrentSkin = 1;
    LoadSkin(); // which restarts the stars on the new picture
}

// The command buttons: Exit, and those that open a window of their own.
void TfrmMain::btnExitClick(TObject*)
{
    HandleEntry();
    SaveInfoPage();
    Close();
}
void TfrmMain::btnOptionsClick(TObject*)
{
    HandleEntry();
    if (!frmOptions)
        frmOptions = new TfrmOptions(this, Session(), *this);
    ShowCentredModal(*frmOptions);
}

void TfrmMain::btnAboutClick(TObject*)
{
    if (!frmAbout)
        frmAbout = new TfrmAbout(this, Session());
    ShowCentredModal(*frmAbout);
}

void TfrmMain::ShowCentredModal(TForm& window)
{
    window.SetBounds(Left() + (Width() - window.Width()) / 2, Top() + (Height() - window.Height()) / 2, window.Width(),
        window.Height());
    window.ShowModal();
    SetActiveControl(nullptr);
}
void TfrmMain::btnPrintClick(TObject*)
{
    SetMode(mdDiary);
    TfrmPrintEngine::Execute(this, Session(), *this, dCalendar->CalendarDate());
}
void TfrmMain::btnSpellCheckClick(TObject*)
{
    if (TfrmSpellCheck::Execute(this, MemoBody))
        MemoBody->SetModified(true);
}
