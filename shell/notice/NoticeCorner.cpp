#include "shell/notice/NoticeCorner.h"

#include "shell/notice/FrmMsg.h"
#include "shell/services/WindowUtils.h"

#include <QGuiApplication>
#include <QScreen>

namespace NoticeCorner {

QRect defaultRect(const QRect &screen, int taskbarPx)
{
    return {screen.x() + screen.width() - FrmMsg::Width, screen.y() + screen.height() - taskbarPx - FrmMsg::Height,
            FrmMsg::Width, FrmMsg::Height};
}

QRect defaultRect()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    if (!s)
        return defaultRect(QRect(0, 0, 1024, 768), 0);
    // The task bar's height, as the notice's own default position counts it.
    return defaultRect(s->geometry(), WindowUtils::taskbarPixels());
}

} // namespace NoticeCorner
