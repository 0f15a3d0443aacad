#include "devices/camera/PictureFetcher.h"

PictureFetcher::PictureFetcher(QObject *parent) : QObject(parent), m_get(MaxPictureBytes)
{
    m_get.setTimeoutMs(DefaultTimeoutMs);
    m_get.setAcceptedCertificateError(&PictureFetcher::isAcceptedCertificateError);
    connect(&m_get, &HttpGet::finished, this, &PictureFetcher::onFinished);
}

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

void PictureFetcher::fetch(const QUrl &url) { m_get.get(url); }

void PictureFetcher::onFinished(const HttpGet::Result &result)
{
    if (result.ok()) {
        emit received(result.body);
        return;
    }
    switch (result.error) {
    case QNetworkReply::TimeoutError:
        emit failed(int(result.error), QStringLiteral("No picture within %1 s").arg(m_get.timeoutMs() / 1000.0));
        return;
    default:
        break;
    }
    if (result.fault == HttpReplyParser::Fault::BodyTooLarge) {
        emit failed(int(result.error),
                    QStringLiteral("Picture larger than %1 bytes (%2)").arg(MaxPictureBytes).arg(result.sizeOverBound));
        return;
    }
    emit failed(int(result.error), result.errorString);
}
