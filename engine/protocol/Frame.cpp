#include "Frame.h"

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

bool hasFrameShape(const QString &text)
{
    return text.startsWith(QLatin1Char('*')) && text.endsWith(Terminator);
}

} // namespace Frame
