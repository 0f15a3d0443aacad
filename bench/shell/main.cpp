// The main window's costs, on the program as main() builds it (app/Program) and the shipped
// language files:
//   start   time from building the program to its window shown, conf.xml with 1000 points
//   memory  resident memory while 200,000 frames of bus traffic go through the translator
//           into the monitor pane, as fast as the program takes them
//   append  cost of appending one line to a full monitor pane (the bound trims every time)
//
//   QT_QPA_PLATFORM=offscreen bench_shell [runs]     (BENCH_FRAMES=n: traffic of n frames)
#include "app/Program.h"
#include "engine/config/SettingKeys.h"
#include "engine/translator/FrameTranslator.h"
#include "shell/main/ConsolePane.h"
#include "support/FakeVoices.h"
#include "support/RecordingFileDialog.h"
#include "support/SilentMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The program with its seams set as the app tests set them: its own folder and settings file,
// dialogs nobody answers, voices that speak nothing, no tray, and the remote services on
// loopback ports of the system's choosing. Everything else is the program's own, defaults
// included (the monitor off, the character on), but the gateway's address: loopback, so that
// nothing the program does can reach out of this computer.
struct BenchProgram
{
    explicit BenchProgram(const QString &folder)
        : boxes(SilentMessageBox::OnMessage::Print), program(seams(folder))
    {
        program.settings().save(SettingKeys::ServerIP, QStringLiteral("127.0.0.1"));
    }

    Program::Seams seams(const QString &folder)
    {
        Program::Seams s;
        s.programFolder = folder;
        s.settingsFile = QDir(folder).filePath(QStringLiteral("settings.ini"));
        s.messages = &boxes;
        s.files = &files;
        s.voices = voices.factory();
        s.trayAvailable = false;
        s.remotePorts = RemoteAccess::Ports{QHostAddress::LocalHost, 0, 0, 0};
        return s;
    }

    SilentMessageBox boxes;
    RecordingFileDialog files;
    FakeVoices voices;
    Program program;
};

void copyShipped(const QString &folder)
{
    for (const char *name : {"italian.lng", "english.lng"})
        QFile::copy(QStringLiteral(OMBRIX_SOURCE_DIR "/data/") + QLatin1String(name),
                    QDir(folder).filePath(QLatin1String(name)));
}

void writeConf(const QString &folder, int points)
{
    QFile f(QDir(folder).filePath(QStringLiteral("conf.xml")));
    if (!f.open(QIODevice::WriteOnly))
        return;
    QByteArray xml = "<?xml version=\"1.0\"?>\r\n<ACTUATOR>\r\n<version number=\"1.0.4\"/>\r\n";
    for (int p = 0; p < points; ++p)
        xml += "<device point=\"" + QByteArray::number(p) + "\" name=\"Punto " + QByteArray::number(p)
            + "\" type=\"" + QByteArray::number(1 + p % 2) + "\" group=\"" + QByteArray::number(p % 10)
            + "\"></device>\r\n";
    for (int z = 1; z <= 20; ++z)
        xml += "<probe name=\"Zona " + QByteArray::number(z) + "\" number=\"" + QByteArray::number(z) + "\"></probe>\r\n";
    for (int s = 1; s <= 16; ++s)
        xml += "<scf420 name=\"Scenario " + QByteArray::number(s) + "\" number=\"" + QByteArray::number(s)
            + "\" adr=\"01\"></scf420>\r\n";
    xml += "</ACTUATOR>\r\n";
    f.write(xml);
}

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int trafficFrames()
{
    const int frames = qEnvironmentVariableIntValue("BENCH_FRAMES");
    return frames > 0 ? frames : 200000;
}

// Every figure's command names what it depends on, the traffic's length included, so it
// reproduces the figure wherever it is pasted.
QString benchCommand(int runs)
{
    return QStringLiteral("BENCH_FRAMES=%1 QT_QPA_PLATFORM=offscreen bench_shell %2").arg(trafficFrames()).arg(runs);
}

void report(const char *what, std::vector<double> v, const char *unit, int runs)
{
    std::sort(v.begin(), v.end());
    std::printf("%-50s median %9.2f %s  best %9.2f  worst %9.2f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
                v.back(), qPrintable(benchCommand(runs)));
}

