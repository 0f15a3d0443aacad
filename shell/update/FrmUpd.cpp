#include "shell/update/FrmUpd.h"

#include "shell/services/HoverLink.h"
#include "engine/model/LanguageTexts.h"
#include "shell/services/LinkOpener.h"
#include "shell/update/ProjectAddresses.h"
#include "shell/main/ShellOptions.h"
#include "shell/update/UpdateResources.h"
#include "shell/update/VersionNumber.h"
#include "shell/update/VersionReply.h"
#include "engine/model/WindowNames.h"

#include <QGridLayout>
#include <QHideEvent>
#include <QShowEvent>
#include <QLabel>
#include <QVBoxLayout>

FrmUpd::FrmUpd(const LanguageTexts &lang, const ShellOptions &options, LinkOpener &links, QWidget *parent)
    : QDialog(parent), m_lang(lang), m_options(options), m_links(links)
{
    setObjectName(WindowNames::FrmUpd);
    setWindowModality(Qt::ApplicationModal);

    static const std::array<const char *, 3> pictures{"idle", "checking", "error"};
    auto *pictureBox = new QVBoxLayout;
    for (size_t i = 0; i < pictures.size(); ++i) {
        auto *img = new QLabel(this);
        img->setObjectName(QStringLiteral("Img_agg%1").arg(i));
        img->setPixmap(UpdateResources::icon(QString::fromLatin1(pictures[i])).pixmap(QSize(64, 64)));
        img->setFixedSize(64, 64);
        img->setAccessibleName(QString::fromLatin1(pictures[i]));
        pictureBox->addWidget(img, 0, Qt::AlignTop);
        m_imgAgg[i] = img;
    }
    pictureBox->addStretch();

    m_lchk = new QLabel(this);
    m_lchk->setObjectName(QStringLiteral("Lchk"));
    m_lchk->setWordWrap(true);
    m_lchk->setMinimumHeight(48);
    m_lchk->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_llink = new HoverLink(QStringLiteral("Llink"), this);
    m_llink->setWordWrap(true);
    m_llink2 = new HoverLink(QStringLiteral("Llink2"), this);
    connect(m_llink, &HoverLink::clicked, this, &FrmUpd::Llink_Click);
    connect(m_llink2, &HoverLink::clicked, this, &FrmUpd::Llink2_Click);

    auto *texts = new QVBoxLayout;
    texts->addWidget(m_lchk);
    texts->addSpacing(6);
    texts->addWidget(m_llink);
    texts->addWidget(m_llink2);
    texts->addStretch();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(16);
    grid->addLayout(pictureBox, 0, 0);
    grid->addLayout(texts, 0, 1);
    grid->setColumnStretch(1, 1);
    setFixedSize(600, 132);
    showPicture(0);

    m_tchk.setObjectName(QStringLiteral("Tchk"));
    m_tchk.setSingleShot(true);
    m_tchk.setInterval(500);
    connect(&m_tchk, &QTimer::timeout, this, &FrmUpd::Tchk_Timer);
    connect(&m_fetch, &VersionFetch::finished, this, &FrmUpd::replyArrived);
}

void FrmUpd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Load();
}

void FrmUpd::hideEvent(QHideEvent *event)
{
    // Closed before the answer came: the next opening checks afresh.
    if (!event->spontaneous()) {
        m_tchk.stop();
        m_fetch.cancel();
    }
    QDialog::hideEvent(event);
}

void FrmUpd::Form_Load()
{
    setWindowTitle(m_lang.menu.value(QStringLiteral("Agg")));
    m_lchk->setText(m_lang.t(QStringLiteral("UpdChk")));
    m_llink->setText(QString());
    m_llink->setEnabled(false);
    m_llink2->setText(m_lang.t(QStringLiteral("link")));
    showPicture(0);
    m_tchk.start();
}

void FrmUpd::showPicture(int index)
{
    m_picture = index;
    for (size_t i = 0; i < m_imgAgg.size(); ++i)
        m_imgAgg[i]->setVisible(int(i) == index);
}

void FrmUpd::Tchk_Timer()
{
    showPicture(1);
    m_fetch.start();
}

void FrmUpd::replyArrived(VersionFetch::Outcome outcome, const QByteArray &body)
{
    const VersionReply reply = VersionReply::parse(body);
    if (outcome != VersionFetch::Outcome::Reply || reply.html || !reply.hasComma) {
        m_ultimaVersione = QStringLiteral("ERR");
        showPicture(2);
        m_lchk->setText(m_lang.t(QStringLiteral("UpdErr")));
        return;
    }
    m_ultimaVersione = reply.newest;
    m_linkDownload = reply.download;
    const QString running = m_options.VersioneCorrente;
    if (VersionNumber::isNewer(m_ultimaVersione, running)) {
        m_lchk->setText(m_lang.t(QStringLiteral("UpdReady")) + QStringLiteral(" : ") + m_ultimaVersione
                        + QStringLiteral("\r\n") + m_lang.t(QStringLiteral("UpdAct")) + QLatin1Char(' ') + running
                        + QStringLiteral(" --> ") + m_lang.t(QStringLiteral("UpdNew")) + QLatin1Char(' ')
                        + m_ultimaVersione);
        m_llink->setText(m_lang.t(QStringLiteral("UpdDwn")) + QLatin1Char(' ') + m_linkDownload);
        m_llink->setEnabled(true);
    } else {
        m_lchk->setText(m_lang.t(QStringLiteral("NoUpd")));
        m_llink->setText(QString());
        m_llink->setEnabled(false);
    }
    showPicture(0);
}

void FrmUpd::Llink_Click()
{
    // The address came from the network: only a web page is ever opened.
    const QUrl url(m_linkDownload, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
        m_links.open(url);
}

void FrmUpd::Llink2_Click() { m_links.open(QUrl(ProjectAddresses::page(m_lang.Lingua))); }
