#include "shell/options/FrmOpt.h"

#include "shell/options/ColorDialogService.h"
#include "shell/main/ConsoleArea.h"
#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "shell/services/FileDialogService.h"
#include "shell/main/FrmMain.h"
#include "engine/config/LanguageLoader.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/ports/NoticeService.h"
#include "shell/options/OptionsLayout.h"
#include "shell/options/OptionsServices.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "engine/links/SerialDetection.h"
#include "engine/links/SerialPortName.h"
#include "engine/config/SettingKeys.h"
#include "shell/icons/ShellResources.h"
#include "shell/services/VbColor.h"
#include "shell/main/CommandBoxWidget.h"
#include "engine/model/WindowNames.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace K = SettingKeys;
using namespace OptionsLayout;

FrmOpt::FrmOpt(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_s(services)
{
    setObjectName(WindowNames::FrmOpt);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ShellResources::icon(QStringLiteral("options")));
    buildControls();
    Form_Load();
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QString FrmOpt::text(const char *key) const { return m_s.state.lang.t(QString::fromLatin1(key)); }

// ---------------------------------------------------------------------------------------------
// Load and unload

void FrmOpt::loadBox(QCheckBox *box, const QString &stored)
{
    // Toggling runs the box's handler, as the click of a changed value does.
    box->setChecked(stored.trimmed() == QLatin1String("1"));
}

// The controls take the stored values in this order: the language first reaches the texts
// the later steps add to, and each box loaded after it runs its handler as a click would.
void FrmOpt::Form_Load()
{
    m_formCaricato = false;
    loadGatewayFields();
    loadFilterBoxes();
    ApplicaLingua();
    loadLinkChoice();
    CbProt_Click();
    loadColours();
    loadStartBoxes();
    loadCharacterList();
    loadNoticeChoices();
    m_formCaricato = true;
}

void FrmOpt::loadGatewayFields()
{
    const LinkState &link = m_s.state.link;
    m_txtIPws->setText(link.IpGateway);
    m_txtPortaws->setText(link.PortaGateway);
    m_txtPwd->setText(link.PasswordGateway);
}

// The notice, speech and log filters of the nine WHO groups.
void FrmOpt::loadFilterBoxes()
{
    const ProgramSettings &set = m_s.settings;
    const Filters &flt = m_s.state.filters;
    for (int k = 0; k < 9; ++k) {
        const size_t at = size_t(k);
        m_cchi[at]->setChecked(set.readInt(K::OptionSection, K::whoKey(k), flt.Who[at]) == 1);
        m_cachi[at]->setChecked(set.readInt(K::OptionSection, K::whoAKey(k), flt.WhoA[at]) == 1);
        m_clchi[at]->setChecked(set.readInt(K::OptionSection, K::whoLKey(k), flt.WhoL[at]) == 1);
    }
}

// Ethernet or USB, and the serial ports to choose from with the stored one selected; their
// handlers wait for CbProt_Click, which the load runs once both are set.
void FrmOpt::loadLinkChoice()
{
    const ProgramSettings &set = m_s.settings;
    const QSignalBlocker protBlock(m_cbProt);
    const QSignalBlocker comBlock(m_cbCom);
    m_cbProt->addItems({Ethernet, Usb});
    m_cbCom->clear();
    m_cbCom->addItems(m_s.listPorts ? m_s.listPorts() : QStringList());
    const QString stored = SerialPorts::SerialPortName(set.read(K::Com));
    int selected = -1;
    for (int i = 0; i < m_cbCom->count() && selected < 0; ++i) {
        if (SerialPorts::SerialPortName(portSetting(i)) == stored)
            selected = i;
    }
    m_cbCom->setCurrentIndex(selected);
    const int gateway = set.readInt(K::Gateway);
    m_cbProt->setCurrentIndex(gateway >= 0 && gateway < m_cbProt->count() ? gateway : -1);
}

void FrmOpt::loadColours()
{
    const ProgramSettings &set = m_s.settings;
    paintSwatch(m_lcolMon, quint32(set.readInt(K::ForeCol)));
    paintSwatch(m_pcolMon, quint32(set.readInt(K::BackCol)));
    paintSwatch(m_lcolCom, quint32(set.readInt(K::ForeColC)));
    paintSwatch(m_pcolCom, quint32(set.readInt(K::BackColC)));
}

// The start-up choices, the two programs launched with it, the remote services and the
// character's two boxes.
void FrmOpt::loadStartBoxes()
{
    const ProgramSettings &set = m_s.settings;
    loadBox(m_cstmin, set.read(K::Minimized));
    loadBox(m_cstmon, set.read(K::Monitor));
    loadBox(m_cstchk, set.read(K::StartChk));
    for (int i = 0; i < 2; ++i)
        m_tprog[size_t(i)]->setText(set.read(K::LaunchSection, K::launchPathKey(i + 1), QString()));
    for (int i = 0; i < 2; ++i)
        loadBox(m_cprog[size_t(i)], set.read(K::LaunchSection, K::launchProgKey(i + 1), QStringLiteral("0")));
    loadBox(m_cchum, set.read(K::WsChum));
    loadBox(m_chide, set.read(K::Hlet));
    loadBox(m_csound, set.read(K::AgSound));
}

// "None" and the characters found, the stored one selected; its two boxes are enabled only
// when it is among them.
void FrmOpt::loadCharacterList()
{
    m_cagent->addItem(text("Agnone"));
    m_cagent->setCurrentIndex(0);
    m_chide->setEnabled(false);
    m_csound->setEnabled(false);
    const QString agent = m_s.settings.read(K::Agent).trimmed();
    const QStringList characters = m_s.options.characterNames();
    for (int i = 0; i < characters.size(); ++i) {
        m_cagent->addItem(characters.at(i));
        if (!agent.isEmpty() && characters.at(i).trimmed() == agent) {
            m_cagent->setCurrentIndex(i + 1);
            m_chide->setEnabled(true);
            m_csound->setEnabled(true);
        }
    }
}

// The notice's effect, colour scheme and opacity, copied into the main window's live options
// as they are read.
void FrmOpt::loadNoticeChoices()
{
    const ProgramSettings &set = m_s.settings;
    ShellOptions &live = m_s.main.shellOptions();
    m_cfx->addItems({QStringLiteral("nessuno"), QStringLiteral("pop-up dal basso"), QStringLiteral("dissolvenza")});
    const int fx = set.readInt(K::Fx);
    if (fx >= 0 && fx <= 255)
        live.OpzFx = quint8(fx);
    m_cfx->setCurrentIndex(fx < m_cfx->count() ? fx : -1);
    m_ctipo->addItems({QStringLiteral("blue"), QStringLiteral("gray"), QStringLiteral("white"), QStringLiteral("custom")});
    // Read with the dialog's own default and not saved: once the dialog has been opened,
    // a never-saved scheme shows gray until the program ends.
    live.OpzMsgType = set.read(K::MsgTypeDialog);
    const int type = set.readInt(K::MsgTypeDialog);
    m_ctipo->setCurrentIndex(type < m_ctipo->count() ? type : -1);
    // The slider shows the opacity less the floor it adds when moved.
    const QSignalBlocker block(m_sltrasp);
    m_sltrasp->setValue(std::clamp(int(live.OpzMsgTras) - OpacityFloor, 0, SliderMax));
}

void FrmOpt::closeEvent(QCloseEvent *event)
{
    // A search runs in this window's own wait; it ends first.
    if (m_searching) {
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

void FrmOpt::Form_Unload()
{
    TxtIPws_Validate();
    TxtPortaws_Validate();
    TxtPwd_Validate();
    m_s.settings.save(K::Agent, m_cagent->currentIndex() <= 0 ? QString() : m_cagent->currentText());
    Filters &flt = m_s.state.filters;
    for (int k = 0; k < 9; ++k) {
        const size_t at = size_t(k);
        flt.Who[at] = m_s.settings.readInt(K::OptionSection, K::whoKey(k), flt.Who[at]);
        flt.WhoA[at] = m_s.settings.readInt(K::OptionSection, K::whoAKey(k), flt.WhoA[at]);
    }
}

// ---------------------------------------------------------------------------------------------
// Handlers

void FrmOpt::saveBox(const QString &section, const QString &key, const QCheckBox *box)
{
    m_s.settings.save(section, key, boxValue(box));
}

void FrmOpt::CChi_Click(int index)
{
    const QCheckBox *box = m_cchi.at(size_t(index));
    saveBox(K::OptionSection, K::whoKey(index), box);
    m_s.state.filters.Who[size_t(index)] = box->isChecked() ? 1 : 0;
}

void FrmOpt::CaChi_Click(int index)
{
    const QCheckBox *box = m_cachi.at(size_t(index));
    saveBox(K::OptionSection, K::whoAKey(index), box);
    m_s.state.filters.WhoA[size_t(index)] = box->isChecked() ? 1 : 0;
}

void FrmOpt::ClChi_Click(int index)
{
    const QCheckBox *box = m_clchi.at(size_t(index));
    saveBox(K::OptionSection, K::whoLKey(index), box);
    m_s.state.filters.WhoL[size_t(index)] = box->isChecked() ? 1 : 0;
}

void FrmOpt::CbProt_Click()
{
    const int gateway = m_cbProt->currentIndex();
    m_s.settings.save(K::Gateway, QString::number(gateway));
    const bool usb = gateway == 1;
    for (QWidget *w : std::initializer_list<QWidget *>{m_txtIPws, m_txtPortaws, m_lb[2], m_lb[5], m_txtPwd})
        w->setVisible(!usb);
    m_cbCom->setVisible(usb);
    m_lb[1]->setText(usb ? QStringLiteral("COM") : text("IpAdr"));
    m_lb[1]->setBuddy(usb ? static_cast<QWidget *>(m_cbCom) : m_txtIPws);
    m_cdet->setVisible(usb && m_cbCom->count() > 0);
}

void FrmOpt::stopMonitor()
{
    // As the user's own click on the monitor button: the log line, the status, the links closed.
    if (m_s.main.monitorButtonImage() == MonitorOnImage)
        m_s.main.barra_ButtonClick(ToolbarButtons::Monitor);
}

QString FrmOpt::portSetting(int entry) const { return SerialPorts::SerialPortSetting(m_cbCom->itemText(entry)); }

void FrmOpt::CbCom_Click()
{
    if (!m_formCaricato || m_cbCom->currentIndex() < 0)
        return;
    stopMonitor();
    const QString port = portSetting(m_cbCom->currentIndex());
    const QString failure = m_s.detection.provaApertura(port);
    if (!failure.isEmpty()) {
        m_s.messages.message(failure, ProgramIdentity::Title, MessageBoxService::Icon::Critical);
        return;
    }
    m_s.settings.save(K::Com, port);
}

void FrmOpt::Cchum_Click()
{
    saveBox(K::OptionSection, K::WsChum.keyName(), m_cchum);
    OptionsServices &o = m_s.options;
    if (!m_cchum->isChecked()) {
        m_s.main.setClientLamp(LampOff);
        o.stopListeners();
        return;
    }
    // Opening the dialog must not drop a display client that is connected.
    if (!m_formCaricato && o.listenersRunning()) {
        m_s.main.setClientLamp(LampOn);
        return;
    }
    o.stopListeners();
    m_s.main.setClientLamp(o.startListeners() ? LampOn : LampOff);
}

void FrmOpt::Chide_Click()
{
    saveBox(K::OptionSection, K::Hlet.keyName(), m_chide);
    m_s.main.shellOptions().OpzHlet = boxValue(m_chide);
}

void FrmOpt::Csound_Click()
{
    saveBox(K::OptionSection, K::AgSound.keyName(), m_csound);
    if (m_s.options.characterLoaded())
        m_s.options.setCharacterSound(m_csound->isChecked());
}

void FrmOpt::CFx_Click()
{
    const int fx = m_cfx->currentIndex();
    if (!m_formCaricato || fx < 0)
        return;
    m_s.settings.save(K::Fx, QString::number(fx));
    m_s.main.shellOptions().OpzFx = quint8(fx);
}

void FrmOpt::Ctipo_Click()
{
    const int type = m_ctipo->currentIndex();
    if (!m_formCaricato || type < 0)
        return;
    m_s.settings.save(K::MsgType, QString::number(type));
    m_s.main.shellOptions().OpzMsgType = QString::number(type);
    // The next notice is built in the new colours.
    m_s.windows.unload(WindowNames::FrmMsg);
}

void FrmOpt::Sltrasp_Scroll()
{
    quint8 &opacity = m_s.main.shellOptions().OpzMsgTras;
    opacity = quint8(m_sltrasp->value() + OpacityFloor);
    m_s.settings.save(K::MsgTras, QString::number(opacity));
}

void FrmOpt::paintSwatch(QToolButton *swatch, quint32 bgr)
{
    const qreal ratio = devicePixelRatioF();
    QPixmap pix(QSize(32, 16) * ratio);
    pix.setDevicePixelRatio(ratio);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(VbColor::toQColor(bgr));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 15), 2, 2);
    p.end();
    swatch->setIcon(QIcon(pix));
    swatch->setProperty("colour", bgr);
}

bool FrmOpt::chooseColour(const char *key, QToolButton *swatch)
{
    QString colour = m_s.settings.read(K::OptionSection, QString::fromLatin1(key), QString());
    if (!m_s.colours.ScegliColore(this, colour))
        return false;
    m_s.settings.save(K::OptionSection, QString::fromLatin1(key), colour);
    paintSwatch(swatch, colour.toUInt());
    return true;
}

void FrmOpt::LcolMon_Click()
{
    if (chooseColour(K::ForeCol.key, m_lcolMon))
        ConsoleArea::setPaneColours(m_s.main.Tlog(), m_lcolMon->property("colour").toUInt(),
                                    m_pcolMon->property("colour").toUInt());
}

void FrmOpt::PcolMon_Click()
{
    if (chooseColour(K::BackCol.key, m_pcolMon))
        ConsoleArea::setPaneColours(m_s.main.Tlog(), m_lcolMon->property("colour").toUInt(),
                                    m_pcolMon->property("colour").toUInt());
}

void FrmOpt::LcolCom_Click()
{
    if (chooseColour(K::ForeColC.key, m_lcolCom))
        ConsoleArea::setPaneColours(m_s.main.TlogC(), m_lcolCom->property("colour").toUInt(),
                                    m_pcolCom->property("colour").toUInt());
}

void FrmOpt::PcolCom_Click()
{
    if (chooseColour(K::BackColC.key, m_pcolCom))
        ConsoleArea::setPaneColours(m_s.main.TlogC(), m_lcolCom->property("colour").toUInt(),
                                    m_pcolCom->property("colour").toUInt());
}

void FrmOpt::TxtIPws_Validate()
{
    m_s.settings.save(K::ServerIP, m_txtIPws->text());
    m_s.state.link.IpGateway = m_txtIPws->text();
}

void FrmOpt::TxtPortaws_Validate()
{
    bool ok = false;
    const int port = m_txtPortaws->text().toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        // Refused: the box shows the port in use again.
        m_txtPortaws->setText(m_s.state.link.PortaGateway);
        return;
    }
    m_txtPortaws->setText(QString::number(port));
    m_s.settings.save(K::ServerPORT, m_txtPortaws->text());
    m_s.state.link.PortaGateway = m_txtPortaws->text();
}

