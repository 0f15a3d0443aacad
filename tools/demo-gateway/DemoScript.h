#pragma once

#include <QMap>
#include <QString>
#include <QObject>
#include <QStringList>
#include <QTimer>

class FakeGateway;

// Plays a small installation on a fake gateway: answers commands and status requests as a
// real gateway would and keeps bus events coming on the monitor sessions.
class DemoScript : public QObject
{
    Q_OBJECT

public:
    DemoScript(FakeGateway &gateway, int eventIntervalMs, QObject *parent = nullptr);

    // The frames answering one command frame (replies, then the acknowledgement).
    QStringList answer(const QString &frame);

private:
    void nextEvent();

    FakeGateway &m_gateway;
    QTimer m_events;
    int m_step = 0;
    QMap<QString, QString> m_lights;  // WHERE -> WHAT
    int m_temperature1 = 215;          // tenths of a degree
    int m_temperature2 = 198;
    QString m_auxOn = QStringLiteral("100100000010000"); // channels 1 to 15
    QString m_alarmZones = QStringLiteral("10010000");   // zones 1 to 8 active
};
