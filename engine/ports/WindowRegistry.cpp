#include "WindowRegistry.h"

#include "WindowNames.h"

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
    char digits[24];
    const QLatin1String number(digits, std::to_chars(digits, digits + sizeof digits, zone).ptr);
    const QString &prefix = WindowNames::FrmProbe;
    const QList<LoadedWindow> windows = loadedWindows();
    for (const LoadedWindow &w : windows) {
        const QStringView caption = w.caption;
        if (caption.size() == prefix.size() + number.size() && caption.startsWith(prefix)
            && caption.sliced(prefix.size()) == number)
            return true;
    }
    return false;
}
