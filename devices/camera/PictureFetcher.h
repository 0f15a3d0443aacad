#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include <optional>
#include <utility>

// Fetches camera pictures one at a time over a kept-alive connection. The gateway's
// certificate is its own: the four faults a self-made certificate shows are ignored for the
// picture request, every other TLS fault fails it. Each request has a deadline.
class PictureFetcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 10000;
    // A camera picture is a few tens of kilobytes; a body beyond this is no picture.
    static constexpr qint64 MaxPictureBytes = 8 * 1024 * 1024;

    explicit PictureFetcher(QObject *parent = nullptr);
    ~PictureFetcher() override;

    void setTimeout(int ms) { m_timeout.setInterval(ms); }
    // Starts one GET; a request still pending is dropped without a signal.
    void fetch(const QUrl &url);
    // Drops the pending request, if any, without a signal.
    void abort();

    // Untrusted or self-signed issuer, wrong usage, host-name mismatch, expired or not yet valid.
    static bool isAcceptedCertificateError(QSslError::SslError error);

signals:
    void received(const QByteArray &body);
    void failed(int number, const QString &description);

private:
    void onFinished(QNetworkReply *reply);
    void onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors);
    void onTimeout();
    void refuse(int number, const QString &description);

    QNetworkAccessManager m_net;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timeout;
    bool m_timedOut = false;
    // Set when the reply is aborted for its size; reported instead of the abort.
    std::optional<std::pair<int, QString>> m_refusal;
};
