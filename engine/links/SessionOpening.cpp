#include "engine/links/SessionOpening.h"

#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/links/GetLocalIP.h"
#include "engine/links/LinkWait.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/protocol/OpenPassword.h"
#include "engine/config/ProgramIdentity.h"

#include <QTcpSocket>

namespace {
const QString PasswordPlaceFallback =
    QStringLiteral("Enter the password in Options, Connection tab, Password (digits only)");

// With the nonce in a saved log, the answer would give the password away to an offline
// search in seconds.
QString masked(const QString &answer)
{
    QString line = answer;
    for (QChar &c : line) {
        if (c.isDigit())
            c = QLatin1Char('*');
    }
    return line;
}

void writeText(QTcpSocket &socket, const QString &text)
{
    socket.write(text.toLatin1());
}
} // namespace

bool SessionOpening::open(const QString &sessionFrame)
{
    if (socket.state() != QAbstractSocket::ConnectedState)
        return false;
    buffer.clear();
    pane.appendText(LogLine::at(QStringLiteral("-> ") + sessionFrame));
    writeText(socket, sessionFrame);

    bool answered = false;
    for (;;) {
        const auto connected = [this] { return socket.state() == QAbstractSocket::ConnectedState; };
        const LinkWait::Outcome outcome = LinkWait::run(
            [&] {
                return buffer.contains(Frame::Ack) || buffer.contains(Frame::Nack) || Frame::isNonce(buffer)
                    || !connected();
            },
            [this] { return state.InChiusura || (abort && abort()); }, windowMs,
            {{&socket, SIGNAL(readyRead())}, {&socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
        if (outcome != LinkWait::Outcome::Done)
            return false;
        if (buffer.contains(Frame::Ack))
            return true;
        // A refusal ends the opening; it is no challenge to answer.
        if (buffer.contains(Frame::Nack) || !connected())
            return false;

        // One answer per opening: a gateway that challenges again is not taking it.
        if (answered)
            return false;
        if (state.link.PasswordGateway.isEmpty()) {
            QString text = state.lang.t(QStringLiteral("txtPwCon"));
            text.replace(QLatin1String("\\ip"), GetLocalIP());
            // The person is told where the password goes, not only that one is missing.
            const QString where = state.lang.t(QStringLiteral("PwWhere"), PasswordPlaceFallback);
            // The failure line and the status bar outlast the message: they say it too.
            if (reason)
                *reason = text + QStringLiteral(". ") + where;
            messages.message(text + QLatin1Char('\n') + where, ProgramIdentity::Title,
                             MessageBoxService::Icon::Warning);
            return false;
        }
        const QString answer = OpenPassword::CalcolaPassword(buffer, state.link.PasswordGateway);
        writeText(socket, answer);
        answered = true;
        pane.appendText(LogLine::at(QStringLiteral("-> ") + masked(answer)));
        // The buffer now holds the nonce digits; the acknowledgement is looked for after them.
    }
}
