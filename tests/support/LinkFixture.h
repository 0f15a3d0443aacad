#pragma once

#include "engine/links/CommandLink.h"
#include "engine/model/EngineState.h"
#include "demo-gateway/FakeGateway.h"
#include "support/LinkRecorders.h"
#include "engine/links/MonitorLink.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingNotice.h"
#include "support/TestFolder.h"

// Both links wired to recorders and a fake gateway on loopback, with short waits.
struct LinkFixture
{
    LinkFixture();

    // Language texts are their own keys in brackets, so a test reads which text was used.
    static QString txt(const char *key) { return QLatin1Char('[') + QLatin1String(key) + QLatin1Char(']'); }
    // The line of a gateway that could not be reached: where, and why when the system said.
    QString noConnection(const QString &reason = QString()) const
    {
        return txt("NoCon") + QStringLiteral(" (127.0.0.1:") + state.link.PortaGateway + QLatin1Char(')')
            + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
    }

    // Sets InChiusura after delayMs, as the shutdown does. A wait that ends at once handles
    // no event posted after the flag: eventsAfterClosing stays 0 until the test itself
    // processes events again.
    void closeAfter(int delayMs);
    int eventsAfterClosing = 0;

    TestFolder folder;
    ProgramSettings settings;
    EngineState state;
    RecordingLogPane Tlog{QStringLiteral("Tlog")};
    RecordingLogPane TlogC{QStringLiteral("TlogC")};
    RecordingSink sink;
    RecordingStatusBar status;
    RecordingCommandBox box;
    RecordingLinkWindow window;
    RecordingMessageBox messages;
    RecordingNotice notices;
    FakeGateway gateway;
    CommandLink commands;
    MonitorLink monitor;
};
