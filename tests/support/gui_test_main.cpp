// Test entry point for every binary with windows: a headless QApplication
// with the fonts the layouts are sized for, and the windows' copy-data
// channels in a folder of its own, away from a diary the user runs.
#include "platform/gui/application_setup.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    SetupApplicationFonts();
    QTemporaryDir channels;
    SetCopyDataFolderForTesting(channels.path());
    return RUN_ALL_TESTS();
}
