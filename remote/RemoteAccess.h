#pragma once

#include "remote/display/RemoteContext.h"
#include "remote/snapshot/SnapshotServer.h"
#include "remote/display/WsChum.h"
#include "remote/display/WsPolicy.h"

#include <QHostAddress>
#include <QObject>
#include <memory>
#include <optional>

// The three network services for display clients, started and stopped together: the
// display-client listener, the policy listener and the snapshot server. They bind every
// interface, since display clients are on the network.
class RemoteAccess : public QObject
{
    Q_OBJECT

public:
    struct Ports
    {
        QHostAddress address = QHostAddress::Any;
        quint16 client = WsChum::DefaultPort;
        quint16 policy = WsPolicy::DefaultPort;
        quint16 snapshot = SnapshotServer::DefaultPort;
    };

    explicit RemoteAccess(QObject *parent = nullptr);

    // The program's side; nothing starts before it is attached.
    void attach(const RemoteContext &context);
    void setPorts(const Ports &ports) { m_ports = ports; }

    // Opens what is not open yet; a port that cannot be opened is named in the status bar and
    // the monitor log, and the others run without it. False when any port failed.
    bool start();
    void stop();
    bool isRunning() const { return m_running; }

    WsChum &chum() { return m_chum; }
    WsPolicy &policy() { return m_policy; }
    SnapshotServer *snapshot() { return m_snapshot.get(); }

private:
    void restartListeners();
    bool openListeners();
    bool opened(bool ok, quint16 port, const QString &error);

    std::optional<RemoteContext> m_context;
    Ports m_ports;
    WsChum m_chum;
    WsPolicy m_policy;
    std::unique_ptr<SnapshotServer> m_snapshot;
    bool m_running = false;
};
