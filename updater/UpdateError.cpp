#include "updater/UpdateError.h"

UpdateError UpdateError::fileNotFound(const QString &name)
{
    return {FileNotFound, QStringLiteral("File not found (%1)").arg(name)};
}

UpdateError UpdateError::emptyFile(const QString &name)
{
    return {InputPastEnd, QStringLiteral("Input past end of file (%1 is empty)").arg(name)};
}

UpdateError UpdateError::noMarker(const QString &marker, const QString &name)
{
    return {InvalidArgument,
            QStringLiteral("Invalid procedure call or argument (no line \"%1\" in %2)").arg(marker, name)};
}

UpdateError UpdateError::noVersionTag(const QString &name)
{
    return {InvalidArgument,
            QStringLiteral("Invalid procedure call or argument (no version tag to set in %1)").arg(name)};
}

UpdateError UpdateError::accessFailed(const QString &name, const QString &reason)
{
    return {PathAccess, QStringLiteral("Path/File access error (%1: %2)").arg(name, reason)};
}
