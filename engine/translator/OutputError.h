#pragma once

#include <QString>
#include <stdexcept>

// How the shell's side of the translator's outputs (notice, character, windows, display
// client, log pane) reports a failure: a number and a description, as the message box shows
// them. The translator catches it per frame or per call, depending on where it happens.
class OutputError : public std::runtime_error
{
public:
    OutputError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {
    }

    int number() const { return m_number; }
    QString description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};
