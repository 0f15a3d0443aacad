#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary program folder with helpers to drop fixture files into it, and the path of
// a settings store of its own, so that no test touches the user's real files or settings.
class TestFolder
{
public:
    TestFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }

    // Writes bytes as they are (use Windows1252::encode for language-file text).
    bool write(const QString &name, const QByteArray &bytes) const;
    bool writeText1252(const QString &name, const QString &text) const;
    QByteArray read(const QString &name) const;
    // Copies a file shipped under data/ into the folder.
    bool copyShipped(const QString &name) const;

    static QString shippedDataPath(const QString &name);

private:
    QTemporaryDir m_dir;
};
