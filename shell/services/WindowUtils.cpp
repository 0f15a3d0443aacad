#include "shell/services/WindowUtils.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace WindowUtils {

double twipsPerPixelX()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s && s->logicalDotsPerInchX() > 0 ? 1440.0 / s->logicalDotsPerInchX() : 15.0;
}

double twipsPerPixelY()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s && s->logicalDotsPerInchY() > 0 ? 1440.0 / s->logicalDotsPerInchY() : 15.0;
}

int taskbarPixels()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() - s->availableGeometry().height() : 0;
}

int AltezzaTaskbar() { return int(std::lround(taskbarPixels() * twipsPerPixelY())); }

bool isDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void SempreInPrimoPiano(QWidget *window, bool on)
{
    if (!window)
        return;
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    window->show();
}

} // namespace WindowUtils
