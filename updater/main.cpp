#include "updater/window/Form1.h"
#include "shell/services/QtMessageBoxService.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <optional>

namespace {

// Reads the command line before any window exists, so that --help, --version and a mistyped
// option answer on a terminal without a display and never start the run, which rewrites files.
// Gives the exit code when the program is to stop here.
std::optional<int> commandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("update"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Brings the files of its own folder up to the current format, in a window: the language\n"
        "files italian.lng and english.lng take the new interface texts of italian.new and\n"
        "english.new and keep their own tables, and conf.xml is migrated; each former file is\n"
        "kept as a .old file and the log is saved as agg.log.\n"
        "Started without arguments it runs at once; it takes no other arguments."));
    // Qt's own --help-all would list options of Qt's that this program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and touches no file."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        QTextStream err(stderr);
        err << "update: "
            << (parsed ? QStringLiteral("unexpected argument: ") + parser.positionalArguments().constFirst()
                       : parser.errorText())
            << "\n\n"
            << parser.helpText();
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> code = commandLine(argc, argv))
        return *code;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("update"));
    QApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    QtMessageBoxService boxes;
    // The files it brings up to date are those beside it.
    Form1 form(QCoreApplication::applicationDirPath(), boxes);
    boxes.setParentWidget(&form);
    form.show();
    return app.exec();
}
