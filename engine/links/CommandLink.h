#pragma once

#include "engine/links/FrameReassembler.h"
#include "engine/links/FrameSlicer.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>
#include <optional>

class CommandBox;
class FrameSink;
class LinkWindow;
class LogPane;
class MessageBoxService;
class StatusBar;
struct EngineState;

// The command session to an Ethernet gateway (Winsock1) and the write side of a serial
// gateway (Comm). Every frame the program sends goes through SendTCP or SendUsb.
class CommandLink : public QObject
{
    Q_OBJECT

public:
    // Waits in milliseconds; tests shorten them.
    struct Timings
    {
        int connectMs = 10000;
        int greetingMs = 10000;
        int sessionMs = 2000;
        int ackMs = 10000;
        int attempts = 3;
    };

    CommandLink(EngineState &state, FrameSink &sink, LogPane &TlogC, StatusBar &StBar, CommandBox &Tcmd,
                LinkWindow &window, MessageBoxService &messages, QObject *parent = nullptr);
    ~CommandLink() override;
    void setTimings(const Timings &timings) { m_timings = timings; }

    // True when the gateway acknowledged every frame of the write. A frame handed in while
    // another send waits is queued (False at once) and written later. Text that is not one
    // or more well-formed frames is not sent (False).
    bool SendTCP(const QString &frame);
    // Writes to the serial port when it is open and the text is frames; logs it unless quiet.
    void SendUsb(const QString &frame, bool quiet);
    // Connects Winsock1; ack becomes true when the gateway's greeting arrived.
    bool ConnectTCP(bool &ack);
    // Opens the command session on the connected socket.
    bool BuildConnessione();

    QTcpSocket &Winsock1() { return m_socket; }
    // The serial port, shared with the monitor link that opens and reads it.
    QSerialPort &Comm() { return m_comm; }

private slots:
    void Winsock1_Connect();
    void Winsock1_Close();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void Winsock1_DataArrival();

private:
    // Who hands the frames in: a caller, or the link itself with frames queued behind an
    // earlier send.
    enum class Origin { Caller, Queued };
    enum class Step { Go, Failed, Closing };
    // How a write ended; None: no answer in time.
    enum class Answer { None, Acknowledged, Refused, Dropped, Closing };

    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool connectGateway(bool &ack, bool announce);
    // The steps of a send, in order.
    bool send(const QString &frame, Origin origin);
    Step openSession(Origin origin);
    bool gatherPending(const QString &frame);
    Answer writeUntilAnswered();
    Answer writeOnce();
    bool settle(Answer answer);
    // Lets socket events run; true when the program started closing meanwhile.
    bool closingAfterYield();
    bool abandon();
    void showStatus(const QString &text);
    void showMonitorStatus();
    bool failure(const QString &status);
    void closeOurselves();
    void countAnswers(const QString &frames);
    void translate(QString &slice, LogPane &pane);
    void keepUnwritten();
    void sendCarried();

    EngineState &m_state;
    FrameSink &m_sink;
    LogPane &m_TlogC;
    StatusBar &m_StBar;
    CommandBox &m_Tcmd;
    LinkWindow &m_window;
    MessageBoxService &m_messages;
    Timings m_timings;
    QTcpSocket m_socket;
    QSerialPort m_comm;
    bool m_closingOurselves = false;
    bool m_sessionOpen = false; // the session reply is behind us

    FrameReassembler m_received;
    FrameSlicer m_slices; // received answers not yet translated
    std::optional<QString> m_statusShown;  // the status text this link put up, while it stands
    // Answers are matched to writes by count: the gateway answers every frame, in order.
    qint64 m_framesWritten = 0;  // since the session opened
    qint64 m_answers = 0;        // acknowledgements and refusals since then
    qint64 m_sendStart = 0;      // frames written before the current send
    bool m_refused = false;
    QString m_written;           // what the send under way writes on every attempt
    QString m_carried;           // queued frames the last send did not write
    QString m_connectReason;     // why the last connection did not come, where known
};
