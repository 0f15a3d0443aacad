#include "app/Program.h"
#include "app/ProgramApplication.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <optional>
#include <variant>

namespace {

struct Arguments
{
    std::optional<QString> programFolder;
    QString settingsFile;
};

// The options of every Qt program with windows, which the graphical application takes from
// the command line when it is built: let through, and left out of the help.
void acceptQtOptions(QCommandLineParser &parser)
{
    const auto hidden = [&parser](const char *name, const QString &value) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), value);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    };
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
                             "style", "stylesheet"})
        hidden(name, QStringLiteral("value"));
    for (const char *name : {"reverse", "widgetcount"})
        hidden(name, QString());
}

// Reads the command line before the graphical application exists, so that --help, --version
// and a mistyped argument answer on a text console, with no display to connect to.
// Gives the exit code when the program is to stop here.
std::variant<Arguments, int> commandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ProgramApplication::describe();
    QCommandLineParser parser;
    // Qt's own options are words after a single dash ("-platform"), so ours may be too.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Watches and drives a home-automation bus."));
    // Not addHelpOption(): its --help-all would only be honoured by process(), which ends the
    // program where it likes.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption folder(QStringLiteral("program-folder"),
                                    QStringLiteral("Folder with the language files, conf.xml and ico.icl."),
                                    QStringLiteral("folder"));
    const QCommandLineOption settingsFile(QStringLiteral("settings"),
                                          QStringLiteral("Settings kept in this INI file instead of the user's own."),
                                          QStringLiteral("file"));
    parser.addOption(folder);
    parser.addOption(settingsFile);
    acceptQtOptions(parser);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << (parsed ? QStringLiteral("Unexpected argument: ")
                                             + parser.positionalArguments().join(QLatin1Char(' '))
                                       : parser.errorText())
                            << "\n\n"
                            << parser.helpText();
        return 2;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
                            << '\n';
        return 0;
    }
    Arguments given;
    if (parser.isSet(folder))
        given.programFolder = QDir(parser.value(folder)).absolutePath();
    given.settingsFile = parser.value(settingsFile);
    return given;
}

} // namespace

int main(int argc, char *argv[])
{
    auto parsed = commandLine(argc, argv);
    if (const int *code = std::get_if<int>(&parsed))
        return *code;
    Arguments &given = std::get<Arguments>(parsed);

    QApplication app(argc, argv);
    Program::Seams seams;
    seams.programFolder = given.programFolder.value_or(QCoreApplication::applicationDirPath());
    seams.settingsFile = given.settingsFile;
    Program program(std::move(seams));
    program.start();
    // The window of a second start stays silent; its standard error says why it closes.
    if (program.window().isSecondInstance())
        QTextStream(stderr) << "ombrix: another Ombrix runs on these settings (lock "
                            << QDir::toNativeSeparators(program.lockFile()) << "); this one closes.\n";
    return QApplication::exec();
}
