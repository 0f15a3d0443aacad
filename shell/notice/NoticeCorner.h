#pragma once

#include <QRect>

// Where the notice appears until the person moves it: the lower right corner of the primary
// screen, just above the task bar. The probe stack, the character and the device windows
// keep clear of it.
namespace NoticeCorner {

QRect defaultRect(const QRect &screen, int taskbarPx);
// On the primary screen as it stands now.
QRect defaultRect();

} // namespace NoticeCorner
