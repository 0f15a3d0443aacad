#pragma once

#include "shell/main/MainMenus.h"

#include <QString>

class QCloseEvent;
class QWidget;
struct DeviceContext;

// Closing a window that stays loaded until the program ends: its place is saved and its menu
// entry unticked, and unless the program is closing it is only hidden.
void closeKeptLoaded(QWidget *window, QCloseEvent *event, DeviceContext &context, const QString &section,
                     MainMenus::Entry entry);
