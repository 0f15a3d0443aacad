#include "devices/host/KeptLoaded.h"

#include "devices/host/DeviceContext.h"
#include "engine/model/EngineState.h"
#include "devices/host/SavedPosition.h"

#include <QCloseEvent>
#include <QWidget>

void closeKeptLoaded(QWidget *window, QCloseEvent *event, DeviceContext &context, const QString &section,
                     MainMenus::Entry entry)
{
    SavedPosition::save(window, context.settings, section);
    if (context.menus)
        context.menus->tick(entry, false);
    if (context.state.InChiusura) {
        event->accept();
        return;
    }
    event->ignore();
    window->hide();
}
