#include "shell/about/FrmAbout.h"

#include "shell/services/HoverLink.h"
#include "engine/model/LanguageTexts.h"
#include "shell/services/LinkOpener.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/config/ProgramIdentity.h"
#include "shell/update/ProjectAddresses.h"
#include "shell/main/ShellOptions.h"
#include "engine/model/WindowNames.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QUrlQuery>

static void registerAboutResources() { Q_INIT_RESOURCE(about); }

namespace {

const QString Crlf = QStringLiteral("\r\n");

QFrame *line(QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

FrmAbout::FrmAbout(const LanguageTexts &lang, const ShellOptions &options, LinkOpener &links,
                   MessageBoxService &messages, SystemInfoTool sysInfo, QWidget *parent)
    : QDialog(parent), m_lang(lang), m_options(options), m_links(links), m_messages(messages),
      m_sysInfo(std::move(sysInfo))
{
    static const bool registered = [] {
        registerAboutResources();
        return true;
    }();
    Q_UNUSED(registered);
    setObjectName(WindowNames::FrmAbout);
    setWindowModality(Qt::ApplicationModal);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(QIcon(QStringLiteral(":/ombrix/about/logo.svg")).pixmap(QSize(88, 88)));
    image1->setAccessibleName(ProgramIdentity::Title);
    image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont big = m_lblVersion->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.25);
    m_lblVersion->setFont(big);
    m_lblDescription = new QLabel(this);
    m_lblDescription->setObjectName(QStringLiteral("lblDescription"));
    m_lblDescription->setWordWrap(true);
    m_lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *llink = new HoverLink(QStringLiteral("Llink"), this);
    llink->setText(QStringLiteral("Ombrix Homepage"));
    auto *llink2 = new HoverLink(QStringLiteral("Llink2"), this);
    llink2->setText(QStringLiteral("Report a bug"));
    connect(llink, &HoverLink::clicked, this, &FrmAbout::Llink_Click);
    connect(llink2, &HoverLink::clicked, this, &FrmAbout::Llink2_Click);
    auto *links2 = new QHBoxLayout;
    links2->addWidget(llink);
    links2->addSpacing(24);
    links2->addWidget(llink2);
    links2->addStretch();

    auto *cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto *cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdSysInfo, &QPushButton::clicked, this, &FrmAbout::cmdSysInfo_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(18);
    grid->addWidget(image1, 0, 0, 4, 1);
    grid->addWidget(m_lblVersion, 0, 1);
    grid->addWidget(m_lblDescription, 1, 1);
    grid->addLayout(links2, 2, 1);
    grid->setRowStretch(3, 1);
    grid->addWidget(line(this), 4, 0, 1, 2);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    m_lblDescription->setFixedWidth(420);
}

QString FrmAbout::versionLabel(const QString &versioneCorrente)
{
    QString v = versioneCorrente;
    if (v.endsWith(QLatin1String("B5")))
        v.chop(2);
    return v;
}

QString FrmAbout::description(const QString &language)
{
    if (language.toLower() == QLatin1String("italian"))
        return QStringLiteral("Applicazione per inviare, monitorare, mostrare e tradurre le frame ") + Crlf
               + QStringLiteral("che passano nel sistema MY-Home Btcino®.") + Crlf
               + QStringLiteral("Per l'utilizzo di questa applicazione è necessario avere un webserver o "
                                "un'interfaccia gateway seriale/usb.")
               + Crlf + Crlf + QStringLiteral("Codice e disegni a cura di chi contribuisce a Ombrix.");
    return QStringLiteral("Application to send, monitoring, transalte and show the frames ") + Crlf
           + QStringLiteral("generated in the MY-Home Btcino® system.") + Crlf
           + QStringLiteral("For the use of this application it is necessary to have a webserver or a gateway "
                            "usb/rs232 interface.")
           + Crlf + Crlf + QStringLiteral("Code and artwork by the people who contribute to Ombrix.");
}

void FrmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Load();
}

void FrmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + ProgramIdentity::Title);
    m_lblVersion->setText(QStringLiteral("Ver. ") + versionLabel(m_options.VersioneCorrente));
    m_lblDescription->setText(description(m_lang.Lingua));
}

void FrmAbout::StartSysInfo()
{
    if (!m_sysInfo.start())
        m_messages.message(QStringLiteral("System Information Is Unavailable At This Time"), ProgramIdentity::Title);
}

void FrmAbout::Llink_Click() { m_links.open(QUrl(ProjectAddresses::page(m_lang.Lingua))); }

void FrmAbout::Llink2_Click()
{
    QUrl mail(QStringLiteral("mailto:") + ProjectAddresses::BugReport);
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("subject"),
                   QStringLiteral("Tervalia ") + m_options.VersioneCorrente + QStringLiteral(" bug-report"));
    mail.setQuery(q);
    m_links.open(mail);
}
