#pragma once

#include <QString>

class MessageBoxService;

// The INI text with one value written: the value of the key replaced in the first section of
// that name (names compared without regard to case, as the reader does), the key added at the
// end of that section when it lacks it, or the section added at the end of the text. Every
// other character stays as it was.
QString withIniValue(const QString &text, const QString &section, const QString &key, const QString &value);

// Writes one value into an INI-format file (Windows-1252, created when missing), replacing the
// file atomically. A failure is shown to the user as the error number and its description, and
// gives false.
bool ScriviIni(const QString &section, const QString &key, const QString &value, const QString &file,
               MessageBoxService &boxes);
