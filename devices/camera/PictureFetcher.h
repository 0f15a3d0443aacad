#pragma once

#include "engine/http/HttpGet.h"

#include <QByteArray>
#include <QObject>
#include <QSslError>
#include <QUrl>

// Fetches camera pictures one at a time over a kept-alive connection. The gateway's
// certificate is its own: the four faults a self-made certificate shows are ignored for the
// picture request, every other TLS fault fails it. Each request has a deadline, and every
// part of the reply a bound.
class PictureFetcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 10000;
    // A camera picture is a few tens of kilobytes; a body beyond this is no picture.
    static constexpr qint64 MaxPictureBytes = 8 * 1024 * 1024;

    explicit PictureFetcher(QObject *parent = nullptr);

    void setTimeout(int ms) { m_get.setTimeoutMs(ms); }
    // Starts one GET; a request still pending is dropped without a signal.
    void fetch(const QUrl &url);
    // Drops the pending request, if any, without a signal.
    void abort() { m_get.abort(); }

    // Untrusted or self-signed issuer, wrong usage, host-name mismatch, expired or not yet valid.
    static bool isAcceptedCertificateError(QSslError::SslError error);

signals:
    void received(const QByteArray &body);
    void failed(int number, const QString &description);

private:
    void onFinished(const HttpGet::Result &result);

    HttpGet m_get;
};
