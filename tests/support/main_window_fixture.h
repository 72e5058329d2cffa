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

    QTemporaryDir dir;
    std::unique_ptr<TfrmMain> form;
};
