#include "TopLevelWindows.h"

#include <QApplication>
#include <QWidget>

QList<WindowRegistry::LoadedWindow> TopLevelWindows::loaded()
{
    QList<WindowRegistry::LoadedWindow> out;
    const auto widgets = QApplication::topLevelWidgets();
    for (const QWidget *w : widgets) {
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        out.append({w->windowTitle(), w->objectName()});
    }
    return out;
}
