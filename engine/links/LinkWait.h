#pragma once

#include <QObject>
#include <functional>

// Waits on the gateway without blocking the thread or spinning: a local event loop that
// wakes on the signals handed to it, re-tests its condition each time, and gives up on a
// monotonic deadline. Setting InChiusura wakes every wait at once; what changes without a
// signal (the monitor button, a flag) is seen at a slow safety tick or at once after wakeAll().
class LinkWait
{
public:
    enum class Outcome { Done, TimedOut, Aborted };

    struct Source
    {
        const QObject *sender;
        const char *signal;  // SIGNAL(...) text
    };

    // Runs until done() holds (Done), abort() holds (Aborted) or timeoutMs passed.
    // Both conditions are tested before the first pass too. timeoutMs 0 still runs one
    // pass of pending events.
    static Outcome run(const std::function<bool()> &done, const std::function<bool()> &abort, int timeoutMs,
                       std::initializer_list<Source> wakers);

    // Makes every running wait test its conditions now (switching the monitor button off).
    static void wakeAll();

    static constexpr int SafetyTickMs = 100;
};
