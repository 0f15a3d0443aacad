#include "Docking.h"

// Window snapping plugs in here.
void dockWindow(QWidget *) {}
void undockWindow(QWidget *) {}
