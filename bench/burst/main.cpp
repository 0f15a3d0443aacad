// A gateway hands over a burst of frames at once on the monitor session, while a display client
// is connected and keeps asking for the camera list. Each row opens what a person would have
// open (a device window under its own frames, the speaking character under lighting frames)
// and measures through the program as main() wires it, offscreen:
//   stall    the longest gap between ticks of a 10 ms timer of the window's thread
//   reply    the longest wait of the display client for its "cam" answer
//   total    from the burst's write until the client has the burst's last line, and per frame
//   memory   resident size before the burst, its peak during it and what is left after it
//            (both above before; after once the allocator has given back its free memory)
//   lines    what the client received and the monitor pane's last lines, checked in content
//            and order against a translator of their own fed the same frames
// A short burst of the same frames goes first, so that what the program makes once is there
// before "before". The harness's own buffers (the burst's text, the expected lines) are made
// before "before" and kept to the end, so they are in neither difference; the gateway's copy of
// the burst on its way out is printed beside the peak.
//
//   bench_burst [frames] [runs] [row...]      rows: lighting, lighting-quiet, aux, meters,
//                                              energy-alone, alarm, probes, scenarios, camera,
//                                              every-window, character
// ("energy-alone" is the meters' frames with no window open: what the meters add is the difference.)
// (offscreen by itself; run it in a network namespace)
#include "app/Program.h"
#include "demo-gateway/FakeGateway.h"
#include "engine/config/ConfLoader.h"
#include "engine/config/LanguageLoader.h"
#include "engine/config/SettingKeys.h"
#include "engine/model/ToolbarButtons.h"
#include "engine/ports/DisplayClient.h"
#include "engine/ports/ListedWindows.h"
#include "engine/ports/NoticeService.h"
#include "engine/ports/StatusBar.h"
#include "engine/translator/FrameTranslator.h"
#include "shell/main/ConsolePane.h"
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

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double MiB = 1024.0 * 1024.0;
// How long the character takes over a sentence: far slower than the bus.
constexpr int VoiceMs = 1000;
// The program's own tidying after the burst (the pane, timers) before its size is read.
constexpr int AfterBurstMs = 1000;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> f = statm.readAll().split(' ');
    return f.size() > 1 ? f[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Resident size once the allocator has handed back what it holds free.
qint64 trimmedResidentBytes()
{
    malloc_trim(0);
    return residentBytes();
}

// A voice with no sound device behind it and slower than the bus: each sentence takes VoiceMs.
class SlowVoice : public SpeechEngine
{
public:
    SlowVoice()
    {
        m_talk.setSingleShot(true);
        connect(&m_talk, &QTimer::timeout, this, &SpeechEngine::finished);
    }
    void say(const QString &) override { m_talk.start(VoiceMs); }
    void stop() override { m_talk.stop(); }

private:
    QTimer m_talk;
};

struct Row
{
    const char *name;
    const char *what;
    std::function<QByteArray(int i)> frame;
    std::function<void(Program &)> open;
    bool notices = false;
    bool character = false;
};

QByteArray lighting(int i) { return "*1*" + QByteArray::number(i % 2) + '*' + QByteArray::number(11 + i % 89) + "##"; }

QByteArray aux(int i) { return "*9*" + QByteArray::number((i / 15) % 2) + '*' + QByteArray::number(1 + i % 15) + "##"; }

QByteArray energy(int i)
{
    return "*#3*10*0*" + QByteArray::number(220 + i % 20) + '*' + QByteArray::number(i % 16) + '*'
        + QByteArray::number(i % 3000) + "*50##";
}

QByteArray alarm(int i)
{
    static const char *const what[] = {"11", "18", "0", "1", "8", "9"};
    const int k = i % 6;
    return "*5*" + QByteArray(what[k]) + (k < 2 ? "*#" + QByteArray::number(1 + i % 8) : QByteArray()) + "##";
}

QByteArray probe(int i)
{
    const QByteArray zone = QByteArray::number(1 + i % 2);
    switch ((i / 2) % 4) {
    case 0:
        return "*#4*" + zone + "*0*0" + QByteArray::number(180 + i % 60) + "##";
    case 1:
        return "*#4*" + zone + "*12*0" + QByteArray::number(190 + i % 40) + "*3##";
    case 2:
        return "*#4*" + zone + "*13*0" + QByteArray::number(i % 4) + "##";
    default:
        return "*#4*" + zone + "*19*" + QByteArray::number(i % 3 == 1) + '*' + QByteArray::number(i % 3 == 2) + "##";
    }
}

QByteArray scenario(int i) { return "*0*" + QByteArray::number(1 + i % 16) + "*01##"; }

QByteArray doorEntry(int i) { return "*7*" + QByteArray::number(i % 10) + "*4000##"; }

QByteArray everyKind(int i)
{
    switch (i % 7) {
    case 0:
        return aux(i / 7);
    case 1:
        return energy(i / 7);
    case 2:
        return alarm(i / 7);
    case 3:
        return probe(i / 7);
    case 4:
        return scenario(i / 7);
    case 5:
        return doorEntry(i / 7);
    default:
        return lighting(i / 7);
    }
}

void openAux(Program &p) { p.window().barra_ButtonClick(ToolbarButtons::Aux); }
void openMeters(Program &p) { p.window().barra_ButtonClick(ToolbarButtons::Meters); }
void openAlarm(Program &p) { p.window().Command1_Click(); }
void openProbes(Program &p) { p.window().barra_ButtonClick(ToolbarButtons::Probe); }
void openScenarios(Program &p) { p.window().barra_ButtonClick(ToolbarButtons::Scenarios); }
void openCamera(Program &p) { p.window().barra_ButtonClick(ToolbarButtons::Camera); }
void openNothing(Program &) {}

const std::vector<Row> &rows()
{
    static const std::vector<Row> all{
        {"lighting", "lighting frames, notices on", lighting, openNothing, true, false},
        {"lighting-quiet", "lighting frames, notices off", lighting, openNothing, false, false},
        {"aux", "aux window open, aux frames", aux, openAux},
        {"meters", "volt, amp and watt meters open, energy frames", energy, openMeters},
        {"energy-alone", "energy frames, no window", energy, openNothing},
        {"alarm", "alarm window open, alarm frames", alarm, openAlarm},
        {"probes", "probe windows of zones 1 and 2 open, their frames", probe, openProbes},
        {"scenarios", "scenario panel open, scenario frames", scenario, openScenarios},
        {"camera", "camera window open, door-entry frames", doorEntry, openCamera},
        {"every-window",
         "every device window open, a mix of their frames and lighting",
         everyKind,
         [](Program &p) {
             for (auto open : {openAux, openMeters, openAlarm, openProbes, openScenarios, openCamera})
                 open(p);
         }},
        {"character", "character on with a voice slower than the bus, lighting frames", lighting, openNothing, true, true},
    };
    return all;
}

// What the translator makes of the burst on its own: every display-client line, in order, and
// the monitor pane's lines without their time.
struct Expected
{
    QByteArray display; // each line ends with its NUL
    qint64 displayLines = 0;
    QStringList paneTail;
};

class RecordingDisplay : public DisplayClient
{
public:
    explicit RecordingDisplay(Expected &out) : m_out(out) {}
    bool ClienteConnesso() const override { return true; }
    void write(const QByteArray &bytes) override
    {
        m_out.display += bytes;
        m_out.displayLines += bytes.count('\0');
    }

private:
    Expected &m_out;
};

class TailPane : public LogPane
{
public:
    const QString &paneName() const override { return m_name; }
    void writeText(const QString &text) override
    {
        for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            lines << line.mid(line.indexOf(QStringLiteral(": ")) + 2);
            if (lines.size() > Kept)
                lines.removeFirst();
        }
    }
    void caretToEnd() override {}
    static constexpr int Kept = 1000;
    QStringList lines;

private:
    const QString m_name = QStringLiteral("Tlog");
};

