#include "shell/update/VersionFetch.h"

#include "engine/links/LinkGuard.h"
#include "shell/update/ProjectAddresses.h"

#include <QNetworkReply>
#include <QNetworkRequest>

VersionFetch::VersionFetch(QObject *parent)
    : QObject(parent), m_address(ProjectAddresses::VersionFile)
{
}

VersionFetch::~VersionFetch() { cancel(); }

void VersionFetch::start()
{
    cancel();
    // Tests and demos never reach the project's server.
    LinkGuard::checkAddress(m_address.host());
    QNetworkRequest request(m_address);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = m_network.get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (m_reply != reply)
            return;
        m_reply = nullptr;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->error() == QNetworkReply::NoError)
            emit finished(Outcome::Reply, reply->readAll());
        else
            emit finished(status.isValid() ? Outcome::ServerError : Outcome::NoAnswer, QByteArray());
    });
}

void VersionFetch::cancel()
{
    if (QNetworkReply *r = m_reply) {
        m_reply = nullptr;
        r->abort(); // its finished() deletes it and reports nothing
    }
}
