#pragma once

#include <QList>
#include <QString>

class QWidget;

// The open and save dialogs, behind an interface so that tests never block on one.
class FileDialogService
{
public:
    struct Filter
    {
        QString description;
        QString pattern;
    };
    enum class Mode { Save = 0, Open = 1 };

    virtual ~FileDialogService() = default;
    // ApriSalvaFile: the chosen path, or empty text when the user cancelled.
    virtual QString ApriSalvaFile(QWidget *owner, Mode mode, const QString &title, const QString &fileName,
                                  const QList<Filter> &filters, const QString &initialFolder,
                                  const QString &defaultExtension) = 0;
};