void FrmOpt::TxtPwd_Validate()
{
    // Digits only (the box takes no other key); a number past 32 bits is refused, and the
    // box shows the password in use again. An empty box removes the password.
    const QString password = m_txtPwd->text();
    bool ok = password.isEmpty();
    if (!ok)
        password.toUInt(&ok);
    if (!ok) {
        // Refused as the command box refuses: its failure colour, and the reason on the
        // status bar and for a screen reader. Typing again clears both.
        const QString why = m_s.state.lang.t(QStringLiteral("PwRange"),
                                             QStringLiteral("Not saved: a password is a number up to 4294967295"));
        m_txtPwd->setText(m_s.state.link.PasswordGateway);
        QPalette refused = m_txtPwd->palette();
        refused.setColor(QPalette::Base, VbColor::toQColor(CommandBoxWidget::Red));
        refused.setColor(QPalette::Text, Qt::black);
        m_txtPwd->setPalette(refused);
        m_txtPwd->setAccessibleDescription(why);
        m_s.main.setStatusText(why);
        return;
    }
    m_s.settings.save(K::Password, password);
    m_s.state.link.PasswordGateway = password;
}

void FrmOpt::Cprog_Click(int index)
{
    QCheckBox *box = m_cprog.at(size_t(index));
    if (box->isChecked() && m_tprog.at(size_t(index))->text().isEmpty()) {
        box->setChecked(false);
        Iopen_Click(index);
    }
    // Read again: the file dialog above may have filled the slot and checked the box.
    saveBox(K::LaunchSection, K::launchProgKey(index + 1), box);
}

