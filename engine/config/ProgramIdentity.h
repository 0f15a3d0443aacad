#pragma once

#include <QString>

// The names the program shows for itself, in one place.
namespace ProgramIdentity {
// Title of the program's message boxes.
inline const QString Title = QStringLiteral("Ombrix");
// The executable's name, which titles the parse-failure message of conf.xml.
inline const QString ExecutableName = QStringLiteral("ombrix");
// The desktop entry the program's windows belong to (its file name without ".desktop").
inline const QString DesktopFileName = QStringLiteral("ombrix");
// The title of the tray icon's balloons, whatever the language.
inline const QString TitoloApp = QStringLiteral("Tervalia");
} // namespace ProgramIdentity
