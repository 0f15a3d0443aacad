#include "WindowRegistry.h"

bool WindowRegistry::FormAperto(const QList<LoadedWindow> &windows, const QString &caption, const QString &name)
{
    for (const LoadedWindow &w : windows) {
        if (caption.isEmpty() ? w.name == name : w.caption == caption)
            return true;
    }
    return false;
}
