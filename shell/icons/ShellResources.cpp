#include "shell/icons/ShellResources.h"

#include <QToolButton>
#include <QtGlobal>

static void registerShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace ShellResources {

void init()
{
    static const bool done = [] {
        registerShellResources();
        return true;
    }();
    Q_UNUSED(done);
}

QIcon icon(const QString &name)
{
    init();
    return QIcon(QStringLiteral(":/ombrix/icons/") + name + QStringLiteral(".svg"));
}

QToolButton *iconButton(QWidget *parent, const char *objectName, const QString &iconName, int size)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setIcon(icon(iconName));
    b->setIconSize(QSize(size, size));
    b->setAutoRaise(true);
    return b;
}

} // namespace ShellResources
