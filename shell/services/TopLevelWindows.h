#pragma once

#include "engine/ports/WindowRegistry.h"

class QWidget;

// The program's loaded windows: the top-level windows that exist, shown or hidden, in the
// order they were made. Menus and tool tips are top-level too, but not windows of the program.
namespace TopLevelWindows {
QList<WindowRegistry::LoadedWindow> loaded();
// The same windows themselves.
QList<QWidget *> programWindows();
} // namespace TopLevelWindows
