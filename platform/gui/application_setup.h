#pragma once

// Font substitutions the layouts rely on: the window layouts are sized for
// Arial, Times New Roman, Courier New and MS Sans Serif, which the
// metric-compatible Liberation fonts stand in for. Call once a QGuiApplication
// exists, in the program and in tests.
void SetupApplicationFonts();
