#include "engine/protocol/Frame.h"

namespace Frame {

QStringList cut(const QString &chunk)
{
    QStringList pieces = chunk.split(Terminator);
    pieces.removeLast(); // the remainder after the last "##" (possibly empty)
    return pieces;
}

QStringList fields(const QString &piece)
{
    return piece.split(QLatin1Char('*'));
}

QString withTerminator(const QString &piece)
{
    return piece.endsWith(Terminator) ? piece : piece + Terminator;
}

bool isAck(const QString &text)
{
    return text == Ack;
}

bool isNack(const QString &text)
{
    return text == Nack;
}

bool isNonce(const QString &text)
{
    return text.contains(QLatin1String("*#")) && text.endsWith(QLatin1Char('#'))
        && text != Ack && text != Nack;
}

QString nonceDigits(const QString &text)
{
    const int start = text.indexOf(QLatin1String("*#"));
    if (start < 0)
        return {};
    QString digits;
    for (int i = start + 2; i < text.size() && text[i].isDigit(); ++i)
        digits += text[i];
    return digits;
}

bool isWellFormed(const QString &text)
{
    // The first "##" ends a frame, so it must be the last two characters.
    if (text.size() < 4 || text.at(0) != QLatin1Char('*') || text.indexOf(Terminator) != text.size() - 2)
        return false;
    for (const QChar c : text) {
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('*') && c != QLatin1Char('#'))
            return false;
    }
    // The first field is WHO, after the "#" of a status or dimension frame.
    const int whoStart = text.at(1) == QLatin1Char('#') ? 2 : 1;
    return whoStart < text.size() - 2 && text.at(whoStart) != QLatin1Char('*') && text.at(whoStart) != QLatin1Char('#');
}

bool isFrameRun(const QString &text)
{
    if (text.isEmpty())
        return false;
    int start = 0;
    while (start < text.size()) {
        const int end = text.indexOf(Terminator, start);
        if (end < 0 || !isWellFormed(text.mid(start, end + 2 - start)))
            return false;
        start = end + 2;
    }
    return true;
}

} // namespace Frame
