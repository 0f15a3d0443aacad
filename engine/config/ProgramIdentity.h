#pragma once

#include <QString>

// The names the program shows for itself, in one place.
namespace ProgramIdentity {
// Title of the program's message boxes.
inline const QString Title = QStringLiteral("Ombrix");
// The executable's name, which titles the parse-failure message of conf.xml.
inline const QString ExecutableName = QStringLiteral("ombrix");
// The title of the tray icon's balloons, whatever the language.
inline const QString TitoloApp = QStringLiteral("Tervalia");
// The installed desktop entry's and metainfo's id (cmake/OmbrixInstall.cmake), by which the
// desktop matches the windows to the menu entry and its icon.
inline const QString DesktopFileName = QStringLiteral("org.tervalia.Ombrix");
} // namespace ProgramIdentity
