#include "engine/links/CommandLink.h"
#include "engine/model/EngineState.h"
#include "demo-gateway/FakeGateway.h"
#include "support/LinkRecorders.h"
#include "support/RecordingNotice.h"
#include "support/SilentMessageBox.h"
#include "engine/links/MonitorLink.h"
#include "engine/config/ProgramSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

// A frame that has not arrived by then is lost: the run fails instead of waiting for ever.
constexpr qint64 DeadlineNs = 10'000'000'000;

long peakRssKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The main thread's CPU: the link's own work, without the time spent asleep between chunks.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Monitor frames handed over: timestamps taken when the sink gets them. It stands where the
// translator would and discards the frames, so the figure is the link's part alone.
class TimingSink : public RecordingSink
{
public:
    void Traduci(QString &frames, LogPane &) override
    {
        arrivals.push_back(clock.nsecsElapsed());
        frames.clear();
    }
    QElapsedTimer clock;
    std::vector<qint64> arrivals;
};

void report(const char *what, std::vector<double> v, const char *unit, const QString &command)
{
    std::sort(v.begin(), v.end());
    std::printf("%-54s median %9.3f %-3s best %9.3f  worst %9.3f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
                v.back(), qPrintable(command));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    const int waitMs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int samples = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 2000;
    const int runs = argc > 3 ? std::max(1, QString::fromLocal8Bit(argv[3]).toInt()) : 3;
    const QString command = QStringLiteral("bench_links %1 %2 %3").arg(waitMs).arg(samples).arg(runs);

    QTemporaryDir dir;
    ProgramSettings settings(dir.filePath(QStringLiteral("settings.ini")));
    EngineState state;
    RecordingLogPane Tlog(QStringLiteral("Tlog")), TlogC(QStringLiteral("TlogC"));
    TimingSink sink;
    RecordingStatusBar status;
    RecordingCommandBox box;
    RecordingLinkWindow window;
    RecordingNotice notices;
    SilentMessageBox messages;
    FakeGateway gateway;
    gateway.listen();
    state.link.IpGateway = gateway.address();
    state.link.PortaGateway = QString::number(gateway.port());
    CommandLink commands(state, sink, TlogC, status, box, window, messages);
    MonitorLink monitor(state, settings, commands, sink, Tlog, status, window, notices, messages);

    // 1. One acknowledgement wait that is never answered.
    CommandLink::Timings t;
    t.ackMs = waitMs;
    t.attempts = 1;
    commands.setTimings(t);
    gateway.setFrameReply(FakeGateway::Reply::Silence);
    std::vector<double> waitCpuMs;
    for (int r = 0; r < runs; ++r) {
        const double cpu0 = cpuSeconds();
        commands.SendTCP(QStringLiteral("*1*1*11##"));
        waitCpuMs.push_back((cpuSeconds() - cpu0) * 1000.0);
    }
    report(qPrintable(QStringLiteral("CPU of one %1 ms acknowledgement wait").arg(waitMs)), waitCpuMs, "ms", command);

    // 2. Monitor frames, one at a time: push, then wait for the hand-over.
    if (!monitor.ApriGateway()) {
        out << "monitor session did not open\n";
        return 1;
    }
    std::vector<qint64> delays;
    delays.reserve(static_cast<size_t>(samples));
    sink.clock.start();
    for (int i = 0; i < samples; ++i) {
        const size_t before = sink.arrivals.size();
        const qint64 sent = sink.clock.nsecsElapsed();
        gateway.pushEvent(QStringLiteral("*1*1*11##"));
        QEventLoop loop;
        QObject::connect(&monitor.WSMON(), &QTcpSocket::readyRead, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        while (sink.arrivals.size() == before && sink.clock.nsecsElapsed() - sent < DeadlineNs)
            loop.exec();
        if (sink.arrivals.size() == before) {
            out << "monitor frame " << i + 1 << " was never handed over\n";
            return 1;
        }
        delays.push_back(sink.arrivals.back() - sent);
    }
    std::vector<double> delayUs;
    for (qint64 ns : delays)
        delayUs.push_back(double(ns) / 1000.0);
    report("monitor frame to its hand-over, gateway write included", delayUs, "us", command);

    // 3. An idle command session flooded with 30 MB that never ends a frame, then one frame.
    t.attempts = 3;
    t.ackMs = 2000;
    commands.setTimings(t);
    gateway.setFrameReply(FakeGateway::Reply::Ack);
    if (!commands.SendTCP(QStringLiteral("*1*1*11##"))) {
        out << "command session did not open\n";
        return 1;
    }
    const long rssBefore = peakRssKiB();
    const QString noise(64 * 1024, QLatin1Char('7'));
    std::vector<double> floodCpuMs;
    for (int r = 0; r < runs; ++r) {
        const size_t handedBefore = sink.arrivals.size();
        const double floodCpu0 = threadCpuMs();
        for (int i = 0; i < 480; ++i) {
            gateway.pushCommand(noise);
            // Let the link read it before more is written, so the gateway's side holds little.
            // The loop sleeps while it waits, so the pause costs no CPU.
            QEventLoop pause;
            QTimer::singleShot(2, &pause, &QEventLoop::quit);
            pause.exec();
        }
        gateway.pushCommand(QStringLiteral("*1*0*11##"));
        QElapsedTimer lastFrame;
        lastFrame.start();
        while (sink.arrivals.size() == handedBefore && lastFrame.nsecsElapsed() < DeadlineNs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (sink.arrivals.size() == handedBefore) {
            out << "the frame after the flood never reached the translator\n";
            return 1;
        }
        floodCpuMs.push_back(threadCpuMs() - floodCpu0);
    }
    report("30 MB no \"##\", CPU with the gateway writes", floodCpuMs, "ms", command);
    std::printf("30 MB without \"##\": peak RSS %ld KiB above what it was, receive buffer %lld characters   (%s)\n",
                peakRssKiB() - rssBefore, qlonglong(state.link.BufferCmd.size()), qPrintable(command));
    return 0;
}
