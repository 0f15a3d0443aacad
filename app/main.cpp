#include "app/Program.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProgramSettings::ApplicationName));
    QApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(ProgramIdentity::DesktopFileName);
    // The program lives on in the tray while its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watches and drives a home-automation bus."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folder(QStringLiteral("program-folder"),
                                    QStringLiteral("Folder with the language files, conf.xml and ico.icl."),
                                    QStringLiteral("folder"));
    const QCommandLineOption settingsFile(QStringLiteral("settings"),
                                          QStringLiteral("Settings kept in this INI file instead of the user's own."),
                                          QStringLiteral("file"));
    parser.addOption(folder);
    parser.addOption(settingsFile);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString why = parser.errorText().isEmpty()
                                ? QStringLiteral("Unexpected argument: ") + parser.positionalArguments().join(QLatin1Char(' '))
                                : parser.errorText();
        std::fprintf(stderr, "%s\n\n%s", qPrintable(why), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    Program::Seams seams;
    seams.programFolder = parser.isSet(folder) ? QDir(parser.value(folder)).absolutePath()
                                               : QCoreApplication::applicationDirPath();
    seams.settingsFile = parser.value(settingsFile);
    Program program(std::move(seams));
    QObject::connect(&program.window(), &FrmMain::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    program.start();
    // The window of a second start stays silent; its standard error says why it closes.
    if (program.window().isSecondInstance())
        std::fprintf(stderr, "ombrix: another Ombrix runs on these settings (lock %s); this one closes.\n",
                     qPrintable(QDir::toNativeSeparators(program.lockFile())));
    return QApplication::exec();
}
