#include "support/LinkFixture.h"

#include <QTimer>

LinkFixture::LinkFixture()
    : settings(folder.settingsFile()),
      commands(state, sink, TlogC, status, box, window, messages),
      monitor(state, settings, commands, sink, Tlog, status, window, notices, messages)
{
    for (const char *key : {"Comstart", "Comstop", "WaitCon", "NoCon", "NoAck", "txtPwCon", "StartMon", "LogStart",
                            "LogStop", "Stop", "StatCon", "NoComm", "NoUsb", "Monstart"})
        state.lang.text.insert(QLatin1String(key), txt(key));
    state.lang.text.insert(QStringLiteral("txtPwCon"), QStringLiteral("Allow \\ip on the gateway (\\ip)"));
    for (int k = 0; k < 9; ++k)
        state.lang.NomiWho[static_cast<size_t>(k)] = QStringLiteral("G%1").arg(k);

    gateway.listen();
    state.link.IpGateway = gateway.address();
    state.link.PortaGateway = QString::number(gateway.port());

    CommandLink::Timings ct;
    ct.connectMs = 2000;
    ct.greetingMs = 1000;
    ct.sessionMs = 500;
    ct.ackMs = 300;
    commands.setTimings(ct);
    MonitorLink::Timings mt;
    mt.connectMs = 2000;
    mt.greetingMs = 1000;
    mt.sessionMs = 500;
    mt.serialAnswerMs = 500;
    monitor.setTimings(mt);
}

void LinkFixture::closeAfter(int delayMs)
{
    QTimer::singleShot(delayMs, &gateway, [this] {
        state.InChiusura = true;
        QMetaObject::invokeMethod(&gateway, [this] { ++eventsAfterClosing; }, Qt::QueuedConnection);
    });
}
