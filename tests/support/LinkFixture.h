#pragma once

#include "CommandLink.h"
#include "EngineState.h"
#include "FakeGateway.h"
#include "LinkRecorders.h"
#include "MonitorLink.h"
#include "ProgramSettings.h"
#include "RecordingMessageBox.h"
#include "TestFolder.h"

// Both links wired to recorders and a fake gateway on loopback, with short waits.
struct LinkFixture
{
    LinkFixture();

    // Language texts are their own keys in brackets, so a test reads which text was used.
    static QString txt(const char *key) { return QLatin1Char('[') + QLatin1String(key) + QLatin1Char(']'); }

    // Sets InChiusura after delayMs, as the shutdown does. A wait that ends at once handles
    // no event posted after the flag: eventsAfterClosing stays 0 until the test itself
    // processes events again.
    void closeAfter(int delayMs);
    int eventsAfterClosing = 0;

    TestFolder folder;
    ProgramSettings settings;
    EngineState state;
    RecordingPane Tlog{QStringLiteral("Tlog")};
    RecordingPane TlogC{QStringLiteral("TlogC")};
    RecordingSink sink;
    RecordingStatusBar status;
    RecordingCommandBox box;
    RecordingLinkWindow window;
    RecordingMessageBox messages;
    RecordingNotices notices;
    FakeGateway gateway;
    CommandLink commands;
    MonitorLink monitor;
};
