#pragma once

#include <QString>

// Versions "a.b.c", compared part by part as whole numbers of any length: the leading digits
// of each part count ("3B5" is 3), a missing part or one without digits is 0. So 1.1.0 is
// newer than 1.0.10, and 2.0.0 is not older than 1.9.9.
namespace VersionNumber {

// Negative, 0 or positive as a is older than, the same as or newer than b.
int compare(const QString &a, const QString &b);
inline bool isNewer(const QString &newest, const QString &running) { return compare(newest, running) > 0; }
// Number of "."-separated parts.
int partCount(const QString &version);

} // namespace VersionNumber
