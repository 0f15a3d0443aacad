#pragma once

#include <QString>

// Tests and demos must never reach a real gateway: in test mode a link that is asked for
// an address outside loopback stops the process (the test fails) before connecting.
namespace LinkGuard {
bool allowedInTestMode(const QString &address);
void checkAddress(const QString &address);
} // namespace LinkGuard
