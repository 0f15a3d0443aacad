#include "remote/RemoteAccess.h"

#include "remote/display/ClientLamp.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/StatusBar.h"

// The services are children, so moving the whole to another thread moves them too.
RemoteAccess::RemoteAccess(QObject *parent) : QObject(parent), m_chum(this), m_policy(this)
{
    connect(&m_chum, &WsChum::clientClosed, this, &RemoteAccess::restartListeners);
}

void RemoteAccess::attach(const RemoteContext &context)
{
    m_context.emplace(context);
    m_chum.attach(context);
    m_policy.setLog(&context.log);
    m_snapshot = std::make_unique<SnapshotServer>(context.state.programFolder, this);
    m_snapshot->setLog(&context.log);
}

bool RemoteAccess::start()
{
    if (!m_context)
        return false;
    m_running = true;
    bool ok = openListeners();
    m_snapshot->setAddress(m_ports.address);
    m_snapshot->setPort(m_ports.snapshot);
    const bool snapshot = m_snapshot->WSCam(1);
    ok = opened(snapshot, m_ports.snapshot, m_snapshot->errorString()) && ok;
    m_context->lamp.setClientLamp(ClientLamp::Green);
    return ok;
}

void RemoteAccess::stop()
{
    if (!m_context)
        return;
    m_running = false;
    m_chum.close();
    m_policy.close();
    m_snapshot->WSCam(0);
    m_context->lamp.setClientLamp(ClientLamp::Off);
}

bool RemoteAccess::openListeners()
{
    bool ok = true;
    if (!m_chum.isListening()) {
        const bool listening = m_chum.listen(m_ports.address, m_ports.client);
        ok = opened(listening, m_ports.client, m_chum.errorString());
    }
    // The document grants the port the client listener really has.
    m_policy.setClientPort(m_chum.isListening() ? m_chum.serverPort() : m_ports.client);
    if (!m_policy.isListening()) {
        const bool listening = m_policy.listen(m_ports.address, m_ports.policy);
        ok = opened(listening, m_ports.policy, m_policy.errorString()) && ok;
    }
    return ok;
}

void RemoteAccess::restartListeners()
{
    if (!m_running)
        return;
    // A client's end gives a listener that could not open before another chance; the ones
    // open stay as they are, so their ports are never given up to someone else meanwhile.
    openListeners();
}

bool RemoteAccess::opened(bool ok, quint16 port, const QString &error)
{
    if (ok)
        return true;
    const QString text = QStringLiteral("Remote access: port %1 could not be opened (%2)").arg(port).arg(error);
    // Queued: the start-up writes its own texts to the status bar after this stage, and the
    // failure must be what stays there.
    QMetaObject::invokeMethod(this, [this, text] { m_context->status.setStatusText(text); }, Qt::QueuedConnection);
    m_context->log.appendText(LogLine::at(text));
    return false;
}
