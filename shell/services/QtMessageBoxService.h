#pragma once

#include "engine/ports/MessageBoxService.h"

class QWidget;

// Real message boxes, parented to the main window when there is one.
class QtMessageBoxService : public MessageBoxService
{
public:
    explicit QtMessageBoxService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &title, Icon icon = Icon::None) override;
    bool askYesNo(const QString &text, const QString &title, Icon icon = Icon::Question) override;

private:
    QWidget *m_parent = nullptr;
};
