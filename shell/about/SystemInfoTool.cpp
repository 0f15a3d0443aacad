#include "shell/about/SystemInfoTool.h"

#include <QProcess>
#include <QStandardPaths>

QList<QStringList> SystemInfoTool::knownTools()
{
    return {{QStringLiteral("kinfocenter")},
            {QStringLiteral("gnome-control-center"), QStringLiteral("info-overview")},
            {QStringLiteral("hardinfo")},
            {QStringLiteral("xfce4-about")}};
}

QStringList SystemInfoTool::find() const
{
    for (const QStringList &c : m_candidates) {
        const QString program = QStandardPaths::findExecutable(c.value(0));
        if (!program.isEmpty())
            return QStringList{program} + c.mid(1);
    }
    return {};
}

bool SystemInfoTool::start() const
{
    const QStringList command = find();
    return !command.isEmpty() && QProcess::startDetached(command.first(), command.mid(1));
}
