// The captured corpus through the whole translator and its output stage (notices, speech,
// log lines, window and client pushes all armed) into an in-memory log pane, with a shipped
// language file and the sample conf.xml, as users run it. Prints microseconds per frame (the
// median, best and worst of several runs) and heap allocations per frame, then the median
// with 1 and with 1000 configured points and with an empty and a full pane: the cost of a
// frame must not grow with the installation or with what the pane holds.
//
//   bench_translator [corpus file] [runs] [language]
#include "engine/ports/CharacterService.h"
#include "engine/config/ConfLoader.h"
#include "engine/ports/DisplayClient.h"
#include "engine/model/EngineState.h"
#include "engine/translator/FrameTranslator.h"
#include "engine/config/LanguageLoader.h"
#include "engine/ports/ListedWindows.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/ports/NoticeService.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "engine/ports/StatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
std::atomic<long long> allocations{0};
}

// Every heap allocation of the process, Qt's containers included (they call malloc, not
// operator new): glibc's own entry points do the work, these only count. A sanitizer build
// keeps its own allocator, and counts nothing.
#ifndef __SANITIZE_ADDRESS__
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
}

extern "C" void *malloc(size_t n)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}

extern "C" void *calloc(size_t count, size_t n)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, n);
}

extern "C" void *realloc(void *p, size_t n)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
#endif

namespace {

// A pane that copies each line into storage of its own, as the console does: the
// translator's line is freed as soon as the pane returns. Empty: one line, overwritten by
// every new one. Full: as many lines as the console's 10,000 characters hold, and each new
// line is written over the oldest.
class MemoryPane : public LogPane
{
public:
    enum Fill { Empty, Full };
    static constexpr int FullLines = 200;

    MemoryPane(const QString &name, Fill fill)
        : m_name(name), m_lines(fill == Full ? FullLines : 1)
    {
        for (QString &line : m_lines)
            line = QStringLiteral("00:00:00: *1*1*11## padding the pane to its bound\r\n");
    }
    const QString &paneName() const override { return m_name; }
    void appendText(const QString &text) override
    {
        QString &oldest = m_lines[m_next++ % m_lines.size()];
        oldest.truncate(0);
        oldest += text;
    }
    void moveCaretToEnd() override { ++m_caret; }

private:
    QString m_name;
    std::vector<QString> m_lines;
    std::size_t m_next = 0;
    int m_caret = 0;
};

struct NullNotice : NoticeService
{
    void MostraMessaggio(const QString &, const QString &, int, int) override { ++count; }
    int count = 0;
};

struct NullCharacter : CharacterService
{
    bool AgentCaricato() const override { return true; }
    void Show() override {}
    void Play(const QString &) override {}
    int Speak(const QString &) override { return ++id; }
    int id = 0;
};


struct NullDisplay : DisplayClient
{
    bool ClienteConnesso() const override { return true; }
    void write(const QByteArray &b) override { bytes += b.size(); }
    qint64 bytes = 0;
};

struct NullStatus : StatusBar
{
    void setStatusText(const QString &t) override { m_t = t; }
    QString statusText() const override { return m_t; }
    QString m_t;
};

struct NullMessages : MessageBoxService
{
    void message(const QString &, const QString &, Icon) override {}
    bool askYesNo(const QString &, const QString &, Icon) override { return true; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(OMBRIX_SOURCE_DIR "/tests/data/bus-traces.txt");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 9;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    QStringList received;
    QStringList sent;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (line.size() < 4 || line.startsWith(QLatin1Char('#')))
            continue;
        (line.startsWith(QLatin1String("rx")) ? received : sent) << line.mid(3);
    }

    const QString language = argc > 3 ? QString::fromLocal8Bit(argv[3]) : SettingKeys::Language.fallback();

