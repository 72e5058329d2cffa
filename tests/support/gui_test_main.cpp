// Test entry point for every binary with windows: a headless QApplication
// with the fonts the layouts are sized for.
#include "platform/gui/application_setup.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    SetupApplicationFonts();
    return RUN_ALL_TESTS();
}
