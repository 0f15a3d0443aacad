#include "engine/links/SerialDetection.h"

#include "engine/links/CommandLink.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/links/LinkWait.h"
#include "engine/links/MonitorLink.h"
#include "engine/links/SerialPortName.h"

#include <QCollator>
#include <QCoreApplication>
#include <QSerialPortInfo>
#include <algorithm>
#include <utility>

SerialDetection::SerialDetection(EngineState &state, CommandLink &commands, MonitorLink &monitor)
    : m_state(state), m_commands(commands), m_monitor(monitor)
{
}

QStringList SerialDetection::ElencaCom()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names << info.portName();
    // COM2 before COM10, ttyS1 before ttyUSB0.
    QCollator order;
    order.setNumericMode(true);
    std::sort(names.begin(), names.end(), order);
    names.removeDuplicates();
    return names.first(std::min<qsizetype>(names.size(), MaxPorts));
}

bool SerialDetection::ProvaCom(const QString &port)
{
    LinkState &link = m_state.link;
    QSerialPort &comm = m_commands.Comm();
    link.ModoUsb = false;
    if (comm.isOpen())
        comm.close();
    // A port that will not open (in use, gone) gives no reply; there is nothing to wait for.
    if (!m_monitor.ApriPorta(port))
        return false;
    comm.write(Frame::gatewayModelRequest().toLatin1());
    // Ends on the reply; a gateway answering in a few milliseconds is not missed.
    LinkWait::run([&link] { return link.ModoUsb; }, [this] { return m_state.InChiusura; }, m_timings.replyMs,
                  {{&comm, SIGNAL(readyRead())}});
    comm.close();
    // The port is closed again: the senders must not take it for an answering gateway.
    return std::exchange(link.ModoUsb, false);
}

int SerialDetection::cerca(const QStringList &ports)
{
    bool &detecting = m_state.link.RilevamentoCom;
    const bool before = std::exchange(detecting, true);
    int found = -1;
    for (int i = 0; i < ports.size() && !m_state.InChiusura; ++i) {
        if (ProvaCom(ports.at(i))) {
            found = i;
            break;
        }
        LinkWait::run([] { return false; }, [this] { return m_state.InChiusura; }, m_timings.pauseMs, {});
        QCoreApplication::processEvents();
    }
    detecting = before;
    return found;
}

QString SerialDetection::provaApertura(const QString &port)
{
    QSerialPort &comm = m_commands.Comm();
    if (comm.isOpen())
        comm.close();
    comm.setPortName(SerialPorts::SerialPortName(port));
    if (!comm.open(QIODevice::ReadWrite))
        return comm.errorString();
    comm.close();
    return {};
}
