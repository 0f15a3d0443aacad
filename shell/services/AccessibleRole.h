#pragma once

#include <QAccessible>
#include <functional>

class QAction;
class QWidget;

// What a screen reader is told a widget is, where the widget's own class says something else:
// a drawn picture that acts as a button, a pair of check buttons that act as tabs, a label that
// is a link, a menu whose caption is a symbol.
namespace AccessibleRole {

// Reads `widget` as `role`. A checkable button keeps its checked state, and a reader's press
// clicks it.
void set(QWidget *widget, QAccessible::Role role);

// Makes a drawn widget a button for the keyboard and for screen readers: Tab reaches it, Space
// and Enter press it, and a reader can press it. The widget shows its focus itself
// (`paintFocus`).
void makeButton(QWidget *widget, std::function<void()> press);

// The frame a focused drawn button shows, in the style's own look.
void paintFocus(QWidget *widget);

// The name a reader says for a menu-bar entry whose caption is not a word (such as "?"); the
// caption on screen stays as it is.
void nameMenuEntry(QAction *menuAction, const QString &name);

} // namespace AccessibleRole
