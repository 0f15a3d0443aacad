#include "demo-gateway/CameraPictureServer.h"
#include "engine/model/EngineState.h"
#include "engine/ports/FrameSender.h"
#include "devices/camera/FrmCamera.h"
#include "engine/ports/MessageBoxService.h"
#include "devices/camera/MotionDetector.h"
#include "engine/config/ProgramSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <ctime>
#include <sys/resource.h>

namespace {

class NoSender : public FrameSender
{
public:
    using FrameSender::FrameSender;
    bool SendTCP(const QString &) override { return true; }
    void SendUsb(const QString &, bool) override {}
};

class NoMessages : public MessageBoxService
{
public:
    void message(const QString &text, const QString &, Icon) override { qFatal("%s", qPrintable(text)); }
    bool askYesNo(const QString &, const QString &, Icon) override { return false; }
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

void benchLoop(QTextStream &out, int pictures)
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
    NoMessages messages;
    NoSender sender(state.link);
    FrmCamera window({state, settings, messages, sender, nullptr, {}});
    window.setPictureBase(QUrl(QStringLiteral("https://127.0.0.1:") + QString::number(port)));
    CameraTimings timings;
    timings.startWait = 0;
    window.setTimings(timings);

    int shown = 0;
    long rssAt1000 = 0;
    QElapsedTimer wall;
    double cpuStart = 0;
    double serverCpu = 0;
    QObject::connect(&window, &FrmCamera::pictureShown, &window, [&] {
        ++shown;
        if (shown == 1000) {
            rssAt1000 = residentKb();
            wall.start();
            cpuStart = processCpuMs();
            QMetaObject::invokeMethod(server, [&] { serverCpu = -threadCpuMs(); }, Qt::BlockingQueuedConnection);
        }
        if (shown == pictures)
            window.StopMe();
    });
    QObject::connect(&window, &FrmCamera::loopEnded, qApp, &QCoreApplication::quit);
    window.Video(1);
    qApp->exec();

    const double seconds = wall.elapsed() / 1000.0;
    const double cpu = processCpuMs() - cpuStart;
    QMetaObject::invokeMethod(server, [&] { serverCpu += threadCpuMs(); }, Qt::BlockingQueuedConnection);
    const int measured = pictures - 1000;
    out << "picture loop, " << measured << " pictures after 1000 warm-up: " << QString::number(measured / seconds, 'f', 0)
        << " pictures/s, CPU of the loop " << QString::number((cpu - serverCpu) / measured, 'f', 3)
        << " ms/picture (server thread " << QString::number(serverCpu / measured, 'f', 3) << " ms/picture excluded)\n";
    out << "resident memory: " << rssAt1000 << " kB after 1000 pictures, " << residentKb() << " kB after " << pictures
        << "\n";
    QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
}

void benchMotion(QTextStream &out)
{
    QImage a = QImage::fromData(CameraPictureServer::drawPicture(0)).convertToFormat(QImage::Format_RGB32);
    QImage b = QImage::fromData(CameraPictureServer::drawPicture(2000)).convertToFormat(QImage::Format_RGB32);
    MotionState state;
    constexpr int Passes = 200000;
    QElapsedTimer t;
    t.start();
    for (int n = 0; n < Passes; ++n)
        MotionDetector::RilevaMovimento(n % 2 ? a : b, state);
    out << "motion detection, 192-point grid: " << QString::number(t.nsecsElapsed() / 1000.0 / Passes, 'f', 2)
        << " us/picture\n";
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    const int pictures = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 11000;
    benchMotion(out);
    out.flush();
    benchLoop(out, pictures);
    return 0;
}
