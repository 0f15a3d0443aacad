#pragma once

#include <QString>

// What the translator and the main window give a temperature-zone probe window.
class ProbeDisplay
{
public:
    virtual ~ProbeDisplay() = default;
    virtual void pZona(int zone) = 0;
    virtual void Temperatura(const QString &text) = 0;
    virtual void Tempset(const QString &text) = 0;
    virtual void Knob(const QString &text) = 0;
    virtual void pCol(int mode) = 0;
};
