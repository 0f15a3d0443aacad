#include "shell/update/StartupUpdateCheck.h"

#include "engine/model/LanguageTexts.h"
#include "shell/main/ShellOptions.h"
#include "engine/ports/StatusBar.h"
#include "shell/update/VersionNumber.h"
#include "shell/update/VersionReply.h"

StartupUpdateCheck::StartupUpdateCheck(StatusBar &status, const LanguageTexts &lang, const ShellOptions &options,
                                       const bool &closing, QObject *parent)
    : QObject(parent), m_status(status), m_lang(lang), m_options(options), m_closing(closing)
{
    m_tstUpd.setObjectName(QStringLiteral("Tst_upd"));
    m_tstUpd.setSingleShot(true);
    m_tstUpd.setInterval(200);
    connect(&m_tstUpd, &QTimer::timeout, this, &StartupUpdateCheck::Tst_upd_Timer);
    connect(&m_fetch, &VersionFetch::finished, this, &StartupUpdateCheck::replyArrived);
}

void StartupUpdateCheck::start() { m_tstUpd.start(); }

void StartupUpdateCheck::cancel()
{
    m_tstUpd.stop();
    m_fetch.cancel();
}

void StartupUpdateCheck::Tst_upd_Timer()
{
    m_status.setStatusText(m_lang.t(QStringLiteral("UpdChk")));
    m_fetch.start();
}

void StartupUpdateCheck::replyArrived(VersionFetch::Outcome outcome, const QByteArray &body)
{
    // The program is closing: nobody is left to tell.
    if (m_closing)
        return;
    // An empty reply would never become a version.
    if (outcome == VersionFetch::Outcome::NoAnswer || (outcome == VersionFetch::Outcome::Reply && body.isEmpty())) {
        m_status.setStatusText(QStringLiteral("Update Time out."));
        return;
    }
    const VersionReply reply = VersionReply::parse(body);
    if (outcome == VersionFetch::Outcome::ServerError || reply.html) {
        m_status.setStatusText(QStringLiteral("Update Error."));
        return;
    }
    m_ultimaVersione = reply.newest;
    const QString running = m_options.VersioneCorrente;
    if (VersionNumber::partCount(running) < 3 || VersionNumber::partCount(m_ultimaVersione) < 3) {
        m_status.setStatusText(QStringLiteral("Update Error."));
        return;
    }
    if (VersionNumber::isNewer(m_ultimaVersione, running)) {
        const QString text = m_lang.t(QStringLiteral("UpdReady")) + QStringLiteral("  ") + m_ultimaVersione;
        m_status.setStatusText(text);
        emit newerVersion(text);
    } else {
        QString text = m_lang.t(QStringLiteral("NoUpd"));
        m_status.setStatusText(text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    }
}
