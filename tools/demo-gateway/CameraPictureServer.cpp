#include "demo-gateway/CameraPictureServer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTime>
#include <QTimer>
#include <QtMath>

CameraPictureServer::CameraPictureServer(LoopbackCertificate certificate, QObject *parent)
    : QTcpServer(parent), m_certificate(std::move(certificate))
{
    m_clock.start();
}

bool CameraPictureServer::start(quint16 port)
{
    return m_certificate.isValid() && listen(QHostAddress::LocalHost, port);
}

void CameraPictureServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    ++m_connections;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificateChain(m_certificate.chain);
    config.setPrivateKey(m_certificate.key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->setSslConfiguration(config);
    connect(socket, &QSslSocket::readyRead, this, [this, socket] { serve(socket); });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    // A client that refuses the certificate just goes away.
    connect(socket, &QSslSocket::errorOccurred, socket, &QSslSocket::disconnectFromHost);
    socket->startServerEncryption();
}

void CameraPictureServer::serve(QSslSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    qsizetype end;
    while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
        buffer.remove(0, end + 4);
        ++m_requests;
        emit requestReceived(m_requests);
        if (m_silent)
            continue;
        if (m_delayMs > 0) {
            QPointer<QSslSocket> guard(socket);
            QTimer::singleShot(m_delayMs, this, [this, guard] {
                if (guard)
                    answer(guard);
            });
        } else {
            answer(socket);
        }
    }
    socket->setProperty("buffer", buffer);
}

void CameraPictureServer::answer(QSslSocket *socket)
{
    if (m_endlessHead != EndlessHead::None) {
        socket->write("HTTP/1.1 200 OK\r\nX-Pad: ");
        stream(socket, m_endlessHead == EndlessHead::OneLine ? QByteArray(256 * 1024, 'a')
                                                             : QByteArray("a\r\nX-Pad: ").repeated(20000));
        return;
    }
    const QByteArray body = m_fixedBody.isEmpty() ? drawPicture(m_clock.elapsed()) : m_fixedBody;
    if (m_announced == -1 && !m_endless) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nConnection: keep-alive\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        return;
    }
    const qint64 announced = m_announced == -1 ? body.size() : m_announced;
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nConnection: close\r\n";
    if (announced != NoLength)
        head += "Content-Length: " + QByteArray::number(announced) + "\r\n";
    socket->write(head + "\r\n" + body);
    if (m_endless)
        stream(socket, QByteArray(256 * 1024, '\x55'));
    else
        socket->disconnectFromHost();
}

void CameraPictureServer::stream(QSslSocket *socket, const QByteArray &filler)
{
    // Keeps about a megabyte queued until the client goes away.
    auto *pump = new QTimer(socket);
    connect(pump, &QTimer::timeout, socket, [socket, filler] {
        if (socket->bytesToWrite() < 1024 * 1024)
            socket->write(filler);
    });
    pump->start(2);
}

QByteArray CameraPictureServer::drawPicture(qint64 elapsedMs)
{
    QImage image(320, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A porch at dusk: sky, wall, floor.
    QLinearGradient sky(0, 0, 0, 240);
    sky.setColorAt(0, QColor(52, 78, 110));
    sky.setColorAt(0.6, QColor(120, 132, 140));
    sky.setColorAt(1, QColor(78, 70, 62));
    p.fillRect(image.rect(), sky);
    p.fillRect(QRect(0, 170, 320, 70), QColor(92, 84, 74));
    p.fillRect(QRect(200, 40, 80, 130), QColor(110, 72, 48));
    p.setPen(QPen(QColor(60, 40, 28), 3));
    p.drawRect(QRect(200, 40, 80, 130));

    // A visitor walking to and fro.
    const double phase = double(elapsedMs % 8000) / 8000.0;
    const double x = 30 + 140 * (0.5 - 0.5 * std::cos(phase * 2 * M_PI));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 196, 160));
    p.drawEllipse(QPointF(x, 112), 13, 13);
    p.setBrush(QColor(200, 60, 50));
    p.drawRoundedRect(QRectF(x - 16, 128, 32, 46), 8, 8);

    // A clock face with the time of day.
    const QTime now = QTime::currentTime();
    const QPointF c(62, 52);
    p.setBrush(QColor(245, 245, 240));
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawEllipse(c, 26, 26);
    const auto hand = [&](double turns, double length, double width) {
        p.setPen(QPen(QColor(30, 30, 30), width, Qt::SolidLine, Qt::RoundCap));
        const double a = turns * 2 * M_PI;
        p.drawLine(c, c + QPointF(std::sin(a) * length, -std::cos(a) * length));
    };
    hand((now.hour() % 12 + now.minute() / 60.0) / 12.0, 14, 3);
    hand((now.minute() + now.second() / 60.0) / 60.0, 21, 2);
    p.setPen(QPen(QColor(200, 40, 40), 1));
    const double s = now.second() / 60.0 * 2 * M_PI;
    p.drawLine(c, c + QPointF(std::sin(s) * 23, -std::cos(s) * 23));
    p.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}
