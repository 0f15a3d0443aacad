#include "engine/http/HttpGet.h"

#include "engine/links/LinkGuard.h"

#include <QSslSocket>

namespace {

constexpr qint64 ReadChunk = 64 * 1024;

QUrl originOf(const QUrl &url)
{
    QUrl o;
    o.setScheme(url.scheme().toLower());
    o.setHost(url.host());
    o.setPort(url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80));
    return o;
}

bool isRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

} // namespace

HttpGet::HttpGet(qint64 maxBodyBytes, QObject *parent) : QObject(parent), m_maxBody(maxBodyBytes)
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(DefaultTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(QNetworkReply::TimeoutError, QStringLiteral("No whole reply within %1 ms").arg(m_deadline.interval()));
    });
}

HttpGet::~HttpGet()
{
    abort();
    dropConnection();
}

QNetworkReply::NetworkError HttpGet::errorOfStatus(int status)
{
    if (status >= 200 && status < 300)
        return QNetworkReply::NoError;
    switch (status) {
    case 401: return QNetworkReply::AuthenticationRequiredError;
    case 403: return QNetworkReply::ContentAccessDenied;
    case 404: return QNetworkReply::ContentNotFoundError;
    case 405: return QNetworkReply::ContentOperationNotPermittedError;
    case 407: return QNetworkReply::ProxyAuthenticationRequiredError;
    case 409: return QNetworkReply::ContentConflictError;
    case 410: return QNetworkReply::ContentGoneError;
    case 418: return QNetworkReply::ProtocolInvalidOperationError;
    case 500: return QNetworkReply::InternalServerError;
    case 501: return QNetworkReply::OperationNotImplementedError;
    case 503: return QNetworkReply::ServiceUnavailableError;
    default: break;
    }
    if (status >= 500)
        return QNetworkReply::UnknownServerError;
    if (status >= 400)
        return QNetworkReply::UnknownContentError;
    return QNetworkReply::ProtocolUnknownError;
}

void HttpGet::get(const QUrl &url)
{
    abort();
    m_url = url;
    m_redirects = 0;
    m_retried = false;
    m_pending = true;
    m_deadline.start();
    send();
}

void HttpGet::send()
{
    LinkGuard::checkAddress(m_url.host());
    const QString scheme = m_url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        fail(QNetworkReply::ProtocolUnknownError, QStringLiteral("Protocol \"%1\" is unknown").arg(m_url.scheme()));
        return;
    }
    m_parser.emplace(m_maxBody);
    const bool open = m_socket && m_socket->state() == QAbstractSocket::ConnectedState
                      && (scheme == QLatin1String("http") || m_socket->isEncrypted());
    if (!open || originOf(m_url) != m_origin) {
        connectTo(m_url);
        return;
    }
    m_reused = !m_fresh;
    m_fresh = false;
    const QByteArray path = m_url.path(QUrl::FullyEncoded).isEmpty() ? QByteArray("/")
                                                                    : m_url.path(QUrl::FullyEncoded).toLatin1();
    const QByteArray query = m_url.hasQuery() ? "?" + m_url.query(QUrl::FullyEncoded).toLatin1() : QByteArray();
    QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = "[" + host + "]";
    if (m_url.port() != -1)
        host += ":" + QByteArray::number(m_url.port());
    m_socket->write("GET " + path + query + " HTTP/1.1\r\nHost: " + host
                    + "\r\nUser-Agent: Mozilla/5.0\r\nAccept: */*\r\n\r\n");
}

void HttpGet::connectTo(const QUrl &url)
{
    dropConnection();
    m_origin = originOf(url);
    auto *socket = new QSslSocket(this);
    m_socket = socket;
    m_fresh = true;
    const bool tls = m_origin.scheme() == QLatin1String("https");
    const auto ready = [this, socket] {
        if (socket == m_socket && m_pending)
            send();
    };
    if (tls)
        connect(socket, &QSslSocket::encrypted, this, ready);
    else
        connect(socket, &QSslSocket::connected, this, ready);
    connect(socket, &QSslSocket::readyRead, this, &HttpGet::onReadyRead);
    connect(socket, &QSslSocket::disconnected, this, [this, socket] { onClosed(socket); });
    connect(socket, &QSslSocket::errorOccurred, this, [this, socket] { onSocketError(socket); });
    connect(socket, &QSslSocket::sslErrors, this, [this, socket](const QList<QSslError> &errors) {
        for (const QSslError &e : errors) {
            if (!m_accepted || !m_accepted(e.error()))
                return;
        }
        socket->ignoreSslErrors(errors);
    });
    if (tls)
        socket->connectToHostEncrypted(url.host(), quint16(m_origin.port()));
    else
        socket->connectToHost(url.host(), quint16(m_origin.port()));
}

