// A gateway hands over a burst of lighting frames at once on the monitor session, while a
// display client is connected and keeps asking for the camera list. Measured through the
// program as main() wires it, offscreen:
//   stall   the longest gap between ticks of a 10 ms timer of the window's thread
//   reply   the longest wait of the display client for its "cam" answer
//   total   from the burst's write until the client has every line, and per frame
//   peak    resident memory (getrusage)
// with notices on for lighting and without.
//
//   bench_burst [frames] [runs]        (offscreen by itself; run it in a network namespace)
#include "app/Program.h"
#include "demo-gateway/FakeGateway.h"
#include "engine/config/SettingKeys.h"
#include "support/SilentMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The gateway and the display client live on a thread of their own, so that their work is not
// counted as the program's and they go on while the window's thread is busy.
class Outside : public QObject
{
public:
    FakeGateway *gateway = nullptr;
    QTcpSocket *client = nullptr;
    QByteArray buffer;
    QElapsedTimer clock;
    std::atomic<qint64> lines{0};
    std::atomic<qint64> lastLineNs{0};
    std::atomic<qint64> worstReplyNs{0};
    qint64 camSentNs = -1;
    bool asking = false;

    void make()
    {
        gateway = new FakeGateway(this);
        gateway->listen();
    }

    void connectClient(quint16 port)
    {
        client = new QTcpSocket(this);
        connect(client, &QTcpSocket::readyRead, this, [this] { read(); });
        client->connectToHost(QHostAddress::LocalHost, port);
    }

    void askCam()
    {
        camSentNs = clock.nsecsElapsed();
        client->write(QByteArray("cam\0", 4));
    }

    void burst(const QByteArray &frames)
    {
        lines = 0;
        worstReplyNs = 0;
        clock.start();
        asking = true;
        gateway->pushEvent(QString::fromLatin1(frames));
        askCam();
    }

    void read()
    {
        buffer += client->readAll();
        qsizetype start = 0;
        for (qsizetype end; (end = buffer.indexOf('\0', start)) >= 0; start = end + 1) {
            const QByteArrayView m(buffer.constData() + start, end - start);
            if (m == "on?") {
                client->write(QByteArray("yep\0", 4));
            } else if (m.startsWith("cam")) {
                worstReplyNs = std::max<qint64>(worstReplyNs, clock.nsecsElapsed() - camSentNs);
                if (asking)
                    askCam();
            } else if (m != "ok") {
                ++lines;
                lastLineNs = clock.nsecsElapsed();
            }
        }
        buffer.remove(0, start);
    }
};

struct Figures
{
    double stallMs = 0;
    double replyMs = 0;
    double totalMs = 0;
    bool complete = false;
};

