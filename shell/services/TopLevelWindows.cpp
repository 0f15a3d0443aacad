#include "shell/services/TopLevelWindows.h"

#include <QApplication>
#include <QWidget>

QList<WindowRegistry::LoadedWindow> TopLevelWindows::loaded()
{
    QList<WindowRegistry::LoadedWindow> out;
    for (const QWidget *w : programWindows())
        out.append({w->windowTitle(), w->objectName()});
    return out;
}

QList<QWidget *> TopLevelWindows::programWindows()
{
    QList<QWidget *> out;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *w : widgets) {
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        out.append(w);
    }
    return out;
}