void HttpGet::dropConnection()
{
    if (QSslSocket *socket = m_socket) {
        m_socket = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

void HttpGet::onReadyRead()
{
    QSslSocket *socket = m_socket;
    if (!socket || socket->bytesAvailable() == 0)
        return;
    if (!m_pending || !m_parser || m_parser->state() == HttpReplyParser::State::Done) {
        // Bytes nobody asked for: the connection is not fit for another request.
        dropConnection();
        return;
    }
    // Taken a piece at a time, so a reply past a bound is stopped at the bound.
    while (m_pending && socket == m_socket && socket->bytesAvailable() > 0) {
        m_parser->feed(socket->read(ReadChunk));
        if (m_parser->state() == HttpReplyParser::State::Done) {
            complete();
            return;
        }
        if (m_parser->state() == HttpReplyParser::State::Failed) {
            fail(HttpReplyParser::pastBound(m_parser->fault()) ? QNetworkReply::UnknownContentError
                                                                 : QNetworkReply::ProtocolFailure,
                 m_parser->faultText());
            return;
        }
    }
}

void HttpGet::onClosed(QSslSocket *socket)
{
    // What came before the end is read first; that may end the request, and a new one may
    // have started from its signal.
    onReadyRead();
    if (socket != m_socket)
        return;
    if (!m_pending || !m_parser) {
        dropConnection();
        return;
    }
    // A kept-alive connection that the server closed while idle: once more on a new one.
    if (m_reused && !m_retried && m_parser->bytesSeen() == 0) {
        m_retried = true;
        dropConnection();
        send();
        return;
    }
    m_parser->endOfStream();
    if (m_parser->state() == HttpReplyParser::State::Done)
        complete();
    else
        fail(QNetworkReply::RemoteHostClosedError, m_parser->faultText());
}

void HttpGet::onSocketError(QSslSocket *socket)
{
    if (socket != m_socket || !m_pending)
        return;
    // The end of the stream is `disconnected`'s to handle, after the bytes before it.
    if (socket->error() == QAbstractSocket::RemoteHostClosedError)
        return;
    QNetworkReply::NetworkError error = QNetworkReply::UnknownNetworkError;
    switch (socket->error()) {
    case QAbstractSocket::ConnectionRefusedError: error = QNetworkReply::ConnectionRefusedError; break;
    case QAbstractSocket::HostNotFoundError: error = QNetworkReply::HostNotFoundError; break;
    case QAbstractSocket::SocketTimeoutError: error = QNetworkReply::TimeoutError; break;
    case QAbstractSocket::SslHandshakeFailedError: error = QNetworkReply::SslHandshakeFailedError; break;
    case QAbstractSocket::SslInternalError: error = QNetworkReply::SslHandshakeFailedError; break;
    default: break;
    }
    fail(error, socket->errorString());
}

void HttpGet::complete()
{
    Result r;
    r.status = m_parser->status();
    const bool keep = m_parser->keepAlive();
    const QByteArray location = m_parser->header("Location");
    if (!keep)
        dropConnection();
    if (isRedirect(r.status) && !location.isEmpty()) {
        const QUrl next = m_url.resolved(QUrl::fromEncoded(location));
        // Never from an encrypted address to a plain one.
        const bool lessSafe = m_url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
                              && next.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
        if (lessSafe || ++m_redirects > MaxRedirects) {
            fail(QNetworkReply::InsecureRedirectError, QStringLiteral("Redirect refused: %1").arg(next.toString()));
            return;
        }
        m_url = next;
        m_retried = false;
        send();
        return;
    }
    r.error = errorOfStatus(r.status);
    if (!r.ok())
        r.errorString = QStringLiteral("Server replied: %1 %2").arg(r.status).arg(QString::fromLatin1(m_parser->reason()));
    r.body = m_parser->body();
    finish(std::move(r));
}

void HttpGet::fail(QNetworkReply::NetworkError error, const QString &text)
{
    if (!m_pending)
        return;
    Result r;
    r.error = error;
    r.errorString = text;
    if (m_parser) {
        r.fault = m_parser->fault();
        r.sizeOverBound = m_parser->sizeOverBound();
        r.status = m_parser->status();
    }
    // A reply left half read makes the connection useless.
    dropConnection();
    finish(std::move(r));
}

void HttpGet::finish(Result result)
{
    m_pending = false;
    m_deadline.stop();
    m_parser.reset();
    emit finished(result);
}

void HttpGet::abort()
{
    if (!m_pending)
        return;
    m_pending = false;
    m_deadline.stop();
    m_parser.reset();
    dropConnection();
}
