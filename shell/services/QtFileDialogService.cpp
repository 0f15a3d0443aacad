#include "shell/services/QtFileDialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

QString QtFileDialogService::ApriSalvaFile(QWidget *owner, Mode mode, const QString &title, const QString &fileName,
                                           const QList<Filter> &filters, const QString &initialFolder,
                                           const QString &defaultExtension)
{
    QStringList nameFilters;
    for (const Filter &f : filters)
        nameFilters << f.description + QStringLiteral(" (") + f.pattern + QLatin1Char(')');
    QFileDialog dialog(owner, title, initialFolder);
    dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Mode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters);
    if (!defaultExtension.isEmpty()) {
        dialog.setDefaultSuffix(defaultExtension);
        // A name typed without an extension takes the one of the filter chosen.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters, &nameFilters](const QString &f) {
            const qsizetype i = nameFilters.indexOf(f);
            const QString pattern = i >= 0 ? filters.at(i).pattern : QString();
            if (pattern.startsWith(QStringLiteral("*.")) && !pattern.contains(QLatin1Char(';')))
                dialog.setDefaultSuffix(pattern.mid(2));
        });
    }
    if (!fileName.isEmpty())
        dialog.selectFile(QDir(initialFolder).filePath(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
