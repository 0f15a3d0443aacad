// The captured corpus through the whole translator and its output stage (notices, speech,
// log lines, window and client pushes all armed) into an in-memory log pane, with a shipped
// language file, as users run it. Three installations: the sample conf.xml, one configured
// point, every point configured; the cost of a frame must not grow with the installation.
// After one warm-up run of each, the runs of the three alternate, so a slow spell of the
// machine touches all of them; each prints microseconds per frame (median, best, worst of
// the runs) and heap allocations per frame.
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
#include "support/SilentMessageBox.h"
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

// A pane that keeps a copy of the last line, so the translator's line is really handed over.
class MemoryPane : public LogPane
{
public:
    explicit MemoryPane(const QString &name) : m_name(name) {}
    const QString &paneName() const override { return m_name; }
    void writeText(const QString &text) override
    {
        m_last.truncate(0);
        m_last += text;
    }
    void caretToEnd() override {}

private:
    QString m_name;
    QString m_last;
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
    SilentMessageBox messages;
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
    MemoryPane monitor(QStringLiteral("Tlog"));
    MemoryPane commands(QStringLiteral("TlogC"));
    const auto oneRun = [&](std::vector<double> &usPerFrame, long long &allocated) {
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
        usPerFrame.push_back(double(t.nsecsElapsed()) / 1000.0 / double(framesPerRun));
        allocated += allocations.load() - before;
    };

    // Every point configured and named, or one alone.
    const auto configure = [&](int configured) {
        for (int n = 0; n < InstallationModel::PointCount; ++n) {
            Dispositivo &d = state.model.Dispositivi[std::size_t(n)];
            d = Dispositivo{};
            if (configured == InstallationModel::PointCount || n == 11) {
                d.name = QStringLiteral("Point %1").arg(n);
                d.type = n % 2 ? QStringLiteral("1") : QStringLiteral("2");
            }
        }
    };
    const InstallationModel sampleModel = state.model;
    configure(1);
    const InstallationModel onePoint = state.model;
    configure(InstallationModel::PointCount);
    const InstallationModel allPoints = state.model;
    struct Variant
    {
        QString name;
        const InstallationModel *model;
        std::vector<double> us;
        long long allocated = 0;
    };
    Variant variants[] = {{QStringLiteral("sample conf.xml"), &sampleModel, {}, 0},
                          {QStringLiteral("1 configured point"), &onePoint, {}, 0},
                          {QStringLiteral("%1 configured points").arg(InstallationModel::PointCount), &allPoints, {}, 0}};
    for (Variant &v : variants) {
        state.model = *v.model;
        std::vector<double> ignored;
        long long ignoredAllocations = 0;
        oneRun(ignored, ignoredAllocations);
    }
    for (int r = 0; r < runs; ++r) {
        for (Variant &v : variants) {
            state.model = *v.model;
            oneRun(v.us, v.allocated);
        }
    }
    state.model = sampleModel;

    const QString command = QStringLiteral("bench_translator %1 %2 %3").arg(path).arg(runs).arg(language);
    std::printf("translator (%s): %lld frames per run, %d runs after one warm-up run each\n", qPrintable(language),
                static_cast<long long>(framesPerRun), runs);
    for (Variant &v : variants) {
        std::sort(v.us.begin(), v.us.end());
        std::printf("%-26s median %7.3f us/frame  best %7.3f  worst %7.3f  %6.2f allocations/frame   (%s)\n",
                    qPrintable(v.name), v.us[v.us.size() / 2], v.us.front(), v.us.back(),
                    double(v.allocated) / double(framesPerRun * runs), qPrintable(command));
    }
    return notice.count > 0 ? 0 : 2;
}
