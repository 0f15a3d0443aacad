#pragma once

class QWidget;

// The camera window's registration with window snapping.
namespace CameraDocking {
void dock(QWidget *window);
} // namespace CameraDocking
