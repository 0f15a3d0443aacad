#pragma once

#include <QStringList>

// The desktop's system-information program: the first of the known ones that is installed.
class SystemInfoTool
{
public:
    // Each candidate is a program and its arguments.
    static QList<QStringList> knownTools();

    explicit SystemInfoTool(QList<QStringList> candidates = knownTools()) : m_candidates(std::move(candidates)) {}

    // The command that would run, empty when none is installed.
    QStringList find() const;
    // Starts it on its own; false when none is installed or it would not start.
    bool start() const;

private:
    QList<QStringList> m_candidates;
};
