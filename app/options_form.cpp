#include "app/options_form.h"
#include "platform/core/sysutils.h"

#include "app/about_form.h"
#include "app/diary_export.h"
#include "app/diary_session.h"
#include "app/helpers.h"
#include "app/progress_form.h"
#include "controls/dropdown_button.h"
#include "controls/form_building.h"
#include "controls/link_rich_edit.h"
#include "engine/diary.h"
#include "engine/reg_values.h"
#include "platform/core/streams.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr int kButtonLeft = 40;
constexpr int kButtonTop = 22;
constexpr int kButtonStep = 42;
constexpr int kButtonWidth = TfrmOptions::DesignClientWidth - 2 * kButtonLeft;
constexpr int kButtonHeight = 34;
constexpr int kGlyphMargin = 72;
// From the glyph to the caption's first letter: the width of the longest
// run of leading blanks (three), so no spacing comes out negative.
constexpr int kTextGap = 12;

const char* const kBackupFilter = "Diary Backup|*.bkd";

} // namespace

TfrmOptions::TfrmOptions(TComponent* AOwner, TDiarySession& session, IDiaryView& view)
    : TForm(AOwner)
    , Session(session)
    , View(view)
{
    BuildControls();
    SetIcon(Application()->Icon());
    SetCaption(ProgramTitle() + S(" - Tools and Options"));
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };
    DoCreate();
}

TfrmOptions::~TfrmOptions()
{
    DoDestroy();
}

void TfrmOptions::BuildControls()
{
    Image_Bck = SetUpSkinWindow(*this, "frmOptions", DesignClientWidth, DesignClientHeight, 0);

    int row = 0;
    auto makeButton = [&](const char* name, const char* caption, const char* hint, const char* picture) {
        const QRect bounds(kButtonLeft, kButtonTop + row++ * kButtonStep, kButtonWidth, kButtonHeight);
        auto* button = MakeSkinButton(this, this, name, bounds, caption, hint, picture);
        // Glyphs in one column, captions after them. Some captions start
        // with more blanks than others: the spacing takes the blanks back,
        // so the first letters stand in one column too.
        button->SetMargin(kGlyphMargin);
        const QString text = button->Caption();
        qsizetype blanks = 0;
        while (blanks < text.size() && text[blanks] == u' ')
            ++blanks;
        button->SetSpacing(std::max(0, kTextGap - button->Canvas()->TextWidth(text.left(blanks))));
        return button;
    };
    btnBackup = makeButton("btnBackup", " Backup/Restore Diary",
        "Create a new backup of your diary\r\nof restore from an existing backup", "BACKUP");
    btnChgPassword = makeButton("btnChgPassword", " Change Password", "Change current diary password", "PASSWORD");
    btnSetFont = makeButton(
        "btnSetFont", " Set Font Language", " Set the default font for \r\nnew entries in your Diary", "FONT");
    btnExport = makeButton("btnExport", " Export to MsWord/RTF", "Export to Microsoft Word/RTF", "EXPORT");
    btnManage = makeButton("btnManage", "  Manage Birthdays",
        "View and manage birthdays\r\n and anniversaries globally", "MANAGEBIRTHDAYS");
    btnWebsite = makeButton("btnWebsite", "   Visit our web site", "Visit our web site", "WEBSITE");
    btnClose = MakeSkinCloseButton(*this, "btnClose");

    pmBackupRestore = MakePopupMenu(this, "pmBackupRestore");
    pmoBackup = AddMenuItem(this, pmBackupRestore->Items(), "pmoBackup", "Create a Backup");
    AddMenuItem(this, pmBackupRestore->Items(), "N1", "-");
    pmoRestore = AddMenuItem(this, pmBackupRestore->Items(), "pmoRestore", "Restore from a Backup");
    btnBackup->SetDropDownMenu(pmBackupRestore);

    auto fileDialog = []<class T>(T* dialog, const char* name, const char* ext, const char* filter, TOpenOption check) {
        dialog->SetName(S(name));
        dialog->SetDefaultExt(S(ext));
        dialog->SetFilter(S(filter));
        dialog->SetOptions({ ofHideReadOnly, check, ofEnableSizing });
        return dialog;
    };
    BackupDialog = fileDialog(new TSaveDialog(this), "BackupDialog", "bkd", kBackupFilter, ofOverwritePrompt);
    RestoreDialog = fileDialog(new TOpenDialog(this), "RestoreDialog", "bkd", kBackupFilter, ofFileMustExist);
    ExportDialog
        = fileDialog(new TSaveDialog(this), "ExportDialog", "rtf", "Microsoft Word/RTF files|*.rtf", ofOverwritePrompt);
    FntDialog = new TFontDialog(this);
    FntDialog->SetName(S("FntDialog"));
    FntDialog->SetOptions({ fdTrueTypeOnly, fdEffects, fdForceFontExist, fdNoOEMFonts });

    pmoBackup->OnClick = [this](TObject* s) { pmoBackupClick(s); };
    pmoRestore->OnClick = [this](TObject* s) { pmoRestoreClick(s); };
    btnChgPassword->OnClick = [this](TObject* s) { btnChgPasswordClick(s); };
    btnSetFont->OnClick = [this](TObject* s) { BtnSetFontClick(s); };
    btnExport->OnClick = [this](TObject* s) { btnExportClick(s); };
    btnManage->OnClick = [this](TObject* s) { btnManageClick(s); };
    btnWebsite->OnClick = [this](TObject* s) { btnWebsiteClick(s); };
    btnClose->OnClick = [this](TObject* s) { BtnCloseClick(s); };
}

