#pragma once

// The program's own pictures (resources/glyphs, mood, zodiac and icons),
// embedded in the executable.

// Registers every picture under its file name without the extension (looked
// up without regard to case, see FindResourceBitmap) and makes the cursors
// 14000 (HANDCUR) and 14001 (DRAGCUR) with their hot spots. Needs the
// application object; calling it again does no harm.
void RegisterProgramPictures();
