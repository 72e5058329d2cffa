#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/about_form.h"
#include "app/helpers.h"
#include "app/info_form.h"
#include "app/options_form.h"
#include "app/print_form.h"
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
#include "resources/program_store.h"
#include "resources/store_items.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

QString ProgramTitle()
{
    return S("Veltrane") + QLatin1Char(' ') + S("Diary");
}

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
    CurrentFont = new TFont;

    ProgramPath = EnsureTrailingBackslash(QFileInfo(Application()->ExeName()).absolutePath());

    CurrentSkin = reger->Get(S("CurrentSkin")).toInt();
    if (IsOutOfRange(CurrentSkin, 1, kStoreSkinCount))
        CurrentSkin = 1;
    SkinNumber = kStoreSkinCount;

    pmoShowScrollbar->SetChecked(reger->Get(S("ShowScrollbars")).toInt() == 1);
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
    DoDestroy();
    SparkleTimer->SetEnabled(false);
    reger->SetV(S("CurrentSkin"), CurrentSkin);
    // Closing saved (or the user chose to leave without); an end that did
    // not pass through closing still keeps the page's edits and the files.
    if (!SavedForEnd) {
        try {
            SaveInfoPage();
        } catch (...) {
            Application()->HandleException(this);
        }
        SaveFiles([this] { Application()->HandleException(this); });
    }
    delete CurrentFont;
    CurrentFont = nullptr;
    // The information window's panel goes back to it, so that each window
    // frees its own controls.
    if (frmInfo) {
        frmInfo->pnlInfoRel->SetParent(frmInfo);
        delete std::exchange(frmInfo, nullptr);
    }
    // The owned components go next; reger writes the settings then.
}

void TfrmMain::InitNewDiary()
{
    DiaryDB().Diary()->Clear();
    DiaryDB().Diary()->Indexer().Clear();
    DiaryDB().Info()->Clear();
    DiaryDB().Modified = false;
    DiaryReplaced();
}

void TfrmMain::SaveDiary()
{
    if (!DiaryOpened || !DiaryDB().Modified)
        return;
    DiaryDB().Diary()->SetPassword(UserPassword);
    // Packed before the files are touched, so a failure changes nothing.
    const QByteArray bytes = DiaryDB().SaveToBytes(true);
    // The previous version is the file as it was before this run: a second
    // save of the run (a retried close, the session's end) leaves it alone.
    if (!DiaryFromBackup && !SavedThisRun && QFileInfo::exists(DataFileName)) {
        // A copy rather than a rename: until the new file is in place the
        // diary keeps its name. Failures are ignored; the diary is written.
        QFile::remove(DataBackupName);
        QFile::copy(DataFileName, DataBackupName);
    }
    WriteFileAtomically(DataFileName, bytes);
    DiaryDB().Modified = false;
    SavedThisRun = true;
}

void TfrmMain::SaveBirthdays()
{
    if (!DiaryOpened || BirthdayFileName.isEmpty())
        return;
    if (BirthdayComponent().Entries()->Modified())
        BirthdayComponent().SaveToFile(BirthdayFileName);
}

void TfrmMain::LoadBirthdays()
{
    if (BirthdayFileName.isEmpty() || !QFileInfo::exists(BirthdayFileName))
        return;
    // A file that failed before was reported then; the list in memory stays.
    const bool reported = BirthdayComponent().LoadFailed(BirthdayFileName);
    QString error;
    try {
        if (BirthdayComponent().LoadFromFile(BirthdayFileName) != 0) {
            error = BirthdayComponent().LoadError();
            if (error.isEmpty())
                error = S("Unknown error");
        }
    } catch (const Exception& e) {
        error = e.Message();
    }
    if (!error.isEmpty() && !reported)
        MessageDlg(S("Could not load birthday/anniversary data. The error message was:\r\n\r\n\"%1\"").arg(error),
            mtError, TMsgDlgButtons { mbOK });
}

bool TfrmMain::SaveFiles(const std::function<void()>& onFailure)
{
    // Each step is tried whatever became of the others: a diary that cannot
    // be written must not cost the birthdays or the settings.
    bool saved = true;
    for (const auto step : { &TfrmMain::SaveDiary, &TfrmMain::SaveBirthdays, &TfrmMain::SaveSettings }) {
        try {
            (this->*step)();
        } catch (...) {
            saved = false;
            onFailure();
        }
    }
    return saved;
}

void TfrmMain::SaveSettings()
{
    reger->SaveValues();
}

void TfrmMain::KeepForEnd()
{
    HandleEntry();
    // Every close keeps the information page's edits, not only Exit.
    SaveInfoPage();
    // A maximised window keeps the place it is restored to, and opens
    // maximised again.
    const QRect bounds = NormalBoundsRect();
    reger->SetV(S("LastTop"), bounds.top());
    reger->SetV(S("LastLeft"), bounds.left());
    reger->SetV(S("LastWidth"), bounds.width());
    reger->SetV(S("LastHeight"), bounds.height());
    reger->SetV(S("LastMaximized"), WindowState() == wsMaximized ? 1 : 0);
    reger->SetV(S("CurrentSkin"), CurrentSkin);
}

