#pragma once

#include <QString>

#include <utility>

// Why a step of the run stopped: a number and a description, as the error dialog shows
// them. The numbers are the customary run-time error numbers for the same causes.
struct UpdateError
{
    enum Number {
        InvalidArgument = 5,
        FileNotFound = 53,
        InputPastEnd = 62,
        PathAccess = 75,
    };

    int number = 0;
    QString description;

    QString text() const { return QString::number(number) + QLatin1Char(' ') + description; }

    static UpdateError fileNotFound(const QString &name);
    static UpdateError emptyFile(const QString &name);
    static UpdateError noMarker(const QString &marker, const QString &name);
    static UpdateError noVersionTag(const QString &name);
    static UpdateError accessFailed(const QString &name, const QString &reason);
};

// Fills *error when the caller asked for it; always false, so a step can `return failStep(...)`.
inline bool failStep(UpdateError *error, UpdateError e)
{
    if (error)
        *error = std::move(e);
    return false;
}
