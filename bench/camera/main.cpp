#include "demo-gateway/CameraPictureServer.h"
#include "engine/model/EngineState.h"
#include "engine/ports/FrameSender.h"
#include "devices/camera/FrmCamera.h"
#include "support/SilentMessageBox.h"
#include "devices/camera/MotionDetector.h"
#include "engine/config/ProgramSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>
#include <sys/resource.h>

namespace {

class NoSender : public FrameSender
{
public:
    using FrameSender::FrameSender;
    bool SendTCP(const QString &) override { return true; }
    void SendUsb(const QString &, bool) override {}
};

double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void report(const char *what, std::vector<double> v, const char *unit, const QString &command)
{
    std::sort(v.begin(), v.end());
    std::printf("%-36s median %8.3f %s  best %8.3f  worst %8.3f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
                v.back(), qPrintable(command));
    std::fflush(stdout);
}

void benchLoop(int pictures)
{
    QTemporaryDir folder;
    const LoopbackCertificate certificate = LoopbackCertificate::selfSigned(folder.path());
    if (!certificate.isValid())
        qFatal("%s", qPrintable(certificate.error));

    // The server has a thread of its own, so its CPU is not counted as the loop's.
    QThread serverThread;
    auto *server = new CameraPictureServer(certificate);
    server->setFixedBody(CameraPictureServer::drawPicture(0));
    server->moveToThread(&serverThread);
    serverThread.start();
    quint16 port = 0;
    QMetaObject::invokeMethod(server, [&] { port = server->start() ? server->serverPort() : 0; },
                              Qt::BlockingQueuedConnection);
    if (!port)
        qFatal("picture server did not start");

    EngineState state;
    state.programFolder = folder.path();
    state.model.IndirizziCamere.at(1) = QStringLiteral("4001");
    ProgramSettings settings(folder.filePath(QStringLiteral("settings.ini")));
    SilentMessageBox messages{SilentMessageBox::OnMessage::Abort};
    NoSender sender(state.link);
    FrmCamera window({state, settings, messages, sender, nullptr, {}});
    window.setPictureBase(QUrl(QStringLiteral("https://127.0.0.1:") + QString::number(port)));
    CameraTimings timings;
    timings.startWait = 0;
    window.setTimings(timings);

    // A tenth of the pictures (at most 1000) warm up; the rest are timed in ten batches.
    const int warmUp = std::min(1000, pictures / 10);
    const int batch = std::max(1, (pictures - warmUp) / 10);
    int shown = 0;
    long rssAfterWarmUp = 0;
    QElapsedTimer wall;
    double cpuStart = 0;
    double serverCpuStart = 0;
    std::vector<double> wallMs, cpuMs;
    const auto serverCpu = [&] {
        double ms = 0;
        QMetaObject::invokeMethod(server, [&] { ms = threadCpuMs(); }, Qt::BlockingQueuedConnection);
        return ms;
    };
    QObject::connect(&window, &FrmCamera::pictureShown, &window, [&] {
        ++shown;
        if (shown == warmUp)
            rssAfterWarmUp = residentKb();
        if (shown >= warmUp && (shown - warmUp) % batch == 0) {
            if (shown > warmUp) {
                wallMs.push_back(double(wall.nsecsElapsed()) / 1e6 / batch);
                // The server's thread is not the loop's: its CPU is taken out.
                cpuMs.push_back((processCpuMs() - cpuStart - (serverCpu() - serverCpuStart)) / batch);
            }
            wall.start();
            cpuStart = processCpuMs();
            serverCpuStart = serverCpu();
        }
        if (shown >= warmUp + 10 * batch)
            window.StopMe();
    });
    QObject::connect(&window, &FrmCamera::loopEnded, qApp, &QCoreApplication::quit);
    window.Video(1);
    qApp->exec();

    const QString command = QStringLiteral("bench_camera %1").arg(pictures);
    report("picture loop, wall per picture", wallMs, "ms", command);
    report("picture loop, CPU per picture", cpuMs, "ms", command);
    std::printf("resident memory: %ld kB after %d pictures, %ld kB after %d   (%s)\n", rssAfterWarmUp, warmUp,
                residentKb(), shown, qPrintable(command));
    QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
}

void benchMotion(int pictures)
{
    QImage a = QImage::fromData(CameraPictureServer::drawPicture(0)).convertToFormat(QImage::Format_RGB32);
    QImage b = QImage::fromData(CameraPictureServer::drawPicture(2000)).convertToFormat(QImage::Format_RGB32);
    MotionState state;
    constexpr int Passes = 20000;
    std::vector<double> us;
    for (int run = 0; run < 11; ++run) {
        QElapsedTimer t;
        t.start();
        for (int n = 0; n < Passes; ++n)
            MotionDetector::RilevaMovimento(n % 2 ? a : b, state);
        if (run > 0) // the first run warms up
            us.push_back(double(t.nsecsElapsed()) / 1000.0 / Passes);
    }
    report("motion detection, 192-point grid", us, "us", QStringLiteral("bench_camera %1").arg(pictures));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int pictures = argc > 1 ? std::max(20, QString::fromLocal8Bit(argv[1]).toInt()) : 11000;
    benchMotion(pictures);
    benchLoop(pictures);
    return 0;
}