    EngineState state;
    state.programFolder = QStringLiteral(OMBRIX_SOURCE_DIR "/data");
    NullMessages messages;
    QTemporaryDir settingsDir;
    const ProgramSettings settings(settingsDir.filePath(QStringLiteral("settings.ini")));
    LanguageLoader(state.lang, settings, messages, state.programFolder).CaricaLingua(language);
    if (state.lang.t(QStringLiteral("ErrTrad")).isEmpty() || !ConfLoader(state, messages).CaricaConf()) {
        std::fprintf(stderr, "cannot load %s.lng and conf.xml from %s\n", qPrintable(language),
                     qPrintable(state.programFolder));
        return 1;
    }
    state.filters.Who.fill(1);
    state.filters.WhoA.fill(1);
    NullNotice notice;
    NullCharacter character;
    ListedWindows windows;
    for (const char *w : {"FrmMain", "FrmVolt", "FrmAmp", "FrmWatt", "FrmAux"})
        windows.windows.append({QString::fromLatin1(w), QString::fromLatin1(w)});
    for (int z = 1; z <= 8; ++z)
        windows.windows.append({QStringLiteral("FrmProbe%1").arg(z), QStringLiteral("FrmProbe")});
    NullDisplay display;
    NullStatus status;
    FrameTranslator translator(state, {notice, character, windows, display, status, messages});

    const int passes = 20;
    const qint64 framesPerRun = qint64(passes) * (received.size() + sent.size());
    struct Result
    {
        double median, best, worst, allocationsPerFrame;
    };
    const auto measure = [&](MemoryPane::Fill fill) {
        MemoryPane monitor(QStringLiteral("Tlog"), fill);
        MemoryPane commands(QStringLiteral("TlogC"), fill);
        std::vector<double> nsPerFrame;
        long long allocated = 0;
        for (int r = 0; r < runs; ++r) {
            const long long before = allocations.load();
            QElapsedTimer t;
            t.start();
            for (int p = 0; p < passes; ++p) {
                for (const QString &f : received) {
                    QString frames = f;
                    translator.Traduci(frames, monitor);
                }
                for (const QString &f : sent)
                    translator.TraduciEco(f, commands);
            }
            nsPerFrame.push_back(double(t.nsecsElapsed()) / double(framesPerRun));
            allocated += allocations.load() - before;
        }
        std::sort(nsPerFrame.begin(), nsPerFrame.end());
        return Result{nsPerFrame[nsPerFrame.size() / 2] / 1000.0, nsPerFrame.front() / 1000.0,
                      nsPerFrame.back() / 1000.0, double(allocated) / double(framesPerRun * runs)};
    };

    std::printf("translator (%s): %lld frames per run, %d runs\n", qPrintable(language),
                static_cast<long long>(framesPerRun), runs);
    const Result sample = measure(MemoryPane::Full);
    std::printf("sample conf.xml, full pane: median %.3f us/frame, %.0f frames/s (best %.3f, worst %.3f us/frame), "
                "%.2f allocations/frame\n",
                sample.median, 1e6 / sample.median, sample.best, sample.worst, sample.allocationsPerFrame);
    const Result empty = measure(MemoryPane::Empty);
    std::printf("sample conf.xml, empty pane: median %.3f us/frame, %.2f allocations/frame\n", empty.median,
                empty.allocationsPerFrame);

    // Every point configured and named, or one alone; the pane full as above.
    const InstallationModel sampleModel = state.model;
    for (int configured : {1, InstallationModel::PointCount}) {
        for (int n = 0; n < InstallationModel::PointCount; ++n) {
            Dispositivo &d = state.model.Dispositivi[std::size_t(n)];
            d = Dispositivo{};
            if (configured == InstallationModel::PointCount || n == 11) {
                d.name = QStringLiteral("Point %1").arg(n);
                d.type = n % 2 ? QStringLiteral("1") : QStringLiteral("2");
            }
        }
        const Result r = measure(MemoryPane::Full);
        std::printf("%d configured point%s: median %.3f us/frame, %.2f allocations/frame\n", configured,
                    configured == 1 ? "" : "s", r.median, r.allocationsPerFrame);
    }
    state.model = sampleModel;
    return notice.count > 0 ? 0 : 2;
}