void TfrmOptions::FormActivate(TObject*)
{
    FollowSkin(Session.rStore, Session.CurrentSkin, CurrentSkin, *Image_Bck);
    SetActiveControl(nullptr);
}

void TfrmOptions::FormKeyPress(TObject*, QChar& Key)
{
    if (Key.unicode() == 27)
        Close();
}

void TfrmOptions::BtnCloseClick(TObject*)
{
    Close();
}

void TfrmOptions::pmoBackupClick(TObject*)
{
    BackupDiary();
}

void TfrmOptions::pmoRestoreClick(TObject*)
{
    RestoreDiary();
}

void TfrmOptions::BackupDiary()
{
    BackupDialog->SetInitialDir(Session.ProgramPath);
    if (!BackupDialog->Execute())
        return;
    DiaryDB().Diary()->SetPassword(Session.UserPassword);
    // A failure raises into the application's error box; the diary's own
    // file and its modified mark are left alone.
    DiaryDB().SaveToFile(BackupDialog->FileName(), true);
}

void TfrmOptions::RestoreDiary()
{
    RestoreDialog->SetInitialDir(Session.ProgramPath);
    if (!RestoreDialog->Execute())
        return;
    const QString fileName = RestoreDialog->FileName();
    if (MessageDlg(S("Proceed to restore diary \"%1\" ?").arg(QFileInfo(fileName).fileName()), mtWarning, mbOKCancel)
        != mrOk)
        return;
    QString password;
    if (!QFileInfo::exists(fileName)
        || !InputQuery(S("Security Notice"),
            S("Enter password for this diary (this will also be\r\nyour new password)"), password, iePassword))
        return;
    // Trimmed as the wizard trims, so the diary opens with it next time.
    password = password.trimmed();

    // Loaded on its own first: a backup that does not load leaves the open
    // diary as it is, and one that does carries nothing of it.
    TDiaryDB restored;
    const int status = restored.LoadFromFile(fileName, true, password);
    if (status != lsNoError) {
        MessageDlg(TDiaryDB::StatusToErrorStr(status), mtError, TMsgDlgButtons { mbOK });
        return;
    }
    DiaryDB().ReplaceContentWith(restored);
    Session.UserPassword = password;
    // Nothing the window shows of the old diary may be stored into this one.
    Session.PrevDate = -1.0;
    View.DiaryReplaced();
    View.HandleEntry();
    MessageDlg(S("Diary restored successfully"), mtInformation, TMsgDlgButtons { mbOK });
    DiaryDB().Modified = true;
}

void TfrmOptions::btnChgPasswordClick(TObject*)
{
    const QString caption = S("Password Change");
    QString old;
    if (!InputQuery(caption, S("Enter OLD password"), old, iePassword))
        return;
    if (old.trimmed() != Session.UserPassword.trimmed()) {
        ShowMessage(S("Password is incorrect!"));
        return;
    }
    QString password;
    if (!InputQuery(caption, S("Enter NEW password"), password, iePassword))
        return;
    QString confirmation;
    if (!InputQuery(caption, S("Re-enter NEW password for confirmation"), confirmation, iePassword))
        return;
    // Trimmed as the wizard trims what it is given to open the diary.
    password = password.trimmed();
    if (confirmation.trimmed() != password) {
        ShowMessage(S("Passwords do not match!"));
        return;
    }
    if (const QString error = PasswordStorageError(password); !error.isEmpty()) {
        MessageDlg(error, mtError, TMsgDlgButtons { mbOK });
        return;
    }
    ShowMessage(S("Password was successfully changed"));
    DiaryDB().Modified = true;
    Session.UserPassword = password;
    Session.DiaryModified = true;
}

void TfrmOptions::BtnSetFontClick(TObject*)
{
    TFont font;
    font.Assign(*View.EntryTitle().Font());
    // Cannot fail on the session's settings, which hold every font value.
    LoadFontFromRegistry(*Session.reger, font);
    FntDialog->SetFont(font);
    if (!FntDialog->Execute())
        return;
    const TFont& chosen = *FntDialog->Font();
    View.SetEntryFont(chosen);
    View.ResetRichAttributes();
    // Last: a settings store that cannot be written raises into the error
    // box, and the font still serves for this run.
    SaveFontToRegistry(*Session.reger, chosen);
}

void TfrmOptions::btnManageClick(TObject*)
{
    View.RunBirthdayKeeper(this);
}

void TfrmOptions::btnWebsiteClick(TObject*)
{
    OpenLink(AboutInfo::WebSite());
}

void TfrmOptions::btnExportClick(TObject*)
{
    ExportDialog->SetInitialDir(Session.ProgramPath);
    if (!ExportDialog->Execute())
        return;
    if (!frmProgress)
        frmProgress = new TfrmProgress(this);
    frmProgress->StartProgress();
    bool failed = false;
    QString reason;
    try {
        ExportDiary(ExportDialog->FileName());
    } catch (...) {
        failed = true;
        reason = CurrentExceptionMessage();
    }
    frmProgress->EndProgress();
    if (failed)
        ShowMessage(S("Diary Export to RTF failed!\r\n") + reason);
}

void TfrmOptions::ExportDiary(const QString& filename)
{
    const QByteArray rtf = DiaryToRtf(DiaryDB(), *View.EntryBody().Font(), [] { Application()->ProcessMessages(); });
    // Through a temporary file: a failed write keeps what the file held.
    WriteFileAtomically(filename, rtf);
    if (AppMessageBox(S("View the generated RTF file?"), S("Info"), MB_ICONQUESTION | MB_YESNO) == IDYES)
        OpenLink(filename);
}
