#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One program per lock file: the first start holds it until it ends.
class SingleInstance
{
public:
    // An empty path takes the lock in the user's runtime folder.
    explicit SingleInstance(const QString &lockPath = QString());
    ~SingleInstance();

    // False when another running program holds the lock.
    bool tryLock();

private:
    std::unique_ptr<QLockFile> m_lock;
};
