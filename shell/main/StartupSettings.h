#pragma once

#include <QString>

class ProgramSettings;
struct EngineState;
struct ShellOptions;

// The settings the main window's start-up reads, in the order it reads them. A value that is
// not a number where one is needed throws, and the start-up stage reports it.
namespace StartupSettings {

// The notice position; its defaults depend on the screen (size in twips, task bar height).
void readNoticePosition(const ProgramSettings &settings, ShellOptions &options, int screenWidthTw,
                        int screenHeightTw, int taskbarTw);

// Filters, notice options, gateway address, port and password, and the language.
void read(const ProgramSettings &settings, EngineState &state, ShellOptions &options);

struct ConsoleColours
{
    quint32 fore, back, foreC, backC;
};
ConsoleColours readConsoleColours(const ProgramSettings &settings);

} // namespace StartupSettings
