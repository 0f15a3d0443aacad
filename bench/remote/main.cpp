#include "engine/model/EngineState.h"
#include "support/LinkRecorders.h"
#include "remote/RemoteAccess.h"
#include "support/RemoteRecorders.h"
#include "shell/main/ConsolePane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

// Remote services: snapshot requests per second and p99 latency with 1, 8 and 32 parallel
// loopback clients, display-client command round trips per second, and a display client's
// burst of 1 MiB of commands in one write (524,288 unknown commands "x"): the longest wait of
// the client between two replies, the longest stall of a 10 ms timer of the services' thread
// (the gap between ticks, so 10 ms at best) and the time until the last reply. The services
// run on the main thread, where the program runs them, and log into a monitor pane on show
// (offscreen); the clients run on a second thread so that their work is not counted as the
// services'. The display client's commands reach a sender that records them, not a gateway:
// the round trip is the services' part alone.
//
//   bench_remote [ms per run] [runs]        (offscreen by itself; run it in a network namespace)
namespace {

const QByteArray Request = "GET / HTTP/1.1\r\nHost: 127.0.0.1:1037\r\n\r\n";

struct Result
{
    qint64 done = 0;
    qint64 failed = 0;
    double seconds = 0;
    double p99Ms = 0;
};

double percentile99(std::vector<qint64> &ns)
{
    if (ns.empty())
        return 0;
    std::sort(ns.begin(), ns.end());
    return double(ns[size_t(double(ns.size() - 1) * 0.99)]) / 1e6;
}

// `lanes` clients, each fetching the picture again as soon as it has the previous one.
Result snapshots(quint16 port, int lanes, int durationMs, int expectedSize)
{
    Result r;
    std::vector<qint64> latencies;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    int running = lanes;
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::function<void(int)> fetch = [&](int lane) {
        auto &s = sockets[size_t(lane)];
        s = std::make_unique<QTcpSocket>();
        auto *socket = s.get();
        auto started = std::make_shared<qint64>(clock.nsecsElapsed());
        auto received = std::make_shared<qint64>(0);
        QObject::connect(socket, &QTcpSocket::connected, socket, [socket] { socket->write(Request); });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, received] { *received += socket->readAll().size(); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [&, lane, socket, started, received] {
            *received += socket->readAll().size();
            if (*received == expectedSize) {
                ++r.done;
                latencies.push_back(clock.nsecsElapsed() - *started);
            } else {
                ++r.failed;
            }
            socket->deleteLater();
            sockets[size_t(lane)].release();
            if (clock.elapsed() < durationMs)
                QTimer::singleShot(0, [&, lane] { fetch(lane); });
            else if (--running == 0)
                loop.quit();
        });
        socket->connectToHost(QHostAddress::LocalHost, port);
    };
    sockets.resize(size_t(lanes));
    for (int i = 0; i < lanes; ++i)
        fetch(i);
    loop.exec();
    r.seconds = double(clock.nsecsElapsed()) / 1e9;
    r.p99Ms = percentile99(latencies);
    return r;
}