void FrmOpt::Iopen_Click(int index)
{
    const QString path = m_s.files.ApriSalvaFile(this, FileDialogService::Mode::Open, QStringLiteral("Apri"), QString(),
                                                 {{QStringLiteral("Exe file"), QStringLiteral("*.exe")}},
                                                 QStringLiteral("%programfiles%"), QString());
    if (path.isEmpty())
        return;
    const int slot = index + 1;
    m_tprog.at(size_t(index))->setText(path);
    m_cprog.at(size_t(index))->setChecked(true);
    // Also when the box was checked already and so raised no click.
    m_s.settings.save(K::LaunchSection, K::launchProgKey(slot), QStringLiteral("1"));
    m_s.settings.save(K::LaunchSection, K::launchPathKey(slot), path);
    m_s.state.lang.NomiProg[size_t(index)] = LanguageLoader::programCaption(path);
}

void FrmOpt::Idel_Click(int index)
{
    const int slot = index + 1;
    m_tprog.at(size_t(index))->clear();
    m_cprog.at(size_t(index))->setChecked(false);
    m_s.settings.save(K::LaunchSection, K::launchPathKey(slot), QString());
    m_s.settings.save(K::LaunchSection, K::launchProgKey(slot), QStringLiteral("0"));
    m_s.state.lang.NomiProg[size_t(index)] = QStringLiteral("...");
}

