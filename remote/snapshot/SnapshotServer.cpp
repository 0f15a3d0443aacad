#include "remote/snapshot/SnapshotServer.h"

#include "remote/common/ConnectionCap.h"
#include "remote/common/RefusalLog.h"
#include "remote/snapshot/clsConnection.h"
#include "engine/ports/LogPane.h"
#include "engine/protocol/LogLine.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

SnapshotServer::SnapshotServer(QString programFolder, QObject *parent)
    : QObject(parent),
      m_folder(std::move(programFolder)),
      m_server(new QTcpServer(this)),
      m_refusals(new RefusalLog([this](const QString &text) { note(text); }, this))
{
    m_server->setObjectName(QStringLiteral("sckServer"));
    connect(m_server, &QTcpServer::newConnection, this, &SnapshotServer::onNewConnection);
}

SnapshotServer::~SnapshotServer() { WSCam(0); }

bool SnapshotServer::WSCam(int mode)
{
    if (mode == 1) {
        if (m_server->isListening())
            return true;
        return m_server->listen(m_address, m_port);
    }
    const QSet<clsConnection *> open = m_connections;
    for (clsConnection *c : open)
        c->drop();
    m_server->close();
    return true;
}

bool SnapshotServer::isListening() const { return m_server->isListening(); }
quint16 SnapshotServer::serverPort() const { return m_server->serverPort(); }
QString SnapshotServer::errorString() const { return m_server->errorString(); }

void SnapshotServer::onNewConnection()
{
    const auto open = [this] { return m_connections.size(); };
    const auto endFinished = [this] {
        const QSet<clsConnection *> now = m_connections;
        for (clsConnection *c : now)
            c->endIfPeerDone();
    };
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (!ConnectionCap::admit(socket, MaxConnections, open, endFinished, *m_refusals))
            continue;
        auto *c = new clsConnection(socket, m_timeoutMs, this);
        m_connections.insert(c);
        connect(c, &clsConnection::requestReceived, this, &SnapshotServer::onRequest);
        connect(c, &clsConnection::finished, this, &SnapshotServer::onFinished);
        connect(c, &clsConnection::refused, this, [this](clsConnection *refused, const QString &reason) {
            m_refusals->refused(reason + QStringLiteral(", ") + refused->RemoteAddress + QStringLiteral(" closed"));
        });
    }
}

void SnapshotServer::onFinished(clsConnection *connection)
{
    m_connections.remove(connection);
    connection->deleteLater();
}

void SnapshotServer::onRequest(clsConnection *connection, const QString &request)
{
    const QDir folder(m_folder);
    const clsHeader header = ProcessDataRequest(request);
    // Every path, "/" or any other, gets the picture; only a request that is not GET or POST
    // gets the page for unknown requests.
    SendFile(folder.filePath(header.FilePath.isEmpty() ? QStringLiteral("UnknownRequest.html")
                                                       : QStringLiteral("temp.jpg")),
             *connection);
}

void SnapshotServer::SendFile(const QString &path, clsConnection &connection)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        connection.reply(file.readAll());
    else
        connection.reply(QByteArray(MissingFileText));
}

void SnapshotServer::note(const QString &text)
{
    if (m_log)
        m_log->appendText(LogLine::at(QStringLiteral("Snapshot server: ") + text));
}

clsHeader SnapshotServer::ProcessDataRequest(const QString &request)
{
    // Lines end in CR LF or, from simpler clients, in a bare LF.
    const auto withoutCr = [](QString line) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        return line;
    };
    clsHeader h;
    const qsizetype lineEnd = request.indexOf(QLatin1Char('\n'));
    h.Request = lineEnd < 0 ? request : withoutCr(request.left(lineEnd));
    if (lineEnd >= 0) {
        const QStringList lines = request.mid(lineEnd + 1).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            // "Host: example:8080" splits into three and is skipped, as is a line without ":".
            const QStringList parts = withoutCr(line).split(QLatin1Char(':'));
            if (parts.size() == 2)
                h.Parameters.append({parts.at(0), parts.at(1).mid(1)});
        }
    }

    const auto pathFrom = [&h](int skip) {
        const QString rest = h.Request.mid(skip);
        const qsizetype version = rest.indexOf(QStringLiteral(" HTTP"));
        return version < 0 ? rest : rest.left(version);
    };
    if (h.Request.startsWith(QLatin1String("GET"))) {
        h.FilePath = pathFrom(4);
        const qsizetype query = h.FilePath.indexOf(QLatin1Char('?'));
        if (query >= 0) {
            h.Command = h.FilePath.mid(query + 1);
            h.FilePath.truncate(query);
        }
    } else if (h.Request.startsWith(QLatin1String("POST"))) {
        h.FilePath = pathFrom(5);
    }
    return h;
}
