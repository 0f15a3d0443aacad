#pragma once

#include <QByteArray>
#include <QString>

// Language files and conf.xml comments are Windows-1252 text ("°", "è"). Qt's own codecs
// depend on how Qt was built, so the one table we need lives here.
namespace Windows1252 {
QString decode(const QByteArray &bytes);
// Characters that the code page cannot hold become "?".
QByteArray encode(const QString &text);
// The same into `out`, whose storage is reused when it is large enough.
void encode(const QString &text, QByteArray &out);
} // namespace Windows1252
