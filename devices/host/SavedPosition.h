#pragma once

#include <QString>

class ProgramSettings;
class QWidget;

// A window's left and top as the settings store keeps them: keys "x" and "y" of its section,
// in twips, as decimal text.
namespace SavedPosition {
// Moves the window to the stored place; a missing key keeps the current coordinate.
void restore(QWidget *window, const ProgramSettings &settings, const QString &section);
void save(const QWidget *window, ProgramSettings &settings, const QString &section);
} // namespace SavedPosition
