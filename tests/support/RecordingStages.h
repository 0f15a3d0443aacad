#pragma once

#include "shell/main/MainWindowStages.h"

#include <QString>
#include <QStringList>

#include <functional>

// The main window's outside stages, recorded in the order they ran: "startUpdateCheck",
// "loadCharacter NAME", "startRemoteAccess", "stopRemoteAccess", "closeShellFeatures". No
// character loads unless `characterLoads` says so.
class RecordingStages : public MainWindowStages
{
public:
    void startUpdateCheck() override { ran << QStringLiteral("startUpdateCheck"); }
    bool loadCharacter(const QString &name) override
    {
        ran << QStringLiteral("loadCharacter ") + name;
        return characterLoads && characterLoads(name);
    }
    void startRemoteAccess() override { ran << QStringLiteral("startRemoteAccess"); }
    void stopRemoteAccess() override { ran << QStringLiteral("stopRemoteAccess"); }
    void closeShellFeatures() override { ran << QStringLiteral("closeShellFeatures"); }

    QStringList ran;
    std::function<bool(const QString &)> characterLoads;
};
