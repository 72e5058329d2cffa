#pragma once

// The start-up wizard: opens a diary of the program's folder or prepares a
// new one, and leaves file names, password and the new-diary flag in the
// diary session.
//
// Passwords are trimmed of leading and trailing blanks on every road
// (opening, creating and the confirmation), so the password stored with a
// new diary is always the one a later open produces from the same typing;
// a password made only of blanks is the empty password. A new diary's
// password must be one the diary file can keep (PasswordStorageError).

#include "platform/gui/forms.h"

#include <QString>
#include <QStringList>

class TBevel;
class TCPCoolEdit;
class TCPFileIterator;
class TExtendedComboBoxNN;
class IDiaryView;
class TDiarySession;
class TImage;
class TImageList;
class TLabel;
class TLbSpeedButton;
class TOpenDialog;

class TfrmEntry : public TForm {
public:
    // session receives the outcome; it and view (the window that will show
    // the diary) must outlive the wizard.
    TfrmEntry(TComponent* AOwner, TDiarySession& session, IDiaryView& view);
    ~TfrmEntry() override;

    QString ClassName() const override { return QStringLiteral("TfrmEntry"); }

    static constexpr int DesignClientWidth = 289;
    static constexpr int DesignClientHeight = 186;

    TImage* imgBack = nullptr;
    TImage* imgDiary = nullptr;
    TLabel* lblDiary = nullptr;
    TLabel* lblPassword = nullptr;
    TExtendedComboBoxNN* cbDiary = nullptr;
    TCPCoolEdit* edtDiary = nullptr;
    TCPCoolEdit* edtPassword = nullptr;
    TLbSpeedButton* btnNext = nullptr;
    TLbSpeedButton* btnPrev = nullptr;
    TBevel* bvlEntry = nullptr;
    TImageList* ilDiaryEntry = nullptr;
    TCPFileIterator* fFileIterator = nullptr;
    TOpenDialog* RestoreDialog = nullptr;

    // 0 while choosing, 1 while naming a new diary.
    int CurrentStep() const { return iCurrentStep; }

    void cbDiaryChange(TObject* Sender);
    void btnNextClick(TObject* Sender);
    void btnPrevClick(TObject* Sender);
    void edtPasswordKeyPress(TObject* Sender, QChar& Key);

    // Loads the diary, falling back to aBackupName for every failure but a
    // wrong password. True when the diary is loaded; false when it could not
    // be (the message was shown).
    bool OpenDiary(const QString& aFileName, const QString& aBackupName, const QString& aPassword);
    // Asks for a backup and its password and loads it as the diary of the
    // program's folder with the backup's name; true when it was restored.
    bool RestoreDiary();
    // Paints the current skin over the background; false when the store has
    // no decodable picture for it.
    bool LoadSkin();

    // A press anywhere but on the edits and the buttons moves the window.
    void WndProc(TMessage& Message) override;

private:
    void BuildControls();
    // What has no window: the list's pictures, the file search and the
    // restore dialog.
    void BuildComponents();
    // The diary list and, in its place while a new diary is named, the name's edit.
    void BuildDiaryChoice();
    void BuildPassword();
    void BuildButtons();
    void FillList();
    void ShowChoiceText();
    void BackToChoice();
    void Finish();
    void FinishNewDiary();

    TDiarySession& Session;
    IDiaryView& View;
    // The found diary files, item i + 1 of the list showing file i.
    QStringList fDiaryFiles;
    int iCurrentStep = 0;
};
