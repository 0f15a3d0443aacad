#include "engine/links/LinkGuard.h"

#include <QHostAddress>
#include <QStandardPaths>

namespace LinkGuard {

bool allowedInTestMode(const QString &address)
{
    // Names are refused too: resolving one could already leave the machine.
    QHostAddress a;
    return a.setAddress(address.trimmed()) && a.isLoopback();
}

void checkAddress(const QString &address)
{
    if (QStandardPaths::isTestModeEnabled() && !allowedInTestMode(address))
        qFatal("Link refused in test mode: %s is not a loopback address", qPrintable(address));
}

} // namespace LinkGuard
