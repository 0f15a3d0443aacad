#include "shell/services/QtMessageBoxService.h"

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
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtMessageBoxService::askYesNo(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}
