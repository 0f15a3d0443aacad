#pragma once

#include <QString>

class ProgramSettings;
class QWidget;

// A window's left and top as the settings store keeps them: keys "x" and "y" of its section,
// in twips, as decimal text.
namespace SavedPosition {
// Moves the window to the stored place and says whether it did; a missing key keeps the
// current coordinate. A window never placed, or placed where no screen shows it now, is not
// moved (and keeps Qt::WA_Moved clear for the host to place it).
bool restore(QWidget *window, const ProgramSettings &settings, const QString &section);
void save(const QWidget *window, ProgramSettings &settings, const QString &section);
} // namespace SavedPosition