Expected expectedOf(const QString &folder, const QByteArray &bytes)
{
    Expected out;
    EngineState state;
    state.programFolder = folder;
    SilentMessageBox boxes{SilentMessageBox::OnMessage::Print};
    const ProgramSettings settings(QDir(folder).filePath(QStringLiteral("expected.ini")));
    LanguageLoader(state.lang, settings, boxes, folder).CaricaLingua(SettingKeys::Language.fallback());
    ConfLoader(state, boxes).CaricaConf();
    struct : NoticeService
    {
        void MostraMessaggio(const QString &, const QString &, int, int) override {}
    } notice;
    struct : CharacterService
    {
        bool AgentCaricato() const override { return false; }
        void Show() override {}
        void Play(const QString &) override {}
        int Speak(const QString &) override { return 0; }
    } character;
    struct : StatusBar
    {
        void setStatusText(const QString &) override {}
        QString statusText() const override { return {}; }
    } status;
    ListedWindows windows;
    RecordingDisplay display(out);
    FrameTranslator translator(state, {notice, character, windows, display, status, boxes});
    TailPane pane;
    const QString text = QString::fromLatin1(bytes);
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = std::min(text.size(), text.indexOf(QStringLiteral("##"), at + 4000) + 2);
        const qsizetype stop = end < at + 2 ? text.size() : end;
        QString slice = text.mid(at, stop - at);
        translator.Traduci(slice, pane);
        at = stop;
    }
    out.paneTail = pane.lines;
    return out;
}

