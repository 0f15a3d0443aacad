#pragma once

#include <QString>

// The first panel of the main window's status bar.
class StatusBar
{
public:
    virtual ~StatusBar() = default;
    virtual void setStatusText(const QString &text) = 0;
    virtual QString statusText() const = 0;
};
