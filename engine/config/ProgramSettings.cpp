#include "engine/config/ProgramSettings.h"

#include "engine/protocol/NumberConversions.h"

#include <QSettings>

ProgramSettings::ProgramSettings()
    : m_store(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QString::fromLatin1(ApplicationName)))
{
}

ProgramSettings::ProgramSettings(const QString &iniFile)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

ProgramSettings::~ProgramSettings() = default;

QString ProgramSettings::fileName() const { return m_store->fileName(); }

namespace {
QString path(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString ProgramSettings::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_store->value(path(section, key), defaultValue);
    // A hand-edited INI value holding ", " comes back split; every value here is one text.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

QString ProgramSettings::read(const SettingKey &key) const
{
    return read(key.sectionName(), key.keyName(), key.fallback());
}

int ProgramSettings::readInt(const SettingKey &key) const
{
    return readInt(key.sectionName(), key.keyName(), key.fallback().toInt());
}

int ProgramSettings::readInt(const QString &section, const QString &key, int defaultValue) const
{
    const double v = NumberConversions::numberValue(read(section, key, QString::number(defaultValue)));
    try {
        return NumberConversions::roundHalfEven(v);
    } catch (...) {
        return 0;
    }
}

void ProgramSettings::save(const QString &section, const QString &key, const QString &value)
{
    m_store->setValue(path(section, key), value);
    m_store->sync(); // saved at once: another instance or a crash must not lose it
}

void ProgramSettings::save(const SettingKey &key, const QString &value)
{
    save(key.sectionName(), key.keyName(), value);
}
