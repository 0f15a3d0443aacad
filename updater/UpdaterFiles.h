#pragma once

#include "updater/UpdateError.h"

#include <QByteArray>
#include <QString>

namespace UpdaterFiles {

inline const QString Crlf = QStringLiteral("\r\n");
// The format version the main program expects of its language files and conf.xml.
inline const QString CurrentFormat = QStringLiteral("1.0.4");
// The title of the run's message boxes: the program's file name.
inline const QString ProgramName = QStringLiteral("update");

// A text file read line by line: CR, LF and CRLF all end a line, and every line comes back
// followed by CRLF. `raw` receives the bytes as they stand on disk (for the backups).
bool readLines(const QString &path, QString *text, QByteArray *raw, UpdateError *error);

// Writes the whole file or nothing: the previous file stays as it was whatever goes wrong.
bool writeAtomically(const QString &path, const QByteArray &bytes, UpdateError *error);

// Keeps `bytes`, a file as it stood before the run changed it, as <baseName>.old in `folder`.
// A backup an earlier run left there is never replaced: the new one takes the first free name
// <baseName>.2.old, <baseName>.3.old, ... unless one of them already holds the same bytes.
bool keepBackup(const QString &folder, const QString &baseName, const QByteArray &bytes, UpdateError *error);

// Lets the window repaint between file steps; harmless without an application object.
void processPendingEvents();

} // namespace UpdaterFiles
