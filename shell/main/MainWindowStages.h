#pragma once

class QString;

// What the main window's start-up and closing start and stop that is built outside the shell:
// the program gives one to the main window as it makes it, so a stage it does not wire cannot
// compile.
class MainWindowStages
{
public:
    virtual ~MainWindowStages() = default;

    // "Start_chk" = 1: the update check at start-up.
    virtual void startUpdateCheck() = 0;
    // The "Agent" named; false when it cannot be loaded.
    virtual bool loadCharacter(const QString &name) = 0;
    // The remote services: started at start-up when "wschum" is 1, stopped at closing.
    virtual void startRemoteAccess() = 0;
    virtual void stopRemoteAccess() = 0;
    // Closing: the update check and the character end.
    virtual void closeShellFeatures() = 0;
};
