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
    m_refusal.reset();
    const auto tooLarge = [this](qint64 bytes) {
        refuse(int(QNetworkReply::UnknownContentError),
               QStringLiteral("Picture larger than %1 bytes (%2)").arg(MaxPictureBytes).arg(bytes));
    };
    // Refused as soon as its announced size is known, and again as the bytes come in, so a
    // server that lies about the size or names none fills no more than the bound.
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, tooLarge] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > MaxPictureBytes)
            tooLarge(length.toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [tooLarge](qint64 received, qint64) {
        if (received > MaxPictureBytes)
            tooLarge(received);
    });
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

void PictureFetcher::refuse(int number, const QString &description)
{
    if (!m_reply || m_refusal)
        return;
    m_refusal.emplace(number, description);
    // Aborting finishes the reply, which reports the refusal.
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
    if (m_refusal) {
        emit failed(m_refusal->first, m_refusal->second);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit failed(int(reply->error()), reply->errorString());
        return;
    }
    const QByteArray body = reply->readAll();
    // A connection that ends early can still finish without an error: the body must be as
    // long as the server said.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != body.size()) {
        emit failed(int(QNetworkReply::ProtocolFailure),
                    QStringLiteral("Picture cut short: %1 of %2 bytes").arg(body.size()).arg(length.toLongLong()));
        return;
    }
    emit received(body);
}
