#include "shell/services/QtMessageBoxService.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QMessageBox::Icon toQt(MessageBoxService::Icon icon)
{
    switch (icon) {
    case MessageBoxService::Icon::Information: return QMessageBox::Information;
    case MessageBoxService::Icon::Warning: return QMessageBox::Warning;
    case MessageBoxService::Icon::Critical: return QMessageBox::Critical;
    case MessageBoxService::Icon::Question: return QMessageBox::Question;
    case MessageBoxService::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtMessageBoxService::message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, owner());
    box.exec();
}

bool QtMessageBoxService::askYesNo(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No, owner());
    return box.exec() == QMessageBox::Yes;
}

QWidget *QtMessageBoxService::owner() const
{
    // A box parented to a window under a modal one would wait behind it, and the modal window
    // would stop painting until the box is answered.
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_parent;
}
