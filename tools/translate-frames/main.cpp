// Reads a captured trace and prints, for every frame, what the monitor pane would show for
// it: the frame, a tab, then the line without its time.
//
//   translate-frames [--language NAME] [--conf FILE] [FILE]
//
// One chunk per line, as received; a leading "rx " or "tx " is dropped and lines starting
// with "#" are skipped. The language file is taken from the program's folder.
#include "engine/ports/CharacterService.h"
#include "engine/config/ConfLoader.h"
#include "engine/ports/DisplayClient.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/translator/FrameTranslator.h"
#include "engine/config/LanguageLoader.h"
#include "engine/ports/ListedWindows.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/ports/NoticeService.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "engine/ports/StatusBar.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Every line the translator writes, one entry per frame.
class CollectingPane : public LogPane
{
public:
    const QString &paneName() const override { return m_name; }
    void writeText(const QString &text) override { lines << text; }
    void caretToEnd() override {}
    QStringList lines;

private:
    const QString m_name = QStringLiteral("Tlog");
};

// Warnings about the language file or conf.xml go to the error stream; nothing waits.
class StderrMessages : public MessageBoxService
{
public:
    void message(const QString &text, const QString &, Icon) override
    {
        QTextStream(stderr) << "translate-frames: " << text << Qt::endl;
    }
    bool askYesNo(const QString &text, const QString &title, Icon icon) override
    {
        message(text, title, icon);
        return false;
    }
};

// The translator's other outputs have no place in a printed trace.
struct NoNotice : NoticeService
{
    void MostraMessaggio(const QString &, const QString &, int, int) override {}
};
struct NoCharacter : CharacterService
{
    bool AgentCaricato() const override { return false; }
    void Show() override {}
    void Play(const QString &) override {}
    int Speak(const QString &) override { return 0; }
};
struct NoDisplay : DisplayClient
{
    bool ClienteConnesso() const override { return false; }
    void write(const QByteArray &) override {}
};
struct NoStatusBar : StatusBar
{
    void setStatusText(const QString &) override {}
    QString statusText() const override { return {}; }
};

// "rx *1*1*11##" and "*1*1*11##" are the same chunk.
QString chunkOf(QString line)
{
    if (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    if (line.startsWith(QLatin1String("rx ")) || line.startsWith(QLatin1String("tx ")))
        line.remove(0, 3);
    return line;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("translate-frames"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints each frame of a trace with the line the monitor pane shows for it."));
    parser.addHelpOption();
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("language file of the program folder (default %1)")
                                          .arg(SettingKeys::Language.fallback()),
                                      QStringLiteral("name"), SettingKeys::Language.fallback());
    const QCommandLineOption conf(QStringLiteral("conf"),
                                  QStringLiteral("installation description (default the program folder's)"),
                                  QStringLiteral("file"));
    parser.addOption(language);
    parser.addOption(conf);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("trace to read (default standard input)"));
    parser.process(app);

    QTextStream err(stderr);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString languageName = parser.value(language);
    if (!QFile::exists(LanguageLoader::languageFile(folder, languageName))) {
        err << "translate-frames: no language file " << languageName << ".lng in " << QDir::toNativeSeparators(folder)
            << Qt::endl;
        return 2;
    }

    const QStringList args = parser.positionalArguments();
    QFile input;
    if (args.isEmpty()) {
        input.open(stdin, QIODevice::ReadOnly);
    } else {
        input.setFileName(args.first());
        if (!input.open(QIODevice::ReadOnly)) {
            err << "translate-frames: cannot read " << args.first() << ": " << input.errorString() << Qt::endl;
            return 2;
        }
    }

    EngineState state;
    state.programFolder = folder;
    StderrMessages messages;
    // The user's settings play no part: program captions come from an empty store.
    QTemporaryDir settingsDir;
    const ProgramSettings settings(settingsDir.filePath(QStringLiteral("settings.ini")));
    LanguageLoader(state.lang, settings, messages, folder).CaricaLingua(languageName);
    ConfLoader loader(state, messages);
    const bool loaded = parser.isSet(conf) ? loader.CaricaConf(parser.value(conf)) : loader.CaricaConf();
    if (!loaded)
        return 2;

    NoNotice notice;
    NoCharacter character;
    ListedWindows windows;
    NoDisplay display;
    NoStatusBar statusBar;
    FrameTranslator translator(state, {notice, character, windows, display, statusBar, messages});
    const QTime pinned(0, 0);
    translator.setClock([pinned] { return pinned; });
    const QString timePrefix = LogLine::timeText(pinned) + QStringLiteral(": ");

    QTextStream out(stdout);
    CollectingPane pane;
    while (!input.atEnd()) {
        // Bus frames are ASCII; anything else in a trace is read byte for byte.
        QString chunk = chunkOf(QString::fromLatin1(input.readLine()));
        if (chunk.isEmpty() || chunk.startsWith(QLatin1Char('#')))
            continue;
        const QStringList pieces = Frame::cut(chunk);
        pane.lines.clear();
        translator.Traduci(chunk, pane);
        // Each frame writes exactly one line here: nothing sends a status request that
        // would hold replies back.
        for (int i = 0; i < pieces.size(); ++i) {
            QString shown = pane.lines.value(i);
            if (shown.startsWith(timePrefix))
                shown.remove(0, timePrefix.size());
            if (shown.endsWith(LogLine::Crlf))
                shown.chop(LogLine::Crlf.size());
            out << Frame::withTerminator(pieces[i]) << '\t' << shown << '\n';
        }
    }
    return 0;
}