QStringList corpus()
{
    QFile f(QStringLiteral(OMBRIX_SOURCE_DIR "/tests/data/bus-traces.txt"));
    QStringList frames;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n')) {
            QByteArray t = line.trimmed();
            const int space = int(t.indexOf(' '));
            if (space > 0 && !t.startsWith('#'))
                t = t.mid(space + 1); // direction marker before the frame
            if (t.startsWith('*') && t.endsWith("##"))
                frames << QString::fromLatin1(t);
        }
    return frames;
}

// The offscreen platform says so each time a window raises itself or hints its size; the
// figures are what the run is for.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    // Start: as main() starts the program, from building it to its window exposed on the screen.
    std::vector<double> startMs;
    for (int r = 0; r < runs; ++r) {
        QTemporaryDir dir;
        copyShipped(dir.path());
        writeConf(dir.path(), 1000);
        QElapsedTimer clock;
        clock.start();
        BenchProgram b(dir.path());
        b.program.start();
        if (!QTest::qWaitForWindowExposed(&b.program.window(), 5000)) {
            std::fprintf(stderr, "the window never showed\n");
            return 1;
        }
        startMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        const InstallationModel &model = b.program.state().model;
        if (!model.ConfCaricata || model.Dispositivi[999].name != QStringLiteral("Punto 999")) {
            std::fprintf(stderr, "conf.xml was not loaded\n");
            return 1;
        }
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    report("build and start to window shown, 1000 points", startMs, "ms", runs);

    // Memory: traffic through the translator into the shown monitor pane.
    {
        QTemporaryDir dir;
        copyShipped(dir.path());
        writeConf(dir.path(), 1000);
        BenchProgram b(dir.path());
        Program &p = b.program;
        p.start();
        if (!QTest::qWaitForWindowExposed(&p.window(), 5000))
            return 1;
        const QStringList frames = corpus();
        if (frames.isEmpty()) {
            std::fprintf(stderr, "no corpus\n");
            return 1;
        }
        const long before = residentKiB();
        QElapsedTimer clock;
        clock.start();
        qint64 quarterStart = 0;
        std::vector<double> quarterUs;
        QStringList resident;
        const int Total = trafficFrames();
        for (int i = 1; i <= Total; ++i) {
            QString chunk = frames.at(i % frames.size());
            p.engine().translator().Traduci(chunk, p.window().Tlog());
            if (i % 500 == 0)
                QCoreApplication::processEvents(); // let the pane lay out and paint as it would
            if (i % (Total / 4) == 0) {
                const qint64 now = clock.nsecsElapsed();
                quarterUs.push_back(double(now - quarterStart) / 1e3 / (Total / 4));
                quarterStart = now;
                resident << QString::number(residentKiB());
            }
        }
        // One run cut in four quarters, whatever the number of runs: the spread says whether a
        // full pane costs more than an empty one.
        report("traffic into the pane, per frame, by 1/4 of a run", quarterUs, "us", runs);
        std::printf("traffic of %d frames: resident %ld KiB before, %s KiB after each quarter   (%s)\n", Total, before,
                    qPrintable(resident.join(QLatin1String(", "))), qPrintable(benchCommand(runs)));
    }

    // Append: one line into a pane already at its bound, shown.
    {
        ConsolePane pane(QStringLiteral("Tlog"));
        pane.resize(700, 400);
        pane.show();
        if (!QTest::qWaitForWindowExposed(&pane, 5000))
            return 1;
        const QString line = QStringLiteral("12:34:56: Luce soggiorno: accesa (*1*1*11##)\r\n");
        // Full: one more line makes it trim.
        while (pane.length() + line.size() <= ConsolePane::MaxLength)
            pane.appendText(line);
        const long before = residentKiB();
        std::vector<double> us;
        for (int r = 0; r < runs; ++r) {
            constexpr int Lines = 20000;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < Lines; ++i) {
                pane.appendText(line);
                if (i % 200 == 0)
                    QCoreApplication::processEvents();
            }
            us.push_back(double(clock.nsecsElapsed()) / 1e3 / Lines);
        }
        report("append one line to a full pane", us, "us", runs);
        std::printf("append to a full pane: resident growth %ld KiB   (%s)\n", residentKiB() - before,
                    qPrintable(benchCommand(runs)));
    }
    return 0;
}
