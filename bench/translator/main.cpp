// The captured corpus through the whole translator and its output stage (notices, speech,
// log lines, window and client pushes all armed) into an in-memory log pane, with a shipped
// language file and the sample conf.xml, as users run it. Prints frames per second and
// microseconds per frame, the median of several runs.
//
//   bench_translator [corpus file] [runs] [language]
#include "CharacterService.h"
#include "ConfLoader.h"
#include "DisplayClient.h"
#include "EngineState.h"
#include "FrameTranslator.h"
#include "LanguageLoader.h"
#include "LogPane.h"
#include "MessageBoxService.h"
#include "NoticeService.h"
#include "ProgramSettings.h"
#include "SettingKeys.h"
#include "StatusBar.h"
#include "WindowRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class MemoryPane : public LogPane
{
public:
    QString paneName() const override { return m_name; }
    void appendText(const QString &text) override
    {
        // Bounded like the real pane, without the cost of trimming line by line.
        if (m_text.size() > 1 << 16)
            m_text.resize(0); // keeps the capacity
        m_text += text;
    }
    void moveCaretToEnd() override { m_caret = int(m_text.size()); }
    explicit MemoryPane(const QString &name) : m_name(name) { m_text.reserve(1 << 17); }

private:
    QString m_name;
    QString m_text;
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

struct NullWindows : WindowRegistry
{
    QList<LoadedWindow> loadedWindows() const override { return windows; }
    void Volt(const QString &) override {}
    void Ampere(const QString &) override {}
    void Watt(const QString &) override {}
    void Temperatura(int, const QString &) override {}
    void Tempset(int, const QString &) override {}
    void Knob(int, const QString &) override {}
    void pCol(int, int) override {}
    void AggiornaAux(bool) override {}
    QList<LoadedWindow> windows;
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
    NullWindows windows;
    for (const char *w : {"FrmMain", "FrmVolt", "FrmAmp", "FrmWatt", "FrmAux"})
        windows.windows.append({QString::fromLatin1(w), QString::fromLatin1(w)});
    for (int z = 1; z <= 8; ++z)
        windows.windows.append({QStringLiteral("FrmProbe%1").arg(z), QStringLiteral("FrmProbe")});
    NullDisplay display;
    NullStatus status;
    FrameTranslator translator(state, {notice, character, windows, display, status, messages});
    MemoryPane monitor(QStringLiteral("Tlog"));
    MemoryPane commands(QStringLiteral("TlogC"));

    const int passes = 20;
    const qint64 framesPerRun = qint64(passes) * (received.size() + sent.size());
    std::vector<double> nsPerFrame;
    for (int r = 0; r < runs; ++r) {
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
    }
    std::sort(nsPerFrame.begin(), nsPerFrame.end());
    const double median = nsPerFrame[nsPerFrame.size() / 2];
    std::printf("translator (%s): %lld frames per run, %d runs\n", qPrintable(language),
                static_cast<long long>(framesPerRun), runs);
    std::printf("median %.3f us/frame, %.0f frames/s (best %.3f, worst %.3f us/frame)\n", median / 1000.0,
                1e9 / median, nsPerFrame.front() / 1000.0, nsPerFrame.back() / 1000.0);
    return notice.count > 0 ? 0 : 2;
}
