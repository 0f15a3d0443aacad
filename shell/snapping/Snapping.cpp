#include "shell/snapping/Snapping.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Takes a window out of the table once it has closed; a close that was refused leaves it in.
class CloseWatch : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            QPointer<QWidget> w = qobject_cast<QWidget *>(watched);
            QTimer::singleShot(0, this, [w] {
                if (w && !w->isVisible())
                    Snapping::UndockForm(w);
            });
        }
        return false;
    }
};

QList<QPointer<QWidget>> &table()
{
    static QList<QPointer<QWidget>> entries;
    return entries;
}

// A child of the application, so it goes with it and never outlives the event loop its
// queued calls need; a later application gets a fresh one.
CloseWatch *closeWatch()
{
    static QPointer<CloseWatch> watch;
    if (!watch)
        watch = new CloseWatch(QCoreApplication::instance());
    return watch;
}

void dropDestroyed()
{
    table().removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
}

} // namespace

namespace Snapping {

void DockForm(QWidget *window)
{
    if (!window || isDocked(window))
        return;
    table().append(window);
    window->installEventFilter(closeWatch());
    QObject::connect(window, &QObject::destroyed, closeWatch(), [] { dropDestroyed(); });
}

void UndockForm(QWidget *window)
{
    if (!window)
        return;
    const qsizetype at = table().indexOf(window);
    if (at < 0)
        return;
    table().removeAt(at);
    window->removeEventFilter(closeWatch());
}

bool isDocked(const QWidget *window)
{
    dropDestroyed();
    for (const QPointer<QWidget> &w : table())
        if (w == window)
            return true;
    return false;
}

QList<QWidget *> docked()
{
    dropDestroyed();
    QList<QWidget *> out;
    for (const QPointer<QWidget> &w : table())
        out.append(w.data());
    return out;
}

} // namespace Snapping
