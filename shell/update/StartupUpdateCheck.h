#pragma once

#include "shell/update/VersionFetch.h"

#include <QObject>
#include <QTimer>

class StatusBar;
struct LanguageTexts;
struct ShellOptions;

// The quiet check at start-up: 200 ms after start() the version file is fetched; the result
// goes to the status panel, and a newer version also to the tray as a balloon.
class StartupUpdateCheck : public QObject
{
    Q_OBJECT

public:
    StartupUpdateCheck(StatusBar &status, const LanguageTexts &lang, const ShellOptions &options,
                       const bool &closing, QObject *parent = nullptr);

    void start();
    // Closing: no check starts and none reports.
    void cancel();
    VersionFetch &fetch() { return m_fetch; }
    QString UltimaVersione() const { return m_ultimaVersione; }

signals:
    // A newer version exists: the text for the tray's balloon.
    void newerVersion(const QString &text);

private:
    void Tst_upd_Timer();
    void replyArrived(VersionFetch::Outcome outcome, const QByteArray &body);

    StatusBar &m_status;
    const LanguageTexts &m_lang;
    const ShellOptions &m_options;
    const bool &m_closing;
    QTimer m_tstUpd;
    VersionFetch m_fetch;
    QString m_ultimaVersione;
};
