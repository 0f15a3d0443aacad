#include "engine/links/LinkWait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QTimer>

namespace {
// Nested waits (a send started from an event inside another wait) stack up here.
QList<QPointer<QEventLoop>> &runningLoops()
{
    static QList<QPointer<QEventLoop>> loops;
    return loops;
}
} // namespace

LinkWait::Outcome LinkWait::run(const std::function<bool()> &done, const std::function<bool()> &abort,
                                int timeoutMs, std::initializer_list<Source> wakers)
{
    const QDeadlineTimer deadline(qMax(0, timeoutMs), Qt::PreciseTimer);
    QEventLoop loop;
    // Handlers connected before the wait (the links' own slots) run first, so the state
    // they update is in place when the loop wakes.
    for (const Source &s : wakers)
        QObject::connect(s.sender, s.signal, &loop, SLOT(quit()));
    QTimer tick;
    tick.setTimerType(Qt::CoarseTimer);
    // The tick catches what changes without a signal (the closing flag, the monitor button,
    // another send's busy flag); it wakes the loop for nothing else.
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (abort() || done())
            loop.quit();
    });
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);

    runningLoops().append(&loop);
    struct Unregister
    {
        QEventLoop *l;
        ~Unregister() { runningLoops().removeAll(l); }
    } unregister{&loop};

    bool firstPass = true;
    for (;;) {
        if (abort())
            return Outcome::Aborted;
        if (done())
            return Outcome::Done;
        if (deadline.hasExpired() && !firstPass)
            return Outcome::TimedOut;
        if (deadline.hasExpired()) {
            // One pass of pending events even when no time is left, so a wait with a zero
            // or spent deadline still lets an answer already queued be read.
            loop.processEvents(QEventLoop::AllEvents);
            firstPass = false;
            continue;
        }
        firstPass = false;
        const qint64 left = deadline.remainingTime();
        end.start(static_cast<int>(qMax<qint64>(1, left)));
        if (!tick.isActive())
            tick.start(SafetyTickMs);
        loop.exec();
    }
}

void LinkWait::wakeAll()
{
    for (const QPointer<QEventLoop> &l : std::as_const(runningLoops())) {
        if (l)
            l->quit();
    }
}
