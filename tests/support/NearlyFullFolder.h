#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <utility>

// A program folder on which writes run out of room, as on a nearly full disk. The fixture files
// are written while there is room; runOutOfRoom() then leaves `room` bytes and makeRoom() (or
// the destructor) lifts the limit again. Two ways to get there:
// - Tmpfs: a small tmpfs of its own, mounted in a mount namespace of the test's own so nothing
//   outside sees it; `room` is the free space left on it. Needs the right to mount.
// - FileSizeLimit: a limit on the size of any file the test process writes (RLIMIT_FSIZE),
//   which any process may set on itself; `room` is the size no file may grow past.
// Either way a file of more than `room` bytes cannot be written.
class NearlyFullFolder
{
public:
    enum class Kind { Tmpfs, FileSizeLimit };
    // Both kinds with a name for a test row.
    static const QList<std::pair<Kind, const char *>> &kinds();

    explicit NearlyFullFolder(Kind kind);
    ~NearlyFullFolder();
    NearlyFullFolder(const NearlyFullFolder &) = delete;
    NearlyFullFolder &operator=(const NearlyFullFolder &) = delete;

    // When false, whyNot() says why, for the test's QSKIP.
    bool isValid() const { return !m_path.isEmpty(); }
    QString whyNot() const { return m_whyNot; }
    // The system's description of the failure a write meets here.
    QString reason() const;

    QString path() const { return m_path; }
    QString filePath(const QString &name) const;
    bool write(const QString &name, const QByteArray &bytes) const;
    // Every file of the folder by name, with its bytes.
    QMap<QString, QByteArray> files() const;

    bool runOutOfRoom(qint64 room);
    void makeRoom();

    // Rounds up to whole blocks of the tmpfs, so that a room fits a given file either way.
    static qint64 blocksFor(qint64 bytes);

private:
    Kind m_kind;
    QTemporaryDir m_mount;
    QString m_path;
    QString m_whyNot;
    bool m_mounted = false;
    bool m_limited = false;
    quint64 m_savedLimit = 0;
    void (*m_savedHandler)(int) = nullptr;
};
