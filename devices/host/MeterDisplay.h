#pragma once

#include <QString>

// A meter window's reading as the translator received it.
class MeterDisplay
{
public:
    virtual ~MeterDisplay() = default;
    virtual void showReading(const QString &reading) = 0;
};
