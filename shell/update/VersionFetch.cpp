#include "shell/update/VersionFetch.h"

#include "shell/update/ProjectAddresses.h"

VersionFetch::VersionFetch(QObject *parent)
    : QObject(parent), m_get(MaxBodyBytes), m_address(ProjectAddresses::VersionFile)
{
    m_get.setTimeoutMs(DefaultTimeoutMs);
    connect(&m_get, &HttpGet::finished, this, &VersionFetch::onFinished);
}

void VersionFetch::start() { m_get.get(m_address); }

void VersionFetch::onFinished(const HttpGet::Result &result)
{
    if (result.ok()) {
        emit finished(Outcome::Reply, result.body);
        return;
    }
    // A server that answered, though not with a version file, is an error; no answer, or
    // not all of it in time, is not.
    const bool answered = result.status != 0 && result.error != QNetworkReply::TimeoutError;
    emit finished(HttpReplyParser::pastBound(result.fault) || answered ? Outcome::ServerError : Outcome::NoAnswer,
                  QByteArray());
}
