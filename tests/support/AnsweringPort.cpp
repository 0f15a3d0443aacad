#include "support/AnsweringPort.h"

#include <QTimer>
#include <utility>

AnsweringPort::AnsweringPort(QList<QByteArray> answer, int delayMs) : m_answer(std::move(answer)), m_delayMs(delayMs) {}

bool AnsweringPort::start()
{
    if (!m_pty.start())
        return false;
    m_peer.setPortName(m_pty.peerPath());
    if (!m_peer.open(QIODevice::ReadWrite))
        return false;
    QObject::connect(&m_peer, &QSerialPort::readyRead, &m_peer, [this] {
        received += m_peer.readAll();
        if (!received.endsWith("##"))
            return;
        int delay = m_delayMs;
        for (const QByteArray &piece : std::as_const(m_answer)) {
            QTimer::singleShot(delay, &m_peer, [this, piece] {
                m_peer.write(piece);
                m_peer.flush();
            });
            delay += 30;
        }
    });
    return true;
}
