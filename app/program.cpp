#include "app/program.h"

#include "app/entry_form.h"
#include "app/helpers.h"
#include "app/main_form.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <memory>

int RunProgram()
{
    TApplication* application = Application();
    application->Initialize();
    const QImage icon = ProgramPicture(QStringLiteral("diary"));
    if (!icon.isNull()) {
        application->SetIcon(QIcon(QPixmap::fromImage(icon)));
        QApplication::setWindowIcon(application->Icon());
    }
    application->SetTitle(ProgramTitle());

    std::unique_ptr<TfrmMain> main(application->CreateForm<TfrmMain>());
    application->OnEndSession = [&main](TObject*) {
        if (main)
            main->SaveAtSessionEnd();
    };
    {
        // The wizard frees itself when it closes.
        auto* wizard = new TfrmEntry(application, main->Session(), *main);
        application->BringToFront();
        // Anything but a finished road (the window manager closed the
        // wizard) ends the run as the exit button does.
        if (wizard->ShowModal() != mrOk) {
            application->SetShowMainForm(false);
            application->Terminate();
        }
    }
    application->Run();
    // Closing stored the day and wrote the files, unless the run ended
    // another way.
    main->SaveAtEnd();
    main.reset();
    application->OnEndSession = {};
    return 0;
}
