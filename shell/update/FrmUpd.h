#pragma once

#include "shell/update/VersionFetch.h"

#include <QDialog>
#include <QTimer>
#include <array>

class HoverLink;
class LinkOpener;
class QLabel;
struct LanguageTexts;
struct ShellOptions;

// The update window: half a second after it opens it fetches the version file and tells
// whether a newer version exists, with a picture for idle, checking and failed, a link to
// the download and one to the project's page.
class FrmUpd : public QDialog
{
    Q_OBJECT

public:
    FrmUpd(const LanguageTexts &lang, const ShellOptions &options, LinkOpener &links, QWidget *parent = nullptr);

    VersionFetch &fetch() { return m_fetch; }
    QString UltimaVersione() const { return m_ultimaVersione; }
    // 0 idle, 1 checking, 2 error.
    int picture() const { return m_picture; }

    void Llink_Click();
    void Llink2_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Form_Load();
    void Tchk_Timer();
    void replyArrived(VersionFetch::Outcome outcome, const QByteArray &body);
    void showPicture(int index);

    const LanguageTexts &m_lang;
    const ShellOptions &m_options;
    LinkOpener &m_links;
    QLabel *m_lchk = nullptr;
    HoverLink *m_llink = nullptr;
    HoverLink *m_llink2 = nullptr;
    std::array<QLabel *, 3> m_imgAgg{};
    int m_picture = 0;
    QTimer m_tchk;
    VersionFetch m_fetch;
    QString m_ultimaVersione;
    QString m_linkDownload;
};
