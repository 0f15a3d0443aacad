#pragma once

#include <QLocale>
#include <QString>

// Tenths of a degree written as QLocale().toString(tenths / 10.0) writes them. The general
// number formatting costs thousands of instructions for a few characters, so the default
// locale's minus sign and decimal point are read once, and again whenever the default
// locale changes. A locale that does not write its numbers as "-12.5" with these signs
// (other digits, another layout) is left to QLocale.
class TemperatureText
{
public:
    TemperatureText() { read(QLocale()); }

    // Written over what `text` holds, into the storage it already has.
    void write(int tenths, QString &text);

private:
    void read(const QLocale &locale);

    QLocale m_locale;
    bool m_plain = false;
    QString m_minus;
    QString m_point;
};
