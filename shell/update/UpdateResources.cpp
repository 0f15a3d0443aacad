#include "shell/update/UpdateResources.h"

static void registerUpdateResources() { Q_INIT_RESOURCE(update); }

namespace UpdateResources {

QIcon icon(const QString &name)
{
    static const bool done = [] {
        registerUpdateResources();
        return true;
    }();
    Q_UNUSED(done);
    return QIcon(QStringLiteral(":/ombrix/update/") + name + QStringLiteral(".svg"));
}

} // namespace UpdateResources
