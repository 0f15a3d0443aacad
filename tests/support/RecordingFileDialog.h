#pragma once

#include "shell/services/FileDialogService.h"

#include <QList>
#include <QString>

// Answers file dialogs with a scripted path (empty: cancelled) and records what was asked.
class RecordingFileDialog : public FileDialogService
{
public:
    struct Asked
    {
        Mode mode;
        QString title;
        QString fileName;
        QList<Filter> filters;
        QString initialFolder;
        QString defaultExtension;
    };

    QString ApriSalvaFile(QWidget *, Mode mode, const QString &title, const QString &fileName,
                          const QList<Filter> &filters, const QString &initialFolder,
                          const QString &defaultExtension) override
    {
        asked.append({mode, title, fileName, filters, initialFolder, defaultExtension});
        return answer;
    }

    QString answer;
    QList<Asked> asked;
};