// The gateway and the display client live on a thread of their own, so that their work is not
// counted as the program's and they go on while the window's thread is busy. The client checks
// each line against the expected ones as it comes, and the thread samples the resident size.
class Outside : public QObject
{
public:
    FakeGateway *gateway = nullptr;
    QTcpSocket *client = nullptr;
    QByteArray buffer;
    QElapsedTimer clock;
    const Expected *expected = nullptr;
    qsizetype expectedAt = 0;
    std::atomic<qint64> lines{0};
    std::atomic<qint64> wrongLines{0};
    std::atomic<qint64> firstWrong{-1};
    std::atomic<qint64> lastLineNs{0};
    std::atomic<qint64> worstReplyNs{0};
    std::atomic<qint64> peakBytes{0};
    QTimer *sampler = nullptr;
    qint64 camSentNs = -1;
    bool asking = false;

    void make()
    {
        gateway = new FakeGateway(this);
        gateway->listen();
        sampler = new QTimer(this);
        sampler->setInterval(5);
        connect(sampler, &QTimer::timeout, this, [this] { peakBytes = std::max(peakBytes.load(), residentBytes()); });
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

    void burst(const QByteArray &frames, const Expected &lines)
    {
        expected = &lines;
        expectedAt = 0;
        this->lines = 0;
        wrongLines = 0;
        firstWrong = -1;
        worstReplyNs = 0;
        peakBytes = residentBytes();
        sampler->start();
        clock.start();
        asking = true;
        gateway->pushEvent(QString::fromLatin1(frames));
        askCam();
    }

    void stop()
    {
        asking = false;
        sampler->stop();
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
                check(m);
                ++lines;
                lastLineNs = clock.nsecsElapsed();
            }
        }
        buffer.remove(0, start);
    }

    void check(QByteArrayView line)
    {
        const QByteArray &all = expected->display;
        const qsizetype end = all.indexOf('\0', expectedAt);
        const bool same = end >= 0 && QByteArrayView(all.constData() + expectedAt, end - expectedAt) == line;
        if (!same) {
            if (firstWrong < 0)
                firstWrong = lines.load();
            ++wrongLines;
        }
        expectedAt = end >= 0 ? end + 1 : all.size();
    }
};

struct Figures
{
    double stallMs = 0;
    double replyMs = 0;
    double totalMs = 0;
    double beforeMiB = 0;
    double peakMiB = 0;
    double afterMiB = 0;
    bool complete = false;
    QString linesChecked;
    bool linesRight = false;
};

