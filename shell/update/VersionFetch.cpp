#include "shell/update/VersionFetch.h"

#include "engine/links/LinkGuard.h"
#include "shell/update/ProjectAddresses.h"

#include <QNetworkReply>
#include <QNetworkRequest>

VersionFetch::VersionFetch(QObject *parent)
    : QObject(parent), m_address(ProjectAddresses::VersionFile)
{
    m_deadline.setSingleShot(true);
    // A server that trickles its reply would restart a time-out that counts from the last
    // byte; this one counts from the start.
    connect(&m_deadline, &QTimer::timeout, this, [this] { giveUp(Outcome::NoAnswer); });
}

VersionFetch::~VersionFetch() { cancel(); }

void VersionFetch::start()
{
    cancel();
    // Tests and demos never reach the project's server.
    LinkGuard::checkAddress(m_address.host());
    QNetworkRequest request(m_address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = m_network.get(request);
    m_reply = reply;
    m_verdict.reset();
    m_deadline.start(m_timeoutMs);
    // Refused when the announced size is too large, and again as the bytes arrive, for a
    // server that names no size.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > MaxBodyBytes)
            giveUp(Outcome::ServerError);
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > MaxBodyBytes)
            giveUp(Outcome::ServerError);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (m_reply != reply)
            return;
        m_reply = nullptr;
        m_deadline.stop();
        if (m_verdict) {
            emit finished(*m_verdict, QByteArray());
            return;
        }
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->error() == QNetworkReply::NoError)
            emit finished(Outcome::Reply, reply->readAll());
        else
            emit finished(status.isValid() ? Outcome::ServerError : Outcome::NoAnswer, QByteArray());
    });
}

void VersionFetch::giveUp(Outcome outcome)
{
    if (!m_reply || m_verdict)
        return;
    m_verdict = outcome;
    // Aborting finishes the reply, which reports the verdict.
    m_reply->abort();
}

void VersionFetch::cancel()
{
    m_deadline.stop();
    if (QNetworkReply *r = m_reply) {
        m_reply = nullptr;
        r->abort(); // its finished() deletes it and reports nothing
    }
}
