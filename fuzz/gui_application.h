#pragma once

// The GUI application the drawing and rich text targets need, made once in
// LLVMFuzzerInitialize and kept for the whole process.

#include <QGuiApplication>

// Never destroyed: destroying it during static destruction runs after Qt's
// thread storage is gone, which strands the font cache and makes the leak
// check at exit fail every run. Held by a global pointer, so the leak check
// sees it and what it owns as reachable.
inline void StartGuiApplication(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* const app = new QGuiApplication(*argc, *argv);
    (void)app;
}
