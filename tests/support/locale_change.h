#pragma once

// A change of the system's locale while the program runs, as Qt reports it
// to the application, and the system's locale put back afterwards.

#include "platform/core/sysinfo.h"
#include "platform/gui/forms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

inline void ChangeLocale(const QLocale& locale)
{
    QLocale::setDefault(locale);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
}

// At the end of its scope: the system's locale, its formats, and format
// updates on.
struct SystemLocaleAfterwards {
    ~SystemLocaleAfterwards()
    {
        QLocale::setDefault(QLocale::system());
        ResetFormatSettings();
        Application()->SetUpdateFormatSettings(true);
    }
};
