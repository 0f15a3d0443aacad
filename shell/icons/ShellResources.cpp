#include "shell/icons/ShellResources.h"

#include "shell/services/WindowUtils.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolButton>
#include <QtGlobal>

static void registerShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace ShellResources {

namespace {
// The slate of the pictures' outlines, drawn for a light window.
const QByteArray DarkLine = QByteArrayLiteral("#4a5568");
} // namespace

void init()
{
    static const bool done = [] {
        registerShellResources();
        return true;
    }();
    Q_UNUSED(done);
}

QIcon icon(const QString &name)
{
    init();
    const QString path = QStringLiteral(":/ombrix/icons/") + name + QStringLiteral(".svg");
    const QPalette desktop = QApplication::palette();
    if (!WindowUtils::isDarkPalette(desktop))
        return QIcon(path);
    // The pictures' dark slate lines vanish on a dark window: they take the palette's text
    // colour, softened towards the window, and are drawn at each size and scale they are used.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon(path);
    const QColor text = desktop.color(QPalette::WindowText);
    const QColor window = desktop.color(QPalette::Window);
    const QColor line = QColor::fromRgbF(0.8f * text.redF() + 0.2f * window.redF(),
                                         0.8f * text.greenF() + 0.2f * window.greenF(),
                                         0.8f * text.blueF() + 0.2f * window.blueF());
    QByteArray svg = file.readAll();
    svg.replace(DarkLine, line.name().toLatin1());
    QSvgRenderer renderer(svg);
    QIcon recoloured;
    for (const int size : {16, 18, 22, 24, 32, 48}) {
        for (const qreal scale : {1.0, 2.0}) {
            QPixmap picture(QSize(size, size) * scale);
            picture.setDevicePixelRatio(scale);
            picture.fill(Qt::transparent);
            QPainter p(&picture);
            renderer.render(&p, QRectF(0, 0, size, size));
            p.end();
            recoloured.addPixmap(picture);
        }
    }
    return recoloured;
}

QToolButton *iconButton(QWidget *parent, const char *objectName, const QString &iconName, int size)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setIcon(icon(iconName));
    b->setIconSize(QSize(size, size));
    b->setAutoRaise(true);
    return b;
}

} // namespace ShellResources
