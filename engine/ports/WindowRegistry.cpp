#include "WindowRegistry.h"

bool WindowRegistry::FormAperto(const QString &caption, const QString &name) const
{
    const QList<LoadedWindow> windows = loadedWindows();
    for (const LoadedWindow &w : windows) {
        if (caption.isEmpty() ? w.name == name : w.caption == caption)
            return true;
    }
    return false;
}
