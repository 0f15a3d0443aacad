#pragma once

#include "shell/services/FileDialogService.h"

// Real file dialogs.
class QtFileDialogService : public FileDialogService
{
public:
    QString ApriSalvaFile(QWidget *owner, Mode mode, const QString &title, const QString &fileName,
                          const QList<Filter> &filters, const QString &initialFolder,
                          const QString &defaultExtension) override;
};