QByteArray burstOf(const Row &row, int frames)
{
    QByteArray out;
    out.reserve(qsizetype(frames) * 24);
    for (int i = 0; i < frames; ++i)
        out += row.frame(i);
    // Ends with a line the display client is sent, so the client knows when all has been read.
    if (frames == 0 || !row.frame(frames - 1).startsWith("*1*"))
        out += "*1*1*11##";
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

void copyShipped(const QString &name, const QString &to)
{
    QFile::copy(QStringLiteral(OMBRIX_SOURCE_DIR "/data/") + name, QDir(to).filePath(name));
}

// The monitor pane's lines without their time, checked against the end of the expected ones.
QString checkPane(const ConsolePane &pane, const Expected &expected, bool &right)
{
    QStringList shown;
    for (const QString &line : pane.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QString text = line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        // What the display client says ("cam", its "yep" to the probe) is logged between them,
        // and so is the character's note of the sentences it left out.
        if (text != QLatin1String("cam") && text != QLatin1String("yep") && !text.startsWith(QLatin1String("character: ")))
            shown << text;
    }
    const qsizetype n = std::min(shown.size(), expected.paneTail.size());
    qsizetype same = 0;
    while (same < n && shown[shown.size() - 1 - same] == expected.paneTail[expected.paneTail.size() - 1 - same])
        ++same;
    right = right && same == n && n > 0;
    if (same != n)
        std::fprintf(stderr, "pane line %lld from the end: %s\n  expected: %s\n", qlonglong(same + 1),
                     qPrintable(shown[shown.size() - 1 - same]),
                     qPrintable(expected.paneTail[expected.paneTail.size() - 1 - same]));
    return QStringLiteral("pane's last %1 of %2 lines").arg(same).arg(n);
}

struct Burst
{
    QByteArray bytes;
    Expected expected;
};

Figures oneRun(QThread &thread, const Row &row, const QByteArray &bytes, const Expected &expected,
               const Burst &warmUp, const QString &folder)
{
    Figures f;
    Outside outside;
    outside.moveToThread(&thread);
    QMetaObject::invokeMethod(&outside, [&] { outside.make(); }, Qt::BlockingQueuedConnection);

    SilentMessageBox boxes{SilentMessageBox::OnMessage::Print};
    QTemporaryDir settingsDir;
    Program::Seams seams;
    seams.programFolder = folder;
    seams.settingsFile = QDir(settingsDir.path()).filePath(QStringLiteral("settings.ini"));
    seams.messages = &boxes;
    seams.trayAvailable = false;
    seams.remotePorts = RemoteAccess::Ports{QHostAddress::LocalHost, 0, 0, 0};
    seams.voices = [](const QString &) -> std::unique_ptr<SpeechEngine> { return std::make_unique<SlowVoice>(); };
    {
        Program program(seams);
        ProgramSettings &s = program.settings();
        s.save(SettingKeys::ServerIP, QStringLiteral("127.0.0.1"));
        s.save(SettingKeys::ServerPORT, QString::number(outside.gateway->port()));
        s.save(SettingKeys::Monitor, QStringLiteral("1"));
        s.save(SettingKeys::Agent, row.character ? QStringLiteral("Civetta") : QStringLiteral("0"));
        s.save(SettingKeys::WsChum, QStringLiteral("1"));
        const QString on = row.notices ? QStringLiteral("1") : QStringLiteral("0");
        s.save(SettingKeys::OptionSection, SettingKeys::whoKey(0), on);
        s.save(SettingKeys::OptionSection, SettingKeys::whoAKey(0), row.character ? on : QStringLiteral("0"));
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
        if (row.character && !program.services().character.AgentCaricato()) {
            std::fprintf(stderr, "the character did not load\n");
            return f;
        }
        const quint16 chumPort = remote.chum().serverPort();
        QMetaObject::invokeMethod(&outside, [&] { outside.connectClient(chumPort); }, Qt::BlockingQueuedConnection);
        if (!waitFor([&] { return remote.chum().ClienteConnesso(); }, 5000)) {
            std::fprintf(stderr, "the display client did not connect\n");
            return f;
        }
        row.open(program);
        // A short burst first, so that what the program makes once (the notice, the character's
        // pictures, caches) is there before "before": the figures are what the burst adds.
        QMetaObject::invokeMethod(&outside, [&] { outside.burst(warmUp.bytes, warmUp.expected); },
                                  Qt::BlockingQueuedConnection);
        const qint64 warmLines = warmUp.expected.displayLines;
        const bool warm = waitFor([&] { return outside.lines.load() >= warmLines; }, 60000);
        QMetaObject::invokeMethod(&outside, [&] { outside.stop(); }, Qt::BlockingQueuedConnection);
        if (!warm) {
            std::fprintf(stderr, "the warm-up burst did not reach the client\n");
            return f;
        }
        settle(AfterBurstMs);
        const qint64 before = trimmedResidentBytes();

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
        QMetaObject::invokeMethod(&outside, [&] { outside.burst(bytes, expected); }, Qt::BlockingQueuedConnection);
        const qint64 frames = expected.displayLines;
        f.complete = waitFor([&] { return outside.lines.load() >= frames; }, int(std::max<qint64>(120000, frames * 2)));
        tick.stop();
        QMetaObject::invokeMethod(&outside, [&] { outside.stop(); }, Qt::BlockingQueuedConnection);
        f.stallMs = double(worstGap) / 1e6;
        f.replyMs = double(outside.worstReplyNs.load()) / 1e6;
        f.totalMs = double(outside.lastLineNs.load()) / 1e6;
        settle(AfterBurstMs);
        f.beforeMiB = double(before) / MiB;
        f.peakMiB = double(outside.peakBytes.load() - before) / MiB;
        f.afterMiB = double(trimmedResidentBytes() - before) / MiB;
        f.linesRight = f.complete && outside.wrongLines.load() == 0;
        f.linesChecked = QStringLiteral("client %1 of %2 lines in order").arg(outside.lines.load() - outside.wrongLines.load()).arg(frames);
        if (outside.wrongLines.load())
            std::fprintf(stderr, "%lld client lines wrong, the first at %lld\n", qlonglong(outside.wrongLines.load()),
                         qlonglong(outside.firstWrong.load()));
        f.linesChecked += QStringLiteral(", ") + checkPane(program.window().Tlog(), expected, f.linesRight);
        if (!f.complete)
            std::fprintf(stderr, "only %lld of %lld lines reached the client\n", qlonglong(outside.lines.load()),
                         qlonglong(frames));
        program.state().InChiusura = true;
    }
    QMetaObject::invokeMethod(&outside, [&] {
        delete outside.client;
        delete outside.gateway;
        delete outside.sampler;
        outside.moveToThread(qApp->thread());
    }, Qt::BlockingQueuedConnection);
    return f;
}

void report(const char *what, std::vector<double> v, const char *unit, const QString &command)
{
    std::sort(v.begin(), v.end());
    std::printf("  %-36s median %10.3f %-3s best %10.3f  worst %10.3f   (%s)\n", what, v[v.size() / 2], unit, v.front(),
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
    QStringList chosen;
    for (int a = 3; a < argc; ++a)
        chosen << QString::fromLocal8Bit(argv[a]);
    if (frames <= 0 || runs <= 0) {
        std::fprintf(stderr, "bench_burst [frames] [runs] [row...]\n");
        return 2;
    }

    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("characters/Civetta"));
    for (const char *name : {"italian.lng", "english.lng", "conf.xml", "characters/Civetta.chr"})
        copyShipped(QLatin1String(name), folder.path());
    const QDir pictures(QStringLiteral(OMBRIX_SOURCE_DIR "/data/characters/Civetta"));
    for (const QString &f : pictures.entryList(QDir::Files))
        copyShipped(QStringLiteral("characters/Civetta/") + f, folder.path());

    QThread thread;
    thread.start();
    std::printf("bursts of %d frames on the monitor session, display client connected, %d runs\n", frames, runs);
    bool allRight = true;
    for (const Row &row : rows()) {
        if (!chosen.isEmpty() && !chosen.contains(QLatin1String(row.name)))
            continue;
        const QString command = QStringLiteral("bench_burst %1 %2 %3").arg(frames).arg(runs).arg(QLatin1String(row.name));
        const QByteArray bytes = burstOf(row, frames);
        const Expected expected = expectedOf(folder.path(), bytes);
        Burst warmUp;
        warmUp.bytes = burstOf(row, std::clamp(frames / 100, 500, 5000));
        warmUp.expected = expectedOf(folder.path(), warmUp.bytes);
        std::vector<double> stall, reply, total, perFrame, before, peak, after;
        QString checked;
        bool rowRight = true;
        for (int r = 0; r < runs; ++r) {
            const Figures f = oneRun(thread, row, bytes, expected, warmUp, folder.path());
            if (!f.complete)
                return 1;
            rowRight = rowRight && f.linesRight;
            checked = f.linesChecked;
            stall.push_back(f.stallMs);
            reply.push_back(f.replyMs);
            total.push_back(f.totalMs);
            perFrame.push_back(f.totalMs * 1000.0 / frames);
            before.push_back(f.beforeMiB);
            peak.push_back(f.peakMiB);
            after.push_back(f.afterMiB);
        }
        std::printf("%s (%s):\n", row.name, row.what);
        report("longest event-loop stall", stall, "ms", command);
        report("display client \"cam\" reply", reply, "ms", command);
        report("burst until the client has all", total, "ms", command);
        report("per frame, end to end", perFrame, "us", command);
        report("resident before the burst", before, "MiB", command);
        report("peak above before", peak, "MiB", command);
        report("after the burst above before", after, "MiB", command);
        std::printf("  harness: burst text %.1f MiB and expected lines %.1f MiB kept throughout; the gateway's\n"
                    "  copy of the burst on its way out (about %.1f MiB) is inside the peak\n",
                    double(bytes.size()) / MiB, double(expected.display.size()) / MiB, 3.0 * double(bytes.size()) / MiB);
        std::printf("  lines checked, last run: %s%s\n", qPrintable(checked), rowRight ? "" : "  -- WRONG in a run");
        allRight = allRight && rowRight;
        std::fflush(stdout);
    }
    thread.quit();
    thread.wait();
    return allRight ? 0 : 1;
}
