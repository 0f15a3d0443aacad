#pragma once

#include "engine/config/SettingKey.h"

#include <QString>
#include <memory>

class QSettings;

// The per-user settings store: text values by section and key, read with a default and
// saved at once. The application name is "Ombrix". Tests hand in a file of their own.
class ProgramSettings
{
public:
    static constexpr const char *ApplicationName = "Ombrix";

    // The user's own store (native format).
    ProgramSettings();
    // A store kept in the given INI file (tests, the demo).
    explicit ProgramSettings(const QString &iniFile);
    ~ProgramSettings();
    ProgramSettings(const ProgramSettings &) = delete;
    ProgramSettings &operator=(const ProgramSettings &) = delete;

    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    QString read(const SettingKey &key) const;
    // The numeric reading of a stored text, as the readers convert it (0 when not a number).
    int readInt(const SettingKey &key) const;
    int readInt(const QString &section, const QString &key, int defaultValue) const;

    void save(const QString &section, const QString &key, const QString &value);
    void save(const SettingKey &key, const QString &value);

    // The file the store lives in (on Linux the user's own is ~/.config/Ombrix.conf), whether
    // or not it exists yet.
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_store;
};
