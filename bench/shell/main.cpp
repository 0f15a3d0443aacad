// The main window's costs, on the real engine and the shipped language files:
//   start   time from the start procedure to the window shown, conf.xml with 1000 points
//   memory  resident memory while 200,000 frames of bus traffic go through the translator
//           into the monitor pane, as fast as the program takes them
//   append  cost of appending one line to a full monitor pane (the bound trims every time)
//
//   QT_QPA_PLATFORM=offscreen bench_shell [runs]
#include "shell/main/ConsolePane.h"
#include "app/EngineBridge.h"
#include "engine/model/EngineState.h"
#include "engine/translator/FrameTranslator.h"
#include "shell/main/FrmMain.h"
#include "app/ProgramServices.h"
#include "engine/config/ProgramSettings.h"
#include "shell/services/QtFileDialogService.h"
#include "engine/config/SettingKeys.h"
#include "support/RecordingStages.h"

#include "engine/ports/MessageBoxService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct SilentBoxes : MessageBoxService
{
    void message(const QString &text, const QString &title, Icon) override
    {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool askYesNo(const QString &, const QString &, Icon) override { return false; }
};

struct Program
{
    explicit Program(const QString &folder)
        : settings(QDir(folder).filePath(QStringLiteral("settings.ini"))),
          window(state, settings, boxes, files, stages,
                 FrmMain::Options{QDir(folder).filePath(QStringLiteral("ombrix.lock")), false})
    {
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
        state.programFolder = folder;
        window.setDeviceWindows(&services.devices);
        engine = std::make_unique<EngineBridge>(state, settings, boxes, window, services.services());
        window.setEngine(engine.get());
    }
    ProgramSettings settings;
    EngineState state;
    SilentBoxes boxes;
    QtFileDialogService files;
    ProgramServices services;
    RecordingStages stages;
    FrmMain window;
    std::unique_ptr<EngineBridge> engine;
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

QString benchCommand(int runs)
{
    const int frames = qEnvironmentVariableIntValue("BENCH_FRAMES");
    return (frames > 0 ? QStringLiteral("BENCH_FRAMES=%1 ").arg(frames) : QString())
           + QStringLiteral("QT_QPA_PLATFORM=offscreen bench_shell %1").arg(runs);
}

void report(const char *what, std::vector<double> v, const char *unit, int runs)
{
    std::sort(v.begin(), v.end());
    std::printf("%-40s median %9.2f %s  best %9.2f  worst %9.2f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    // Start: the whole load sequence, up to the window exposed on the screen.
    std::vector<double> startMs;
    for (int r = 0; r < runs; ++r) {
        QTemporaryDir dir;
        copyShipped(dir.path());
        writeConf(dir.path(), 1000);
        Program p(dir.path());
        QElapsedTimer clock;
        clock.start();
        p.window.Main();
        if (!QTest::qWaitForWindowExposed(&p.window, 5000)) {
            std::fprintf(stderr, "the window never showed\n");
            return 1;
        }
        startMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!p.state.model.ConfCaricata || p.state.model.Dispositivi[999].name != QStringLiteral("Punto 999")) {
            std::fprintf(stderr, "conf.xml was not loaded\n");
            return 1;
        }
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    report("start to window shown, 1000 points", startMs, "ms", runs);

    // Memory: traffic through the translator into the shown monitor pane.
    {
        QTemporaryDir dir;
        copyShipped(dir.path());
        writeConf(dir.path(), 1000);
        Program p(dir.path());
        p.window.Main();
        if (!QTest::qWaitForWindowExposed(&p.window, 5000))
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
        const int Total = qEnvironmentVariableIntValue("BENCH_FRAMES") > 0 ? qEnvironmentVariableIntValue("BENCH_FRAMES") : 200000;
        for (int i = 1; i <= Total; ++i) {
            QString chunk = frames.at(i % frames.size());
            p.engine->translator().Traduci(chunk, p.window.Tlog());
            if (i % 500 == 0)
                QCoreApplication::processEvents(); // let the pane lay out and paint as it would
            if (i % (Total / 4) == 0) {
                const qint64 now = clock.nsecsElapsed();
                quarterUs.push_back(double(now - quarterStart) / 1e3 / (Total / 4));
                quarterStart = now;
                resident << QString::number(residentKiB());
            }
        }
        report("traffic into the pane, per frame, by 1/4", quarterUs, "us", runs);
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
        std::printf("append to a full pane: resident growth %ld KiB   (QT_QPA_PLATFORM=offscreen bench_shell %d)\n",
                    residentKiB() - before, runs);
    }
    return 0;
}
