#pragma once

class QWidget;

// Where the device windows register for edge snapping and withdraw from it. Window snapping
// plugs in here; until then a registration does nothing.
void dockWindow(QWidget *window);
void undockWindow(QWidget *window);
