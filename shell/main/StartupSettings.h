#pragma once

#include <QString>
#include <exception>

class ProgramSettings;
struct EngineState;
struct ShellOptions;

// The settings the main window's start-up reads, in the order it reads them. A value that is
// not a number where one is needed throws, and the start-up stage reports it.
namespace StartupSettings {

// The notice position; its defaults put the notice above the task bar in the right-hand
// corner of the primary screen.
void readNoticePosition(const ProgramSettings &settings, ShellOptions &options);

// Filters, notice options, gateway address, port and password, and the language.
void read(const ProgramSettings &settings, EngineState &state, ShellOptions &options);

// Option/"ServerPORT" as a TCP port: a text that is not a whole number from 1 to 65535 gives
// the default port, and sets `bad` to the text as stored.
QString gatewayPort(const QString &stored, QString *bad);
// The line the monitor pane shows for a bad port, from the language's "PortErr" (a built-in
// English text when an older file lacks it).
QString badPortLine(const QString &languageText, const QString &bad);

// The message when the program folder holds no language file: built in, in both languages,
// since no language can be read.
QString noLanguageFileText(const QString &folder);

// The message of a failed start-up stage: its number (13 for a value that is not a number,
// else 5), " - " and the description.
QString failureText(const std::exception &e);

struct ConsoleColours
{
    quint32 fore, back, foreC, backC;
};
ConsoleColours readConsoleColours(const ProgramSettings &settings);

} // namespace StartupSettings
