#include "devices/camera/PictureFetcher.h"

#include "engine/links/LinkGuard.h"

#include <QNetworkReply>
#include <QNetworkRequest>

PictureFetcher::PictureFetcher(QObject *parent) : QObject(parent)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(DefaultTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, &PictureFetcher::onTimeout);
}

PictureFetcher::~PictureFetcher() { abort(); }

bool PictureFetcher::isAcceptedCertificateError(QSslError::SslError error)
{
    switch (error) {
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::CertificateUntrusted:
    case QSslError::InvalidPurpose:
    case QSslError::HostNameMismatch:
    case QSslError::CertificateExpired:
    case QSslError::CertificateNotYetValid:
        return true;
    default:
        return false;
    }
}

void PictureFetcher::fetch(const QUrl &url)
{
    abort();
    LinkGuard::checkAddress(url.host());
    QNetworkRequest request(url);
    // The gateway's web server speaks HTTP/1.1; one connection carries every picture.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    QNetworkReply *reply = m_net.get(request);
    m_reply = reply;
    m_timedOut = false;
    connect(reply, &QNetworkReply::sslErrors, this,
            [this, reply](const QList<QSslError> &errors) { onSslErrors(reply, errors); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    m_timeout.start();
}

void PictureFetcher::abort()
{
    m_timeout.stop();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void PictureFetcher::onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors)
{
    for (const QSslError &e : errors) {
        if (!isAcceptedCertificateError(e.error()))
            return;
    }
    reply->ignoreSslErrors(errors);
}

void PictureFetcher::onTimeout()
{
    if (!m_reply)
        return;
    m_timedOut = true;
    // Aborting finishes the reply, which reports the time-out.
    m_reply->abort();
}

void PictureFetcher::onFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    m_timeout.stop();
    if (m_timedOut) {
        emit failed(int(QNetworkReply::TimeoutError),
                    QStringLiteral("No picture within %1 s").arg(m_timeout.interval() / 1000.0));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit failed(int(reply->error()), reply->errorString());
        return;
    }
    emit received(reply->readAll());
}
