#include "ShellWindows.h"

#include "DeviceWindows.h"

#include <QApplication>
#include <QWidget>

QList<WindowRegistry::LoadedWindow> ShellWindows::loadedWindows() const
{
    QList<LoadedWindow> out;
    const auto widgets = QApplication::topLevelWidgets();
    for (const QWidget *w : widgets) {
        // Menus and tooltips are top-level too, but they are not windows of the program.
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        out.append({w->windowTitle(), w->objectName()});
    }
    return out;
}

void ShellWindows::AggiornaAux(bool createHidden)
{
    if (m_windows && (createHidden || m_windows->isLoaded(QStringLiteral("FrmAux"))))
        m_windows->refresh(QStringLiteral("FrmAux"));
}
