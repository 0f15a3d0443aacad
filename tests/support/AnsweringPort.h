#pragma once

#include "support/PtyPair.h"

#include <QByteArray>
#include <QList>
#include <QSerialPort>

// A serial port with a device on its far end: each request it receives (text ending in "##")
// is answered with the pieces given, one write each, after delayMs. No pieces: a silent device.
class AnsweringPort
{
public:
    explicit AnsweringPort(QList<QByteArray> answer = {}, int delayMs = 0);
    bool start();
    QString portPath() const { return m_pty.portPath(); }
    // Everything the device received.
    QByteArray received;

private:
    PtyPair m_pty;
    QSerialPort m_peer;
    QList<QByteArray> m_answer;
    int m_delayMs;
};
