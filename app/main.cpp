// Command-line check of the diary engine until the windows exist: creates a
// diary in a temporary folder, saves it, opens it again and reports.
#include "engine/diary.h"
#include "platform/core/datetime.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        out << "Cannot create a temporary folder\n";
        return 1;
    }
    const QString fileName = QDir(dir.path()).filePath(QStringLiteral("Smoke.dry"));

    TDiaryDB& db = DiaryDB();
    db.Diary()->SetPassword(QStringLiteral("secret"));
    const TDateTime today = Date();
    db.AddEntry(today, QStringLiteral("First day"), QStringLiteral("{\\rtf1\\ansi Hello, diary.\\par}"),
                QStringLiteral("notes"), QString(), 3);
    db.Info()->UpdateItemByName(QStringLiteral("edtFullName"), QStringLiteral("A. Writer"));
    db.SaveToFile(fileName);
    out << "Saved " << db.Diary()->Count() << " entry to " << fileName << "\n";

    TDiaryDB reopened;
    const int status = reopened.LoadFromFile(fileName, true, QStringLiteral("secret"));
    out << "Reopened: " << TDiaryDB::StatusToErrorStr(status) << ", " << reopened.Diary()->Count() << " entry, "
        << "title \"" << (reopened.Diary()->Count() ? reopened.Diary()->Items(0)->Title() : QString()) << "\"\n";
    const int wrong = reopened.LoadFromFile(fileName, true, QStringLiteral("Secret"));
    out << "With a wrong password: " << TDiaryDB::StatusToErrorStr(wrong) << "\n";
    FreeDiaryDB();
    return status == lsNoError && wrong == lsWrongPassword ? 0 : 1;
}
