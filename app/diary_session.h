#pragma once

// The open diary apart from the window that shows it: its files, the
// password in use, what became of it in this run, the settings, the
// program's resource store, the skin and the entry font. The main window
// owns the session; the windows that work on the diary take it, and ask
// the window showing the diary for the rest through IDiaryView.

#include "platform/core/classes.h"
#include "platform/core/datetime.h"

#include <QString>

#include <functional>

class TComponent;
class TEdit;
class TFont;
class TRegValues;
class TRessourceStore;
class TRichEdit;

class TDiarySession : public TComponent {
public:
    // The settings are read from the registry and the resource store is
    // loaded; both are owned by the session.
    explicit TDiarySession(TComponent* AOwner);
    ~TDiarySession() override;

    QString ClassName() const override { return QStringLiteral("TDiarySession"); }

    // The registry key of the settings (Settings::Key).
    static QString RegistryKey();

    // The program's folder with a trailing separator: the diaries live there.
    QString ProgramPath;
    bool DiaryIsNew = false;
    QString UserPassword;
    QString DataFileName;
    QString DataBackupName;
    QString BirthdayFileName;
    // A password change not yet saved: closing by the window manager asks.
    bool DiaryModified = false;
    // The day the editor shows; -1 while it shows none.
    TDateTime PrevDate = -1.0;
    // Set by the wizard once a diary is open or a new one prepared; without
    // it the run ends without writing the diary or its birthday file.
    bool DiaryOpened = false;
    // The diary was read from DataBackupName because DataFileName was
    // damaged: the damaged file must not become the previous version.
    bool DiaryFromBackup = false;
    int SkinNumber = 0;
    int CurrentSkin = 1;
    // The entry font, as the settings give it.
    TFont* CurrentFont = nullptr;
    TRegValues* reger = nullptr;
    TRessourceStore* rStore = nullptr;

    // The diary with its previous version kept as DataBackupName; raises
    // when the diary cannot be written, the file on disk then left as it was.
    void SaveDiary();
    void SaveBirthdays();
    // Loads the birthday file when there is one; a failure is reported with
    // the loader's reason, once per file.
    void LoadBirthdays();
    void SaveSettings();
    // Writes the diary, the birthday file and the settings, each whatever
    // became of the others; onFailure runs inside the catch of each failed
    // step. False when a step failed.
    bool SaveFiles(const std::function<void()>& onFailure);
    // A new diary starts from an empty database, whatever a failed open may
    // have left in it.
    void InitNewDiary();

private:
    void BuildSettings();

    // The diary was written in this run, its previous version kept.
    bool SavedThisRun = false;
};

// What the windows working on the diary ask of the window that shows it.
class IDiaryView {
public:
    virtual ~IDiaryView() = default;
    // Stores the edited entry under PrevDate, then shows the calendar's day.
    virtual void HandleEntry() = 0;
    // Another diary replaced the one in memory: what shows it shows the new one.
    virtual void DiaryReplaced() = 0;
    // Shows aDate's day in the calendar and the editor.
    virtual void ShowDay(TDateTime aDate) = 0;
    // The day being edited as the editor holds it, saved or not.
    virtual const TEdit& EntryTitle() const = 0;
    virtual const TRichEdit& EntryBody() const = 0;
    // The editor holds a day worth storing: a title or a body that is not blank.
    bool EditorHoldsWrittenDay() const;
    // The entry font for the editor, then an empty body typing in it.
    virtual void SetEntryFont(const TFont& font) = 0;
    virtual void ResetRichAttributes() = 0;
    // The birthday keeper owned by owner, the day's line brought up to date after.
    virtual void RunBirthdayKeeper(TComponent* owner) = 0;
    // How many mood pictures a day can have.
    virtual int MoodCount() const = 0;
};
