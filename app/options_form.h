#pragma once

// The window of additional tools the main window's "Tools" button opens:
// backup and restore of the diary, the password change, the entry font, the
// export to one RTF file, the birthday keeper and the maker's web site.

#include "platform/gui/forms.h"

#include <QString>

class TFontDialog;
class IDiaryView;
class TDiarySession;
class TfrmProgress;
class TGlyphSpeedButton;
class TImage;
class TMenuItem;
class TOpenDialog;
class TPopupMenu;
class TSaveDialog;

class TfrmOptions : public TForm {
public:
    // session and view (the window showing the diary) must outlive the window.
    TfrmOptions(TComponent* AOwner, TDiarySession& session, IDiaryView& view);
    ~TfrmOptions() override;

    QString ClassName() const override { return QStringLiteral("TfrmOptions"); }

    static constexpr int DesignClientWidth = 400;
    static constexpr int DesignClientHeight = 330;

    TImage* Image_Bck = nullptr;
    TGlyphSpeedButton* btnBackup = nullptr;
    TPopupMenu* pmBackupRestore = nullptr;
    TMenuItem* pmoBackup = nullptr;
    TMenuItem* pmoRestore = nullptr;
    TGlyphSpeedButton* btnChgPassword = nullptr;
    TGlyphSpeedButton* btnSetFont = nullptr;
    TGlyphSpeedButton* btnExport = nullptr;
    TGlyphSpeedButton* btnManage = nullptr;
    TGlyphSpeedButton* btnWebsite = nullptr;
    TGlyphSpeedButton* btnClose = nullptr;
    TSaveDialog* BackupDialog = nullptr;
    TOpenDialog* RestoreDialog = nullptr;
    TSaveDialog* ExportDialog = nullptr;
    TFontDialog* FntDialog = nullptr;
    // Made at the first export and kept.
    TfrmProgress* frmProgress = nullptr;
    // The skin drawn behind; -1 until the first activation.
    int CurrentSkin = -1;

    // Leaves no button focused and follows the main window's skin.
    void FormActivate(TObject* Sender);
    // Esc closes the window.
    void FormKeyPress(TObject* Sender, QChar& Key);
    void pmoBackupClick(TObject* Sender);
    void pmoRestoreClick(TObject* Sender);
    void btnChgPasswordClick(TObject* Sender);
    void BtnSetFontClick(TObject* Sender);
    void btnExportClick(TObject* Sender);
    void btnManageClick(TObject* Sender);
    void btnWebsiteClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);

    // Writes the diary in memory, unsaved changes included, as a diary file
    // with the password in use.
    void BackupDiary();
    // Replaces the diary in memory by a backup once it loads with the
    // password given; a backup that does not load changes nothing.
    void RestoreDiary();
    // Writes every written day to filename as one RTF document, replacing
    // the file only once the whole document is written; raises on failure.
    void ExportDiary(const QString& filename);

private:
    void BuildControls();

    TDiarySession& Session;
    IDiaryView& View;
};
