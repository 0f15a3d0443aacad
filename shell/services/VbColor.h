#pragma once

#include <QColor>

// Colours as the settings store and the gateway links keep them: one number, red in the
// low byte, then green, then blue.
namespace VbColor {
inline QColor toQColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline quint32 fromQColor(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}
} // namespace VbColor
