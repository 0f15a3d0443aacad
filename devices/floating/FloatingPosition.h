#pragma once

#include <QString>

class ProgramSettings;
class QWidget;

// The saved place of a small window: left and top in twips under its own section.
namespace FloatingPosition {
// Moves the window to the stored place; a missing or unreadable value keeps its current one.
void restore(QWidget *window, const ProgramSettings &settings, const QString &section);
void save(const QWidget *window, ProgramSettings &settings, const QString &section);
} // namespace FloatingPosition
