#pragma once

// The program's run, from the hidden main window and the start-up wizard
// through the message loop to the main window's end, which saves the diary.
// Needs the QApplication and the registered pictures; returns the exit code.
int RunProgram();
