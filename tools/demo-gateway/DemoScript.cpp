#include "demo-gateway/DemoScript.h"

#include "demo-gateway/FakeGateway.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace {
const QString Ack = QStringLiteral("*#*1##");
const QString Nack = QStringLiteral("*#*0##");
// A command shows on the monitor session a little after the gateway took it.
constexpr int MonitorEchoMs = 80;

QString temperature(int tenths)
{
    return (tenths < 0 ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral("%1").arg(qAbs(tenths), 3, 10, QLatin1Char('0'));
}
} // namespace

DemoScript::DemoScript(FakeGateway &gateway, int eventIntervalMs, QObject *parent)
    : QObject(parent), m_gateway(gateway)
{
    for (const char *where : {"11", "12", "13"})
        m_lights.insert(QString::fromLatin1(where), QStringLiteral("0"));
    m_gateway.setResponder([this](const QString &frame) { return answer(frame); });
    connect(&m_events, &QTimer::timeout, this, &DemoScript::nextEvent);
    m_events.start(eventIntervalMs);
}

QStringList DemoScript::answer(const QString &frame)
{
    static const QRegularExpression command(QStringLiteral("^\\*(\\d+)\\*(\\d+(?:#\\d+)?)\\*(\\d*(?:#\\d+)?)##$"));
    static const QRegularExpression status(QStringLiteral("^\\*#(\\d+)(?:\\*([^*#]*))?(?:\\*(\\d+))?##$"));

    // Door-entry camera commands carry a fourth field: "*6*0*4001*##", "*6*9**##".
    static const QRegularExpression camera(QStringLiteral("^\\*6\\*\\d+\\*[\\d#]*\\*##$"));
    if (camera.match(frame).hasMatch())
        return {Ack};

    const QRegularExpressionMatch c = command.match(frame);
    if (c.hasMatch()) {
        if (c.captured(1) == QLatin1String("1") && m_lights.contains(c.captured(3)))
            m_lights[c.captured(3)] = c.captured(2);
        const int channel = c.captured(3).toInt();
        if (c.captured(1) == QLatin1String("9") && channel >= 1 && channel <= m_auxOn.size())
            m_auxOn[channel - 1] = c.captured(2) == QLatin1String("1") ? QLatin1Char('1') : QLatin1Char('0');
        QTimer::singleShot(MonitorEchoMs, this, [this, frame] { m_gateway.pushEvent(frame); });
        return {Ack};
    }
    const QRegularExpressionMatch s = status.match(frame);
    if (!s.hasMatch())
        return {Nack};
    const QString who = s.captured(1);
    const QString where = s.captured(2);
    const QString dim = s.captured(3);
    QStringList out;
    if (who == QLatin1String("1")) {
        for (auto it = m_lights.cbegin(); it != m_lights.cend(); ++it) {
            if (where.isEmpty() || where == QLatin1String("0") || where == it.key())
                out << QStringLiteral("*1*%1*%2##").arg(it.value(), it.key());
        }
    } else if (who == QLatin1String("4") && (where == QLatin1String("1") || where == QLatin1String("2"))) {
        // Zone 1 heats toward 21 degrees with its knob at +0; zone 2 idles at 19, knob at -1.
        const bool first = where == QLatin1String("1");
        const int t = first ? m_temperature1 : m_temperature2;
        if (dim == QLatin1String("0"))
            out << QStringLiteral("*#4*%1*0*%2##").arg(where, temperature(t));
        else if (dim == QLatin1String("12"))
            out << QStringLiteral("*#4*%1*12*%2*1##").arg(where, first ? QStringLiteral("0210") : QStringLiteral("0190"));
        else if (dim == QLatin1String("13"))
            out << QStringLiteral("*#4*%1*13*%2##").arg(where, first ? QStringLiteral("00") : QStringLiteral("11"));
        else if (dim == QLatin1String("19"))
            out << QStringLiteral("*#4*%1*19*0*%2##").arg(where, first ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (who == QLatin1String("9") && where.isEmpty()) {
        for (int n = 1; n <= m_auxOn.size(); ++n)
            out << QStringLiteral("*9*%1*%2##").arg(m_auxOn.at(n - 1)).arg(n);
    } else if (who == QLatin1String("5") && where.isEmpty()) {
        // Active, disengaged, battery and mains fine, then each zone.
        out << QStringLiteral("*5*1*##") << QStringLiteral("*5*9*##") << QStringLiteral("*5*5*##") << QStringLiteral("*5*7*##");
        for (int z = 1; z <= m_alarmZones.size(); ++z)
            out << QStringLiteral("*5*%1*#%2##").arg(m_alarmZones.at(z - 1) == QLatin1Char('1') ? 11 : 18).arg(z);
    } else if (who == QLatin1String("3") && where == QLatin1String("10")) {
        if (dim == QLatin1String("1"))
            out << QStringLiteral("*#3*10*1*%1##").arg(228 + QRandomGenerator::global()->bounded(5));
        else if (dim == QLatin1String("2"))
            out << QStringLiteral("*#3*10*2*%1##").arg(3 + QRandomGenerator::global()->bounded(6));
        else if (dim == QLatin1String("3"))
            out << QStringLiteral("*#3*10*3*%1##").arg(600 + QRandomGenerator::global()->bounded(900));
    } else if (who == QLatin1String("13") && dim == QLatin1String("15")) {
        out << QStringLiteral("*#13**15*2##");
    }
    out << Ack;
    return out;
}

void DemoScript::nextEvent()
{
    static const char *const lights[] = {"11", "12", "13"};
    static const char *const shutter[] = {"1", "0", "2", "0"};
    const int step = m_step++;
    switch (step % 5) {
    case 0: {
        const QString where = QString::fromLatin1(lights[(step / 5) % 3]);
        const QString what = m_lights.value(where) == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1");
        m_lights[where] = what;
        m_gateway.pushEvent(QStringLiteral("*1*%1*%2##").arg(what, where));
        break;
    }
    case 1:
        m_gateway.pushEvent(QStringLiteral("*2*%1*21##").arg(QString::fromLatin1(shutter[(step / 5) % 4])));
        break;
    case 2:
        m_temperature1 += QRandomGenerator::global()->bounded(-2, 3);
        m_gateway.pushEvent(QStringLiteral("*#4*1*0*%1##").arg(temperature(m_temperature1)));
        break;
    case 3:
        m_temperature2 += QRandomGenerator::global()->bounded(-2, 3);
        m_gateway.pushEvent(QStringLiteral("*#4*2*0*%1##").arg(temperature(m_temperature2)));
        break;
    default: {
        m_gateway.pushEvent(QStringLiteral("*#3*10*3*%1##").arg(600 + QRandomGenerator::global()->bounded(900)));
        // Now and then someone walks through alarm zone 2.
        if ((step / 5) % 2 == 1) {
            const bool active = m_alarmZones.at(1) != QLatin1Char('1');
            m_alarmZones[1] = active ? QLatin1Char('1') : QLatin1Char('0');
            m_gateway.pushEvent(QStringLiteral("*5*%1*#2##").arg(active ? 11 : 18));
        }
        break;
    }
    }
}
