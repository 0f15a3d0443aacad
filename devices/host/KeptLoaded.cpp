#include "KeptLoaded.h"

#include "DeviceContext.h"
#include "EngineState.h"
#include "SavedPosition.h"

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
