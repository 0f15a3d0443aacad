#include "shell/options/QtColorDialogService.h"

#include "shell/services/VbColor.h"

#include <QColorDialog>

bool QtColorDialogService::ScegliColore(QWidget *owner, QString &colour)
{
    const QColor chosen = QColorDialog::getColor(Qt::white, owner);
    if (!chosen.isValid())
        return false;
    colour = QString::number(VbColor::fromQColor(chosen));
    return true;
}
