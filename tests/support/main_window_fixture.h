#pragma once

// What the tests of the main window share: settings in a temporary
// registry file, the program's pictures, empty process-wide diary and
// birthdays, and the window itself, freed before them.

#include "app/main_form.h"
#include "birthdays/birthday.h"
#include "engine/diary.h"
#include "platform/core/registry.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/menus.h"
#include "resources/program_pictures.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Runs act on the window of class F once the modal loop that shows it runs.
template <class F> void OnShown(const std::function<void(F&)>& act)
{
    QTimer::singleShot(0, [act] {
        for (TCustomForm* w : AllForms())
            if (auto* shown = dynamic_cast<F*>(w)) {
                act(*shown);
                return;
            }
    });
}

// The texts of the message dialogs shown, in order, with those of the
// message boxes unless boxes is false.
inline QStringList MessageTexts(const TScriptedDialogService& dialogs, bool boxes = true)
{
    QStringList texts;
    for (const TDialogCall& call : dialogs.Calls())
        if (call.Kind == TDialogKind::MessageDlg || (boxes && call.Kind == TDialogKind::MessageBox))
            texts << call.Text;
    return texts;
}

// Adds a birthday to the program's list.
inline TEntry* AddBirthday(const QString& name, TDateTime date)
{
    TEntry* e = BirthdayComponent().Entries()->Add();
    e->SetFullName(name);
    e->SetBirthDate(date);
    return e;
}

// A body of one paragraph in 10-point Arial.
inline QString ParagraphRtf(const char* text)
{
    return QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs20 ")
        + QString::fromUtf8(text) + QStringLiteral("\\par}");
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(QStringLiteral("registry.ini")));
        RegisterProgramPictures();
        FreeDiaryDB();
        FreeBirthdayComponent();
    }
    void TearDown() override
    {
        SetPopupMenuHandler({});
        SetDialogService(nullptr);
        form.reset();
        FreeDiaryDB();
        FreeBirthdayComponent();
        SetRegistryFileForTesting(QString());
    }

    TfrmMain& Create()
    {
        form = std::make_unique<TfrmMain>(nullptr);
        return *form;
    }
    // A window whose editors hold nothing that may be stored, as after the
    // first activation.
    TfrmMain& CreateShowingNothing()
    {
        Create().Session().PrevDate = -1.0;
        return *form;
    }
    void Pick(int y, int m, int d) { form->dCalendar->SetCalendarDate(EncodeDate(y, m, d)); }
    // The title a diary keeps for a day, empty for a day it lacks.
    static QString TitleOf(const TDiaryDB& db, TDateTime day)
    {
        QString title, body, notes, todo;
        int image = 0;
        return db.GetEntry(day, title, body, notes, todo, image) ? title : QString();
    }

    QTemporaryDir dir;
    std::unique_ptr<TfrmMain> form;
};

// The window made at set-up, its editors holding nothing that may be stored.
class BlankMainWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        CreateShowingNothing();
    }
};
