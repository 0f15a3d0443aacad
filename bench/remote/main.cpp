#include "engine/model/EngineState.h"
#include "support/LinkRecorders.h"
#include "remote/RemoteAccess.h"
#include "support/RemoteRecorders.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

// The services run on a thread of their own, as they would beside a busy window; the
// clients drive them from the main thread over loopback.
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    const int durationMs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3000;

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
    RecordingLogPane log(QStringLiteral("Tlog"));
    RecordingLamp lamp;
    RecordingStatusBar status;
    RecordingCamera camera;
    RemoteAccess remote;
    remote.attach({state, sender, log, lamp, status, &camera});
    remote.setPorts({QHostAddress::LocalHost, 0, 0, 0});

    QThread services;
    remote.moveToThread(&services);
    services.start();
    bool started = false;
    QMetaObject::invokeMethod(&remote, [&] { started = remote.start(); }, Qt::BlockingQueuedConnection);
    if (!started) {
        out << "the services did not start\n";
        return 1;
    }

    out << "snapshot server, temp.jpg of " << pictureSize << " bytes, " << durationMs << " ms per run\n";
    for (int lanes : {1, 8, 32}) {
        const Result r = snapshots(remote.snapshot()->serverPort(), lanes, durationMs, pictureSize);
        out << QStringLiteral("  %1 parallel: %2 requests/s, p99 %3 ms, %4 failed\n")
                   .arg(lanes, 2)
                   .arg(double(r.done) / r.seconds, 0, 'f', 0)
                   .arg(r.p99Ms, 0, 'f', 2)
                   .arg(r.failed);
        out.flush();
    }
    const Result chum = roundTrips(remote.chum().serverPort(), durationMs);
    out << QStringLiteral("display client: %1 command round trips/s, p99 %2 ms\n")
               .arg(double(chum.done) / chum.seconds, 0, 'f', 0)
               .arg(chum.p99Ms, 0, 'f', 3);

    QMetaObject::invokeMethod(
        &remote,
        [&] {
            remote.stop();
            remote.moveToThread(app.thread());
        },
        Qt::BlockingQueuedConnection);
    services.quit();
    services.wait();
    return 0;
}
