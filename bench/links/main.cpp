#include "engine/links/CommandLink.h"
#include "engine/model/EngineState.h"
#include "demo-gateway/FakeGateway.h"
#include "support/LinkRecorders.h"
#include "support/RecordingNotice.h"
#include "engine/ports/MessageBoxService.h"
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
#include <sys/resource.h>
#include <vector>

namespace {

// A frame that has not arrived by then is lost: the run fails instead of waiting for ever.
constexpr qint64 DeadlineNs = 10'000'000'000;

class SilentMessages : public MessageBoxService
{
public:
    void message(const QString &, const QString &, Icon) override {}
    bool askYesNo(const QString &, const QString &, Icon) override { return false; }
};

long peakRssKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Monitor frames handed over: timestamps taken when the sink gets them.
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    const int waitMs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int samples = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 2000;

    QTemporaryDir dir;
    ProgramSettings settings(dir.filePath(QStringLiteral("settings.ini")));
    EngineState state;
    RecordingLogPane Tlog(QStringLiteral("Tlog")), TlogC(QStringLiteral("TlogC"));
    TimingSink sink;
    RecordingStatusBar status;
    RecordingCommandBox box;
    RecordingLinkWindow window;
    RecordingNotice notices;
    SilentMessages messages;
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
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    commands.SendTCP(QStringLiteral("*1*1*11##"));
    const double cpu = cpuSeconds() - cpu0;
    out << "ack wait: " << wall.elapsed() << " ms wall, " << QString::number(cpu * 1000.0, 'f', 2) << " ms CPU\n";

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
            out << "monitor frame " << i + 1 << " never reached the translator\n";
            return 1;
        }
        delays.push_back(sink.arrivals.back() - sent);
    }
    std::sort(delays.begin(), delays.end());
    const auto us = [](qint64 ns) { return QString::number(double(ns) / 1000.0, 'f', 1); };
    out << "monitor frame to translator (" << samples << " frames, loopback write included): median "
        << us(delays[delays.size() / 2]) << " us, p99 " << us(delays[delays.size() * 99 / 100]) << " us, max "
        << us(delays.back()) << " us\n";

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
    const size_t handedBefore = sink.arrivals.size();
    wall.restart();
    for (int i = 0; i < 480; ++i) {
        gateway.pushCommand(noise);
        // Let the link read it before more is written, so the gateway's side holds little.
        QElapsedTimer pass;
        pass.start();
        while (pass.elapsed() < 2)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
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
    out << "30 MB without \"##\" on an idle command session: " << wall.elapsed() << " ms, peak RSS "
        << (peakRssKiB() - rssBefore) << " KiB above what it was, receive buffer "
        << state.link.BufferCmd.size() << " characters\n";
    return 0;
}
