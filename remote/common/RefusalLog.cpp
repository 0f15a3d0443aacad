#include "remote/common/RefusalLog.h"

RefusalLog::RefusalLog(std::function<void(const QString &)> write, QObject *parent)
    : QObject(parent), m_write(std::move(write))
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
    m_write(QStringLiteral("%1 more %2 refused in %3 s")
                .arg(m_more)
                .arg(m_more == 1 ? QStringLiteral("connection") : QStringLiteral("connections"))
                .arg(m_window.interval() / 1000.0));
    m_more = 0;
    // A flood that goes on keeps to one line a window.
    m_window.start();
}
