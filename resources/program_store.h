#pragma once

#include <QByteArray>

class TRessourceStore;

// The component stream of the program's resource store (the skins, the mode
// tab bitmaps and the new-entry template), packed at build time from
// resources/store and embedded in the program.
const QByteArray& ProgramStoreStream();

// Fills store with the embedded items (and gives it the stored name
// "rStore"), as reading the main window's stored form would.
void LoadProgramStore(TRessourceStore& store);