void FrmOpt::Cagent_Click()
{
    if (!m_formCaricato)
        return;
    OptionsServices &o = m_s.options;
    const bool none = m_cagent->currentIndex() <= 0;
    if (!none) {
        const bool sound = m_s.settings.readInt(K::AgSound) == 1;
        if (!o.loadCharacter(m_cagent->currentText(), sound, !m_chide->isChecked())) {
            // A character that will not load leaves none chosen.
            m_cagent->setCurrentIndex(0);
            return;
        }
    } else if (o.characterLoaded()) {
        o.releaseCharacter();
    }
    for (QCheckBox *box : m_cachi)
        box->setEnabled(!none);
    m_chide->setEnabled(!none);
    m_csound->setEnabled(!none);
}

void FrmOpt::Cpos_Click() { m_s.options.previewNoticePosition(this); }

void FrmOpt::Ctry_Click() { m_s.notice.MostraMessaggio(QStringLiteral("prova"), QString(), 2000, 0); }

void FrmOpt::setSearching(bool searching)
{
    m_searching = searching;
    for (QWidget *w : std::initializer_list<QWidget *>{m_cbCom, m_cbProt, m_cdet})
        w->setEnabled(!searching);
}

void FrmOpt::Cdet_Click()
{
    setSearching(true);
    stopMonitor();
    QCoreApplication::processEvents();
    QStringList ports;
    for (int i = 0; i < m_cbCom->count(); ++i)
        ports << portSetting(i);
    // The program may close while the search waits; nothing of this window is used after.
    const QPointer<FrmOpt> self(this);
    bool &detecting = m_s.state.link.RilevamentoCom;
    detecting = true;
    const int found = m_s.detection.cerca(ports);
    if (!self) {
        detecting = false;
        return;
    }
    if (found >= 0) {
        {
            const QSignalBlocker block(m_cbCom);
            m_cbCom->setCurrentIndex(found);
        }
        CbCom_Click();
        m_s.settings.save(K::Com, ports.at(found));
        m_s.messages.message(SerialPorts::withPort(m_s.state.lang.e(QStringLiteral("comdetect")), ports.at(found)),
                             ProgramIdentity::Title);
    } else {
        m_s.messages.message(m_s.state.lang.e(QStringLiteral("nodetect")), ProgramIdentity::Title);
    }
    detecting = false;
    setSearching(false);
}
