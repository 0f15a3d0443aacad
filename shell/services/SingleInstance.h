#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Only one program runs per user: the first start holds a lock file until it ends.
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