// One display client sending a command and waiting for its "ok" before the next. It answers
// the listener's keep-alive probe as a client must, or it would be dropped after 9 s.
Result roundTrips(quint16 port, int durationMs)
{
    Result r;
    std::vector<qint64> latencies;
    QTcpSocket socket;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 started = 0;
    QByteArray buffer;
    const QByteArray ok("ok\0", 3);
    const QByteArray probe("on?\0", 4);
    const auto send = [&] {
        started = clock.nsecsElapsed();
        socket.write(QByteArray("hello\0", 6));
    };
    QObject::connect(&socket, &QTcpSocket::connected, [&] {
        clock.start();
        send();
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        buffer += socket.readAll();
        for (;;) {
            if (buffer.startsWith(probe)) {
                buffer.remove(0, probe.size());
                socket.write(QByteArray("yep\0", 4));
                continue;
            }
            if (!buffer.startsWith(ok))
                break;
            buffer.remove(0, ok.size());
            ++r.done;
            latencies.push_back(clock.nsecsElapsed() - started);
            if (clock.elapsed() < durationMs)
                send();
            else
                loop.quit();
        }
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    r.seconds = double(clock.nsecsElapsed()) / 1e9;
    r.p99Ms = percentile99(latencies);
    return r;
}

struct Burst
{
    double replyGapMs = 0;
    double totalMs = 0;
    bool complete = false;
};

// One display client writes `commands` unknown commands at once and reads every reply.
Burst commandBurst(quint16 port, int commands)
{
    Burst b;
    QTcpSocket socket;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 replies = 0;
    qint64 last = 0;
    qint64 worst = 0;
    const QByteArray probe("on?\0", 4);
    QObject::connect(&socket, &QTcpSocket::connected, [&] {
        QByteArray burst;
        burst.reserve(qsizetype(commands) * 2);
        for (int i = 0; i < commands; ++i)
            burst.append("x\0", 2);
        clock.start();
        socket.write(burst);
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        const QByteArray data = socket.readAll();
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
        const qsizetype probes = data.count(probe);
        for (qsizetype i = 0; i < probes; ++i)
            socket.write(QByteArray("yep\0", 4));
        replies += data.count('\0') - probes;
        if (replies >= commands)
            loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    b.complete = replies >= commands;
    b.replyGapMs = double(worst) / 1e6;
    b.totalMs = double(last) / 1e6;
    return b;
}

// Best is the highest rate but the lowest latency.
enum class Better { Higher, Lower };

void report(const QString &what, std::vector<double> v, const char *unit, Better better, const QString &command)
{
    std::sort(v.begin(), v.end());
    if (better == Better::Higher)
        std::reverse(v.begin(), v.end());
    std::printf("%-44s median %9.2f %-10s best %9.2f  worst %9.2f   (%s)\n", qPrintable(what), v[v.size() / 2], unit,
                v.front(), v.back(), qPrintable(command));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int durationMs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 3;
    const QString command = QStringLiteral("bench_remote %1 %2").arg(durationMs).arg(runs);

    QTemporaryDir dir;
    const int pictureSize = 30 * 1024;
    {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("temp.jpg")));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(QByteArray(pictureSize, 'j'));
    }

    EngineState state;
    state.programFolder = dir.path();
    RecordingSender sender(state.link);
    ConsolePane log(QStringLiteral("Tlog"));
    log.resize(800, 400);
    log.show();
    RecordingLamp lamp;
    RecordingStatusBar status;
    RecordingCamera camera;
    RemoteAccess remote;
    remote.attach({state, sender, log, lamp, status, &camera});
    remote.setPorts({QHostAddress::LocalHost, 0, 0, 0});
    if (!remote.start()) {
        std::fprintf(stderr, "the services did not start\n");
        return 1;
    }
    const quint16 snapshotPort = remote.snapshot()->serverPort();
    const quint16 chumPort = remote.chum().serverPort();

    // The services' thread as a timer on it sees it: the longest gap between its ticks.
    std::atomic<qint64> worstStallNs{0};
    QElapsedTimer ticks;
    qint64 lastTick = 0;
    QTimer stallTick;
    stallTick.setInterval(10);
    QObject::connect(&stallTick, &QTimer::timeout, [&] {
        const qint64 now = ticks.nsecsElapsed();
        if (now - lastTick > worstStallNs.load())
            worstStallNs = now - lastTick;
        lastTick = now;
    });
    ticks.start();
    stallTick.start();

    std::printf("remote services on the main thread, clients on a second thread, display-client commands "
                "into a recorder (no gateway); temp.jpg of %d bytes, "
                "%d ms per run, %d runs\n",
                pictureSize, durationMs, runs);
    std::fflush(stdout);
    bool failed = false;
    QThread *clients = QThread::create([&] {
        const auto must = [&](const Result &r) {
            if (r.failed || !r.done)
                failed = true;
            return r;
        };
        // One short pass of each kind first, so that the first measured run does not pay for
        // the first connections.
        must(snapshots(snapshotPort, 8, std::min(durationMs, 300), pictureSize));
        must(roundTrips(chumPort, std::min(durationMs, 300)));
        for (int lanes : {1, 8, 32}) {
            std::vector<double> rate, p99;
            for (int r = 0; r < runs; ++r) {
                const Result x = must(snapshots(snapshotPort, lanes, durationMs, pictureSize));
                rate.push_back(double(x.done) / x.seconds);
                p99.push_back(x.p99Ms);
            }
            report(QStringLiteral("snapshot, %1 parallel, throughput").arg(lanes), rate, "requests/s", Better::Higher, command);
            report(QStringLiteral("snapshot, %1 parallel, p99 latency").arg(lanes), p99, "ms", Better::Lower, command);
        }
        std::vector<double> rate, p99;
        for (int r = 0; r < runs; ++r) {
            const Result x = must(roundTrips(chumPort, durationMs));
            rate.push_back(double(x.done) / x.seconds);
            p99.push_back(x.p99Ms);
        }
        report(QStringLiteral("display client to recorder, round trips"), rate, "per s", Better::Higher, command);
        report(QStringLiteral("display client to recorder, p99 round trip"), p99, "ms", Better::Lower, command);

        constexpr int BurstCommands = 512 * 1024;
        std::vector<double> gap, stall, total;
        for (int r = 0; r < runs; ++r) {
            worstStallNs = 0;
            const Burst b = commandBurst(chumPort, BurstCommands);
            if (!b.complete)
                failed = true;
            gap.push_back(b.replyGapMs);
            stall.push_back(double(worstStallNs.load()) / 1e6);
            total.push_back(b.totalMs);
        }
        report(QStringLiteral("1 MiB of commands, longest wait for a reply"), gap, "ms", Better::Lower, command);
        report(QStringLiteral("1 MiB of commands, longest thread stall"), stall, "ms", Better::Lower, command);
        report(QStringLiteral("1 MiB of commands, until the last reply"), total, "ms", Better::Lower, command);
    });
    QObject::connect(clients, &QThread::finished, &app, &QCoreApplication::quit);
    clients->start();
    app.exec();
    clients->wait();
    delete clients;
    remote.stop();
    if (failed)
        std::fprintf(stderr, "some requests failed\n");
    return failed ? 1 : 0;
}
