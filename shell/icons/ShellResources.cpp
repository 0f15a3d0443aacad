#include "ShellResources.h"

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

} // namespace ShellResources