void TfrmMain::SaveAtSessionEnd()
{
    if (!Visible())
        return; // the wizard's time or after closing: nothing to keep
    KeepForEnd();
    // Nobody is asked at the end of a session: the reasons go to the log.
    SaveFiles([] { qWarning("%s", qUtf8Printable(CurrentExceptionMessage())); });
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
        if (DiaryModified) {
            if (AppMessageBox(S("If you exit this way, your changes\r\nwill be lost. Exit & loose changes?"),
                    S(" Warning"), MB_ICONWARNING | MB_OKCANCEL | MB_DEFBUTTON2)
                != IDOK)
                return;
            DiaryModified = false;
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

    BuildSettings();

    rStore = new TRessourceStore(this);
    LoadProgramStore(*rStore);

    SparkleTimer = new TTimer(this);
    SparkleTimer->SetName(S("SparkleTimer"));
    SparkleTimer->SetInterval(100);
    SparkleTimer->OnTimer = [this](TObject* s) { SparkleTimerTimer(s); };

    BuildControls();
}

void TfrmMain::BuildSettings()
{
    reger = new TRegValues(this);
    reger->SetName(S("reger"));
    reger->SetRootKey(rkHKEY_CURRENT_USER);
    reger->SetKey(RegistryKey());
    reger->SetCanCreate(true);
    reger->SetAutoLoad(true);
    struct Setting {
        const char* name;
        TRegValueType type;
        const char* def;
    };
    static const Setting settings[] = {
        { "LastDiaryName", vtString, "default.dry" },
        { "SkinNumber", vtInteger, "0" },
        { "CurrentSkin", vtInteger, "2" },
        { "FontName", vtString, "Arial" },
        { "FontColor", vtInteger, "0" },
        { "FontCharset", vtInteger, "1" },
        { "FontSize", vtInteger, "10" },
        { "FontStyle", vtInteger, "0" },
        { "ShowScrollbars", vtInteger, "0" },
        { "LastTop", vtInteger, "-1" },
        { "LastLeft", vtInteger, "-1" },
        { "LastWidth", vtInteger, "-1" },
        { "LastHeight", vtInteger, "-1" },
        { "LastMaximized", vtInteger, "0" },
        { "CalUseEng", vtBoolean, "FALSE" },
        { "CalChangeSOW", vtBoolean, "FALSE" },
        { "CalSOW", vtInteger, "0" },
    };
    for (const Setting& s : settings) {
        TRegValue* value = reger->Items()->Add();
        value->SetValueType(s.type);
        value->SetDefValue(S(s.def));
        value->SetAutoStore(true);
        // Setting the name last loads the value, as reading the stored form does.
        value->SetValueName(S(s.name));
    }
}

void TfrmMain::PlaceWindow()
{
    const int T = reger->Get(S("LastTop")).toInt();
    const int L = reger->Get(S("LastLeft")).toInt();
    const int W = reger->Get(S("LastWidth")).toInt();
    const int H = reger->Get(S("LastHeight")).toInt();
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
    if (reger->Get(S("LastMaximized")).toInt() == 1)
        SetWindowState(wsMaximized);
}

void TfrmMain::LoadSkin()
{
    DrawSkin(*rStore, CurrentSkin, *imgBack);
    // Stars are placed on one picture: a new one needs a new field.
    RestartSparkles();
}

void TfrmMain::LoadTab(const QString& name)
{
    const int index = rStore->ItemIndex(name);
    if (index < 0)
        return;
    TBitmap bitmap;
    TMemoryStream stream;
    const QByteArray& bytes = rStore->Items()->Items(index)->Bytes();
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

void TfrmMain::imgTABMouseDown(TObject*, TMouseButton, TShiftState, int X, int)
{
    const int half = imgTAB->Width() / 2;
    if (X < half)
        SetMode(mdDiary);
    else if (X < 2 * half)
        SetMode(mdInfo);
}

void TfrmMain::LoadFontSettings()
{
    TFont font;
    font.Assign(*edtTitle->Font());
    try {
        LoadFontFromRegistry(*reger, font);
    } catch (const Exception&) {
        return;
    }
    SetEntryFont(font);
}

void TfrmMain::SetEntryFont(const TFont& font)
{
    MemoBody->SetFont(font);
    edtTitle->SetFont(font);
    CurrentFont->Assign(font);
    FitTitleToFont();
}

void TfrmMain::FormActivate(TObject*)
{
    SetActiveControl(nullptr);
    if (FirstTime) {
        LoadSkin();
        LoadFontSettings();
        PrevDate = -1.0;
        DiaryModified = false;
        reger->SetV(S("LastDiaryName"), QFileInfo(DataFileName).fileName());
        FirstTime = false;
        edtTitle->SetModified(false);
        MemoBody->SetModified(false);
        MemoNotes->SetModified(false);
    }
    const bool locked = !UserPassword.trimmed().isEmpty();
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
    SaveFiles([&failures] { failures << CurrentExceptionMessage(); });
    ReportMovedBirthdayFile();
    if (!failures.isEmpty()) {
        const QString what = DiaryOpened && DiaryDB().Modified ? S("The diary")
            : BirthdayComponent().Entries()->Modified()        ? S("The birthday file")
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

void TfrmMain::btnSkinClick(TObject*)
{
    if (CurrentSkin == -1)
        return;
    if (++CurrentSkin > kStoreSkinCount)
        CurrentSkin = 1;
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
        frmOptions = new TfrmOptions(this, *this);
    ShowCentredModal(*frmOptions);
}

void TfrmMain::btnAboutClick(TObject*)
{
    if (!frmAbout)
        frmAbout = new TfrmAbout(this, *this);
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
    TfrmPrintEngine::Execute(this, *this, dCalendar->CalendarDate());
}
void TfrmMain::btnSpellCheckClick(TObject*)
{
    if (TfrmSpellCheck::Execute(this, MemoBody))
        MemoBody->SetModified(true);
}
