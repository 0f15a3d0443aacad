#include "engine/links/SerialPortName.h"

namespace SerialPorts {

bool isPortNumber(const QString &comSetting)
{
    bool ok = false;
    const int n = comSetting.trimmed().toInt(&ok);
    return ok && n > 0;
}

QString SerialPortName(const QString &comSetting)
{
    const QString s = comSetting.trimmed();
    if (!isPortNumber(s))
        return s;
    const int n = s.toInt();
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(n);
#else
    return QStringLiteral("ttyS") + QString::number(n - 1);
#endif
}

QString withPort(const QString &text, const QString &comSetting)
{
    const QString port = comSetting.trimmed();
    if (isPortNumber(port))
        return text + port;
    QString words = text;
    if (words.endsWith(QLatin1String("COM")))
        words.chop(3);
    if (!words.isEmpty() && !words.back().isSpace())
        words += QLatin1Char(' ');
    return words + port;
}

QString SerialPortSetting(const QString &systemName)
{
#ifdef Q_OS_WIN
    if (systemName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) && isPortNumber(systemName.mid(3)))
        return QString::number(systemName.mid(3).toInt());
#endif
    return systemName;
}

} // namespace SerialPorts
