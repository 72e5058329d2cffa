#include "app/diary_session.h"

#include "app/helpers.h"
#include "app/settings.h"
#include "birthdays/birthday.h"
#include "engine/diary.h"
#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/graphics.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"
#include "resources/program_store.h"
#include "resources/store_items.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

TDiarySession::TDiarySession(TComponent* AOwner)
    : TComponent(AOwner)
{
    SetName(S("DiarySession"));
    BuildSettings();

    rStore = new TRessourceStore(this);
    LoadProgramStore(*rStore);

    CurrentFont = new TFont;
    ProgramPath = EnsureTrailingBackslash(QFileInfo(Application()->ExeName()).absolutePath());

    CurrentSkin = reger->Get(Settings::CurrentSkin).toInt();
    if (IsOutOfRange(CurrentSkin, 1, kStoreSkinCount))
        CurrentSkin = 1;
    SkinNumber = kStoreSkinCount;
}

TDiarySession::~TDiarySession()
{
    delete CurrentFont;
    CurrentFont = nullptr;
    // The owned components go next; reger writes the settings then.
}

QString TDiarySession::RegistryKey()
{
    return Settings::Key.toString();
}

void TDiarySession::BuildSettings()
{
    reger = new TRegValues(this);
    reger->SetName(S("reger"));
    reger->SetRootKey(rkHKEY_CURRENT_USER);
    reger->SetKey(RegistryKey());
    reger->SetCanCreate(true);
    reger->SetAutoLoad(true);
    for (const TSettingName* s : Settings::All) {
        TRegValue* value = reger->Items()->Add();
        value->SetValueType(s->Type);
        value->SetDefValue(s->Default.toString());
        value->SetAutoStore(true);
        // Setting the name last loads the value, as reading the stored form does.
        value->SetValueName(*s);
    }
}

void TDiarySession::InitNewDiary()
{
    DiaryDB().Clear();
}

void TDiarySession::SaveDiary()
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

void TDiarySession::SaveBirthdays()
{
    if (!DiaryOpened || BirthdayFileName.isEmpty())
        return;
    if (BirthdayComponent().Entries()->Modified())
        BirthdayComponent().SaveToFile(BirthdayFileName);
}

void TDiarySession::LoadBirthdays()
{
    if (BirthdayFileName.isEmpty() || !QFileInfo::exists(BirthdayFileName))
        return;
    // A file that failed before was reported then; the list in memory stays.
    const bool reported = BirthdayComponent().LoadFailed(BirthdayFileName);
    QString error;
    try {
        BirthdayComponent().LoadFromFile(BirthdayFileName);
    } catch (const EFLoadError& e) {
        error = e.Reason();
    }
    if (!error.isEmpty() && !reported)
        MessageDlg(S("Could not load birthday/anniversary data. The error message was:\r\n\r\n\"%1\"").arg(error),
            mtError, TMsgDlgButtons { mbOK });
}

void TDiarySession::SaveSettings()
{
    reger->SaveValues();
}

bool TDiarySession::SaveFiles(const std::function<void()>& onFailure)
{
    // Each step is tried whatever became of the others: a diary that cannot
    // be written must not cost the birthdays or the settings.
    bool saved = true;
    for (const auto step : { &TDiarySession::SaveDiary, &TDiarySession::SaveBirthdays, &TDiarySession::SaveSettings }) {
        try {
            (this->*step)();
        } catch (...) {
            saved = false;
            onFailure();
        }
    }
    return saved;
}

bool IDiaryView::EditorHoldsWrittenDay() const
{
    return !EntryTitle().Text().trimmed().isEmpty() || !EntryBody().Document()->toRawText().trimmed().isEmpty();
}
