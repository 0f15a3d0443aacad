#pragma once

#include <QString>
#include <QStringList>

// OpenWebNet frame text: fields each preceded by "*", the whole ended by "##".
// The end of a frame is the first "##"; there is no escaping.
namespace Frame {

inline const QString Ack = QStringLiteral("*#*1##");
inline const QString Nack = QStringLiteral("*#*0##");
inline const QString SessionOpenCommand = QStringLiteral("*99*0##");
inline const QString SessionOpenMonitor = QStringLiteral("*99*1##");
inline const QString Terminator = QStringLiteral("##");

// Cuts a received chunk at every "##". Each returned piece is one frame without its "##";
// the text after the last "##" is not a frame and is dropped. A chunk without "##" gives
// nothing: frames split across chunks are not joined.
QStringList cut(const QString &chunk);

// The piece cut at every "*": field 0 is the empty text before the leading "*",
// field 1 is WHO (with "#" for status and dimension frames), and so on.
QStringList fields(const QString &piece);

// The frame text of a piece: "##" appended unless already there.
QString withTerminator(const QString &piece);

// Whole-frame comparisons: "*#*1##" inside a longer text is not an acknowledgement.
bool isAck(const QString &text);
bool isNack(const QString &text);

// A session reply that is a password challenge: holds "*#", ends in "#", and is neither
// the acknowledgement nor the refusal (a refusal ends the session attempt instead).
bool isNonce(const QString &text);
// The challenge digits of a nonce reply ("*#603356072##" gives "603356072").
QString nonceDigits(const QString &text);

// The frame grammar for text the program is asked to send (typed, or from a client): only
// 0-9 "*" "#", a leading "*" and a non-empty first field, and one "##", at the end.
bool isWellFormed(const QString &text);
// One or more well-formed frames joined without separator, as a send may carry them.
bool isFrameRun(const QString &text);

} // namespace Frame
