#include "app/ProgramApplication.h"

#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"

#include <QGuiApplication>

ProgramApplication::ProgramApplication()
{
    describe();
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(ProgramIdentity::DesktopFileName);
    // The program lives on in the tray while its window is hidden.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void ProgramApplication::describe()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ProgramSettings::ApplicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
}
