#pragma once

#include <QString>

// Every address of the project that the program knows, in one place. The version file is a
// plain text "newest version,download address" (anything after a second comma is ignored).
namespace ProjectAddresses {

inline const QString VersionFile = QStringLiteral("https://ombrix.example.org/version.txt");
inline const QString PageItalian = QStringLiteral("https://ombrix.example.org/it/");
inline const QString PageEnglish = QStringLiteral("https://ombrix.example.org/en/");
inline const QString BugReport = QStringLiteral("bugs@ombrix.example.org");

// The project page in the program's language ("italian" in any case, else English).
inline QString page(const QString &language)
{
    return language.toLower() == QLatin1String("italian") ? PageItalian : PageEnglish;
}

} // namespace ProjectAddresses
