#pragma once

#include <QIcon>
#include <QString>

// The pictures built into the shell library (toolbar, tray, console).
namespace ShellResources {
// Registers the library's resources; a static library's are not registered by themselves.
void init();
QIcon icon(const QString &name);
} // namespace ShellResources
