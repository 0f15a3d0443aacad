#include "support/PtyPair.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

PtyPair::PtyPair() = default;

PtyPair::~PtyPair()
{
    stop();
}

void PtyPair::stop()
{
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
}

bool PtyPair::socatAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty();
}

bool PtyPair::start()
{
    if (!m_dir.isValid())
        return false;
    m_socat.setStandardOutputFile(QProcess::nullDevice());
    m_socat.setStandardErrorFile(QProcess::nullDevice());
    m_socat.start(QStringLiteral("socat"),
                  {QStringLiteral("-d"), QStringLiteral("-d"),
                   QStringLiteral("pty,raw,echo=0,link=") + portPath(),
                   QStringLiteral("pty,raw,echo=0,link=") + peerPath()});
    if (!m_socat.waitForStarted(5000))
        return false;
    return QTest::qWaitFor([this] { return QFileInfo::exists(portPath()) && QFileInfo::exists(peerPath()); }, 5000);
}
