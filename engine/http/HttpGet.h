#pragma once

#include "engine/http/HttpReplyParser.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QSslSocket;

// GET over HTTP/1.1 or HTTPS, one request at a time, the connection kept for the next one
// when the server allows. Every part of a reply is bounded (HttpReplyParser): Qt's network
// access reads headers without any bound, and a server could fill the memory with one
// endless header line. Each request has a deadline counted from its start. Errors carry the
// numbers of QNetworkReply::NetworkError, so they read as the network's own.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString errorString;
        HttpReplyParser::Fault fault = HttpReplyParser::Fault::None;
        qint64 sizeOverBound = 0; // with Fault::BodyTooLarge
        int status = 0;           // 0: no status line came
        QByteArray body;
        bool ok() const { return error == QNetworkReply::NoError; }
    };

    static constexpr int MaxRedirects = 5;
    static constexpr int DefaultTimeoutMs = 30000;

    explicit HttpGet(qint64 maxBodyBytes, QObject *parent = nullptr);
    ~HttpGet() override;

    void setTimeoutMs(int ms) { m_deadline.setInterval(ms); }
    int timeoutMs() const { return m_deadline.interval(); }
    // Which certificate faults an HTTPS request overlooks; none when unset.
    void setAcceptedCertificateError(std::function<bool(QSslError::SslError)> accepted)
    {
        m_accepted = std::move(accepted);
    }

    // Starts a GET; one still pending is dropped without a signal.
    void get(const QUrl &url);
    // Drops the pending request, if any, without a signal.
    void abort();
    bool isPending() const { return m_pending; }

    // Status of a reply as the network's error number (NoError for 2xx).
    static QNetworkReply::NetworkError errorOfStatus(int status);

signals:
    void finished(const HttpGet::Result &result);

private:
    void send();
    void connectTo(const QUrl &url);
    void dropConnection();
    void onReadyRead();
    void onClosed(QSslSocket *socket);
    void onSocketError(QSslSocket *socket);
    void complete();
    void fail(QNetworkReply::NetworkError error, const QString &text);
    void finish(Result result);

    qint64 m_maxBody;
    QTimer m_deadline;
    std::function<bool(QSslError::SslError)> m_accepted;
    QPointer<QSslSocket> m_socket;
    QUrl m_origin;    // scheme, host and port the connection goes to
    QUrl m_url;
    std::optional<HttpReplyParser> m_parser;
    bool m_pending = false;
    bool m_fresh = false;   // the connection has carried no request yet
    bool m_reused = false;  // the pending request went on a connection used before
    bool m_retried = false;
    int m_redirects = 0;
};
