#pragma once

#include <QIcon>
#include <QString>

class QToolButton;
class QWidget;

// The pictures built into the shell library (toolbar, tray, console).
namespace ShellResources {
// Registers the library's resources; a static library's are not registered by themselves.
void init();
QIcon icon(const QString &name);
// A flat button that shows one of those pictures at `size` pixels.
QToolButton *iconButton(QWidget *parent, const char *objectName, const QString &iconName, int size);
} // namespace ShellResources
