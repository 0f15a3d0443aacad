#include "remote/common/RefusalLog.h"

RefusalLog::RefusalLog(std::function<void(const QString &)> write, QObject *parent, QString what, QString whats)
    : QObject(parent), m_write(std::move(write)), m_what(std::move(what)), m_whats(std::move(whats))
{
    m_window.setSingleShot(true);
    m_window.setInterval(DefaultWindowMs);
    connect(&m_window, &QTimer::timeout, this, &RefusalLog::windowEnded);
}

void RefusalLog::refused(const QString &text)
{
    if (m_window.isActive()) {
        ++m_more;
        return;
    }
    m_write(text);
    m_window.start();
}

void RefusalLog::windowEnded()
{
    if (m_more == 0)
        return;
    m_write(QStringLiteral("%1 more %2 refused").arg(m_more).arg(m_more == 1 ? m_what : m_whats));
    m_more = 0;
    // A flood that goes on keeps to one line a window.
    m_window.start();
}
