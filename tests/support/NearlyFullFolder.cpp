#include "support/NearlyFullFolder.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#endif

namespace {
const QString Filler = QStringLiteral("filler");
constexpr qint64 Block = 4096;

#ifdef Q_OS_LINUX
// The mounts of this test stay in a namespace of its own and vanish with it.
bool ownMountNamespace(QString *why)
{
    static const int error = [] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return errno;
        return 0;
    }();
    if (error != 0)
        *why = QStringLiteral("no mount namespace of its own: ") + qt_error_string(error);
    return error == 0;
}
#endif
} // namespace

const QList<std::pair<NearlyFullFolder::Kind, const char *>> &NearlyFullFolder::kinds()
{
    static const QList<std::pair<Kind, const char *>> all{{Kind::Tmpfs, "tmpfs"},
                                                          {Kind::FileSizeLimit, "file size limit"}};
    return all;
}

NearlyFullFolder::NearlyFullFolder(Kind kind) : m_kind(kind)
{
#ifdef Q_OS_LINUX
    if (!m_mount.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder");
        return;
    }
    const QString folder = QDir(m_mount.path()).filePath(QStringLiteral("program"));
    if (kind == Kind::Tmpfs) {
        if (!ownMountNamespace(&m_whyNot))
            return;
        const QByteArray where = QFile::encodeName(m_mount.path());
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=1m") != 0) {
            m_whyNot = QStringLiteral("cannot mount a tmpfs: ") + qt_error_string(errno);
            return;
        }
        m_mounted = true;
    }
    if (QDir().mkpath(folder))
        m_path = folder;
#else
    Q_UNUSED(kind)
    m_whyNot = QStringLiteral("neither a tmpfs nor a file size limit on this system");
#endif
}

NearlyFullFolder::~NearlyFullFolder()
{
    makeRoom();
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_mount.path()).constData(), MNT_DETACH);
#endif
}

QString NearlyFullFolder::reason() const
{
#ifdef Q_OS_LINUX
    return qt_error_string(m_kind == Kind::Tmpfs ? ENOSPC : EFBIG);
#else
    return {};
#endif
}

QString NearlyFullFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

bool NearlyFullFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(filePath(name));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

QMap<QString, QByteArray> NearlyFullFolder::files() const
{
    QMap<QString, QByteArray> out;
    const QDir dir(m_path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        out.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return out;
}

qint64 NearlyFullFolder::blocksFor(qint64 bytes)
{
    return (bytes + Block - 1) / Block * Block;
}

bool NearlyFullFolder::runOutOfRoom(qint64 room)
{
#ifdef Q_OS_LINUX
    if (!isValid())
        return false;
    if (m_kind == Kind::Tmpfs) {
        struct statvfs fs;
        if (::statvfs(QFile::encodeName(m_mount.path()).constData(), &fs) != 0)
            return false;
        const qint64 free = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        const qint64 fill = free - blocksFor(room);
        if (fill < 0)
            return false;
        QFile f(QDir(m_mount.path()).filePath(Filler));
        return f.open(QIODevice::WriteOnly) && f.write(QByteArray(fill, '\0')) == fill && f.flush();
    }
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || (limit.rlim_max != RLIM_INFINITY && rlim_t(room) > limit.rlim_max))
        return false;
    m_savedLimit = limit.rlim_cur;
    // Past the limit a write fails with EFBIG instead of the process being killed.
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(room);
    m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    return m_limited;
#else
    Q_UNUSED(room)
    return false;
#endif
}

void NearlyFullFolder::makeRoom()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        QFile::remove(QDir(m_mount.path()).filePath(Filler));
    if (m_limited) {
        struct rlimit limit;
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(m_savedLimit);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, m_savedHandler);
        m_limited = false;
    }
#endif
}
