// The diary's entry point: the application object, the fonts and pictures
// every window relies on, then the program's run.
#include "app/program.h"
#include "birthdays/birthday.h"
#include "engine/diary.h"
#include "platform/gui/application_setup.h"
#include "platform/gui/forms.h"
#include "resources/program_pictures.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetupApplicationFonts();
    RegisterProgramPictures();
    const int code = RunProgram();
    FreeApplication();
    FreeBirthdayComponent();
    FreeDiaryDB();
    return code;
}
