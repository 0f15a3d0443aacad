#pragma once

#include "engine/ports/MessageBoxService.h"

#include <QPointer>

class QWidget;

// Real message boxes. Each belongs to the window the person is using: the modal window on top,
// else the active window, else the window given here (the main window).
class QtMessageBoxService : public MessageBoxService
{
public:
    explicit QtMessageBoxService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &title, Icon icon = Icon::None) override;
    bool askYesNo(const QString &text, const QString &title, Icon icon = Icon::Question) override;

    // The window the next box is parented to.
    QWidget *owner() const;

private:
    QPointer<QWidget> m_parent;
};
