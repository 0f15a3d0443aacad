#pragma once

class QWidget;

// Edge snapping of the floating buttons while they are loaded.
namespace ButtonSnapping {
// Window snapping plugs in here (registration at load, withdrawal at unload).
inline void DockForm(QWidget *) {}
inline void UndockForm(QWidget *) {}
} // namespace ButtonSnapping