QByteArray burstOf(int frames)
{
    QByteArray out;
    out.reserve(qsizetype(frames) * 11);
    for (int i = 0; i < frames; ++i)
        out += "*1*" + QByteArray::number(i % 2) + '*' + QByteArray::number(11 + i % 89) + "##";
    return out;
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

template <typename F>
bool waitFor(F done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

Figures oneRun(QThread &thread, int frames, bool notices)
{
    Figures f;
    QTemporaryDir dir;
    for (const char *name : {"italian.lng", "english.lng", "conf.xml"})
        QFile::copy(QStringLiteral(OMBRIX_SOURCE_DIR "/data/") + QLatin1String(name),
                    QDir(dir.path()).filePath(QLatin1String(name)));

    Outside outside;
    outside.moveToThread(&thread);
    QMetaObject::invokeMethod(&outside, [&] { outside.make(); }, Qt::BlockingQueuedConnection);

    SilentMessageBox boxes{SilentMessageBox::OnMessage::Print};
    Program::Seams seams;
    seams.programFolder = dir.path();
    seams.settingsFile = QDir(dir.path()).filePath(QStringLiteral("settings.ini"));
    seams.messages = &boxes;
    seams.trayAvailable = false;
    seams.remotePorts = RemoteAccess::Ports{QHostAddress::LocalHost, 0, 0, 0};
    {
        Program program(seams);
        ProgramSettings &s = program.settings();
        s.save(SettingKeys::ServerIP, QStringLiteral("127.0.0.1"));
        s.save(SettingKeys::ServerPORT, QString::number(outside.gateway->port()));
        s.save(SettingKeys::Monitor, QStringLiteral("1"));
        s.save(SettingKeys::Agent, QStringLiteral("0"));
        s.save(SettingKeys::WsChum, QStringLiteral("1"));
        s.save(SettingKeys::OptionSection, SettingKeys::whoKey(0), notices ? QStringLiteral("1") : QStringLiteral("0"));
        program.start();
        const auto monitorOpen = [&] {
            int open = 0;
            QMetaObject::invokeMethod(&outside, [&] { open = outside.gateway->openSessions(FakeGateway::Kind::Monitor); },
                                      Qt::BlockingQueuedConnection);
            return open == 1;
        };
        RemoteAccess &remote = program.services().remote;
        if (!waitFor(monitorOpen, 10000) || !waitFor([&] { return remote.chum().isListening(); }, 5000)) {
            std::fprintf(stderr, "the monitor session or the display listener did not open\n");
            return f;
        }
        const quint16 chumPort = remote.chum().serverPort();
        QMetaObject::invokeMethod(&outside, [&] { outside.connectClient(chumPort); }, Qt::BlockingQueuedConnection);
        if (!waitFor([&] { return remote.chum().ClienteConnesso(); }, 5000)) {
            std::fprintf(stderr, "the display client did not connect\n");
            return f;
        }
        settle(300);

        const QByteArray bytes = burstOf(frames);
        QElapsedTimer ticks;
        qint64 lastTick = 0;
        qint64 worstGap = 0;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = ticks.nsecsElapsed();
            worstGap = std::max(worstGap, now - lastTick);
            lastTick = now;
        });
        ticks.start();
        tick.start();
        QMetaObject::invokeMethod(&outside, [&] { outside.burst(bytes); }, Qt::BlockingQueuedConnection);
        f.complete = waitFor([&] { return outside.lines.load() >= frames; }, std::max(60000, frames * 2));
        tick.stop();
        QMetaObject::invokeMethod(&outside, [&] { outside.asking = false; }, Qt::BlockingQueuedConnection);
        f.stallMs = double(worstGap) / 1e6;
        f.replyMs = double(outside.worstReplyNs.load()) / 1e6;
        f.totalMs = double(outside.lastLineNs.load()) / 1e6;
        if (!f.complete)
            std::fprintf(stderr, "only %lld of %d lines reached the client\n", qlonglong(outside.lines.load()), frames);
        program.state().InChiusura = true;
    }
    QMetaObject::invokeMethod(&outside, [&] {
        delete outside.client;
        delete outside.gateway;
        outside.moveToThread(qApp->thread());
    }, Qt::BlockingQueuedConnection);
    return f;
}

void report(const char *what, std::vector<double> v, const char *unit, const QString &command)
{
    std::sort(v.begin(), v.end());
    std::printf("%-34s median %10.3f %s  best %10.3f  worst %10.3f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
                v.back(), qPrintable(command));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int frames = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int runs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 3;
    const QString command = QStringLiteral("bench_burst %1 %2").arg(frames).arg(runs);

    QThread thread;
    thread.start();
    std::printf("burst of %d lighting frames on the monitor session, display client connected, %d runs\n", frames,
                runs);
    for (const bool notices : {true, false}) {
        std::vector<double> stall, reply, total, perFrame;
        for (int r = 0; r < runs; ++r) {
            const Figures f = oneRun(thread, frames, notices);
            if (!f.complete)
                return 1;
            stall.push_back(f.stallMs);
            reply.push_back(f.replyMs);
            total.push_back(f.totalMs);
            perFrame.push_back(f.totalMs * 1000.0 / frames);
        }
        const char *label = notices ? "notices on " : "notices off";
        std::printf("%s:\n", label);
        report("  longest event-loop stall", stall, "ms", command);
        report("  display client \"cam\" reply", reply, "ms", command);
        report("  burst until the client has all", total, "ms", command);
        report("  per frame, end to end", perFrame, "us", command);
        std::fflush(stdout);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory %.1f MiB   (%s)\n", double(usage.ru_maxrss) / 1024.0, qPrintable(command));
    thread.quit();
    thread.wait();
    return 0;
}
