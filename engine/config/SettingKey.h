#pragma once

#include <QString>

// One key of the settings store: its section, its name and the default its readers pass.
struct SettingKey
{
    const char *section;
    const char *key;
    const char *defaultValue;

    QString sectionName() const { return QString::fromLatin1(section); }
    QString keyName() const { return QString::fromLatin1(key); }
    QString fallback() const { return QString::fromLatin1(defaultValue); }
};
