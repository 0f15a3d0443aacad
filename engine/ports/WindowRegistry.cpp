#include "engine/ports/WindowRegistry.h"

#include "engine/model/WindowNames.h"

#include <algorithm>
#include <charconv>

bool WindowRegistry::FormAperto(const QList<LoadedWindow> &windows, const QString &caption, const QString &name)
{
    for (const LoadedWindow &w : windows) {
        if (caption.isEmpty() ? w.name == name : w.caption == caption)
            return true;
    }
    return false;
}

bool WindowRegistry::probeOpen(qint64 zone) const
{
    // The caption wanted, "FrmProbe" and the zone, written on the stack.
    const QString &prefix = WindowNames::FrmProbe;
    QChar caption[64];
    QChar *end = std::copy(prefix.cbegin(), prefix.cend(), caption);
    char digits[24];
    const char *const digitsEnd = std::to_chars(digits, digits + sizeof digits, zone).ptr;
    for (const char *d = digits; d != digitsEnd; ++d)
        *end++ = QLatin1Char(*d);
    const QStringView wanted(caption, end);
    const QList<LoadedWindow> windows = loadedWindows();
    for (const LoadedWindow &w : windows) {
        // From the end: the probe windows' captions differ in their last digits.
        if (w.caption.size() == wanted.size()
            && std::equal(wanted.rbegin(), wanted.rend(), QStringView(w.caption).rbegin()))
            return true;
    }
    return false;
}
