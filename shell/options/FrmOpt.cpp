#include "FrmOpt.h"

#include "ColorDialogService.h"
#include "ConsoleArea.h"
#include "ConsolePane.h"
#include "DeviceWindows.h"
#include "EngineState.h"
#include "FileDialogService.h"
#include "FrmMain.h"
#include "LanguageLoader.h"
#include "MessageBoxService.h"
#include "NoticeService.h"
#include "OptionsServices.h"
#include "ProgramIdentity.h"
#include "ProgramSettings.h"
#include "SerialDetection.h"
#include "SerialPortName.h"
#include "SettingKeys.h"
#include "ShellResources.h"
#include "ToolbarButtons.h"
#include "VbColor.h"
#include "WindowNames.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

namespace K = SettingKeys;

constexpr quint32 LampOff = 0xC0C0C0;
constexpr quint32 LampOn = 0xFF00;
constexpr int MonitorOnImage = 2;
constexpr int SliderMax = 250;  // + 5 stays within a byte
constexpr int OpacityFloor = 5;

const QString Ethernet = QStringLiteral("Gateway Ethernet");
const QString Usb = QStringLiteral("Gateway USB");

QString boxValue(const QCheckBox *box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

QString indexedName(const char *name, int index) { return QString::fromLatin1(name) + QString::number(index); }

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename T>
T *named(T *widget, const char *name)
{
    return named(widget, QString::fromLatin1(name));
}

} // namespace

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
// Controls

void FrmOpt::buildControls()
{
    m_tab = named(new QTabWidget(this), "STab");
    m_tab->addTab(generalTab(), QString());
    m_tab->addTab(connectionTab(), QString());
    m_tab->addTab(messagesTab(), QString());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tab);
}

QWidget *FrmOpt::generalTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    m_cstmon = named(new QCheckBox, "Cstmon");
    m_cstmin = named(new QCheckBox, "CStmin");
    m_cstchk = named(new QCheckBox, "Cstchk");
    for (QCheckBox *box : {m_cstmon, m_cstmin, m_cstchk})
        layout->addWidget(box);
    connect(m_cstmon, &QCheckBox::toggled, this, [this] { saveBox(K::OptionSection, K::Monitor.keyName(), m_cstmon); });
    connect(m_cstmin, &QCheckBox::toggled, this, [this] { saveBox(K::OptionSection, K::Minimized.keyName(), m_cstmin); });
    connect(m_cstchk, &QCheckBox::toggled, this, [this] { saveBox(K::OptionSection, K::StartChk.keyName(), m_cstchk); });
    layout->addSpacing(8);

    auto *colours = new QGridLayout;
    const auto swatch = [this](const char *name, void (FrmOpt::*handler)()) {
        auto *b = named(new QToolButton, name);
        b->setIconSize(QSize(32, 16));
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    m_lcolMon = swatch("LcolMon", &FrmOpt::LcolMon_Click);
    m_pcolMon = swatch("PcolMon", &FrmOpt::PcolMon_Click);
    m_lcolCom = swatch("LcolCom", &FrmOpt::LcolCom_Click);
    m_pcolCom = swatch("PcolCom", &FrmOpt::PcolCom_Click);
    for (int i = 0; i < 2; ++i) {
        m_lbc[size_t(i)] = named(new QLabel, indexedName("Lbc", i));
        colours->addWidget(m_lbc[size_t(i)], i, 0);
    }
    colours->addWidget(m_lcolMon, 0, 1);
    colours->addWidget(m_pcolMon, 0, 2);
    colours->addWidget(m_lcolCom, 1, 1);
    colours->addWidget(m_pcolCom, 1, 2);
    colours->setColumnStretch(3, 1);
    layout->addLayout(colours);
    layout->addSpacing(8);

    m_lb[3] = named(new QLabel, "Lb3");
    layout->addWidget(m_lb[3]);
    auto *slotRows = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        const size_t at = size_t(i);
        m_cprog[at] = named(new QCheckBox, indexedName("Cprog", i));
        m_tprog[at] = named(new QLineEdit, indexedName("Tprog", i));
        m_tprog[at]->setReadOnly(true);
        m_tprog[at]->setMinimumWidth(260);
        m_iopen[at] = named(new QToolButton, indexedName("Iopen", i));
        m_iopen[at]->setText(QStringLiteral("..."));
        m_idel[at] = ShellResources::iconButton(nullptr, "Idel", QStringLiteral("clear"), 16);
        m_idel[at]->setObjectName(indexedName("Idel", i));
        slotRows->addWidget(m_cprog[at], i, 0);
        slotRows->addWidget(m_tprog[at], i, 1);
        slotRows->addWidget(m_iopen[at], i, 2);
        slotRows->addWidget(m_idel[at], i, 3);
        connect(m_cprog[at], &QCheckBox::toggled, this, [this, i] { Cprog_Click(i); });
        connect(m_iopen[at], &QToolButton::clicked, this, [this, i] { Iopen_Click(i); });
        connect(m_idel[at], &QToolButton::clicked, this, [this, i] { Idel_Click(i); });
    }
    layout->addLayout(slotRows);
    layout->addStretch(1);
    return page;
}

QWidget *FrmOpt::connectionTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    for (int i : {0, 1, 2, 5})
        m_lb[size_t(i)] = named(new QLabel, indexedName("Lb", i));

    m_cbProt = named(new QComboBox, "CbProt");
    m_txtIPws = named(new QLineEdit, "TxtIPws");
    m_txtPortaws = named(new QLineEdit, "TxtPortaws");
    // Digits only, typed or pasted; the range is checked when the box is left.
    m_txtPortaws->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_txtPortaws));
    m_txtPortaws->setMaxLength(5);
    m_txtPwd = named(new QLineEdit, "TxtPwd");
    m_txtPwd->setEchoMode(QLineEdit::Password);
    m_cbCom = named(new QComboBox, "CbCom");
    m_cdet = named(new QPushButton, "Cdet");
    m_cchum = named(new QCheckBox, "Cchum");

    grid->addWidget(m_lb[0], 0, 0);
    grid->addWidget(m_cbProt, 0, 1);
    // The address and the port list share a row: only one of them shows.
    auto *where = new QHBoxLayout;
    where->addWidget(m_txtIPws, 1);
    where->addWidget(m_cbCom, 1);
    where->addWidget(m_cdet);
    grid->addWidget(m_lb[1], 1, 0);
    grid->addLayout(where, 1, 1);
    grid->addWidget(m_lb[2], 2, 0);
    grid->addWidget(m_txtPortaws, 2, 1);
    grid->addWidget(m_lb[5], 3, 0);
    grid->addWidget(m_txtPwd, 3, 1);
    grid->addWidget(m_cchum, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);

    connect(m_cbProt, &QComboBox::currentIndexChanged, this, &FrmOpt::CbProt_Click);
    connect(m_cbCom, &QComboBox::activated, this, &FrmOpt::CbCom_Click);
    connect(m_txtIPws, &QLineEdit::editingFinished, this, &FrmOpt::TxtIPws_Validate);
    connect(m_txtPortaws, &QLineEdit::editingFinished, this, &FrmOpt::TxtPortaws_Validate);
    connect(m_cdet, &QPushButton::clicked, this, &FrmOpt::Cdet_Click);
    connect(m_cchum, &QCheckBox::toggled, this, &FrmOpt::Cchum_Click);
    return page;
}

QWidget *FrmOpt::messagesTab()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);

    auto *filters = new QGridLayout;
    for (int c = 0; c < 3; ++c) {
        m_filterHeads[size_t(c)] = named(new QLabel, indexedName("Lhead", c));
        filters->addWidget(m_filterHeads[size_t(c)], 0, c + 1, Qt::AlignHCenter);
    }
    for (int k = 0; k < 9; ++k) {
        const size_t at = size_t(k);
        m_lchi[at] = named(new QLabel, indexedName("Lchi", k));
        m_cchi[at] = named(new QCheckBox, indexedName("CChi", k));
        m_cachi[at] = named(new QCheckBox, indexedName("CaChi", k));
        m_clchi[at] = named(new QCheckBox, indexedName("ClChi", k));
        filters->addWidget(m_lchi[at], k + 1, 0);
        filters->addWidget(m_cchi[at], k + 1, 1, Qt::AlignHCenter);
        filters->addWidget(m_cachi[at], k + 1, 2, Qt::AlignHCenter);
        filters->addWidget(m_clchi[at], k + 1, 3, Qt::AlignHCenter);
        connect(m_cchi[at], &QCheckBox::toggled, this, [this, k] { CChi_Click(k); });
        connect(m_cachi[at], &QCheckBox::toggled, this, [this, k] { CaChi_Click(k); });
        connect(m_clchi[at], &QCheckBox::toggled, this, [this, k] { ClChi_Click(k); });
    }
    filters->setRowStretch(10, 1);
    layout->addLayout(filters);
    layout->addSpacing(12);

    auto *right = new QVBoxLayout;
    m_frwinMsg = named(new QGroupBox, "FrwinMsg");
    auto *notices = new QGridLayout(m_frwinMsg);
    m_fxLabel = new QLabel;
    m_tipoLabel = new QLabel;
    m_traspLabel = new QLabel;
    m_cfx = named(new QComboBox, "CFx");
    m_ctipo = named(new QComboBox, "Ctipo");
    m_sltrasp = named(new QSlider(Qt::Horizontal), "Sltrasp");
    m_sltrasp->setRange(0, SliderMax);
    m_sltrasp->setPageStep(25);
    m_cpos = named(new QPushButton, "Cpos");
    m_ctry = named(new QPushButton, "Ctry");
    notices->addWidget(m_fxLabel, 0, 0);
    notices->addWidget(m_cfx, 0, 1);
    notices->addWidget(m_tipoLabel, 1, 0);
    notices->addWidget(m_ctipo, 1, 1);
    notices->addWidget(m_traspLabel, 2, 0);
    notices->addWidget(m_sltrasp, 2, 1);
    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(m_cpos);
    tryRow->addWidget(m_ctry);
    tryRow->addStretch(1);
    notices->addLayout(tryRow, 3, 0, 1, 2);
    notices->setColumnStretch(1, 1);
    right->addWidget(m_frwinMsg);

    auto *character = new QGridLayout;
    m_lb[4] = named(new QLabel, "Lb4");
    m_cagent = named(new QComboBox, "Cagent");
    m_chide = named(new QCheckBox, "Chide");
    m_csound = named(new QCheckBox, "Csound");
    character->addWidget(m_lb[4], 0, 0);
    character->addWidget(m_cagent, 0, 1);
    character->addWidget(m_chide, 1, 0, 1, 2);
    character->addWidget(m_csound, 2, 0, 1, 2);
    character->setColumnStretch(1, 1);
    right->addSpacing(8);
    right->addLayout(character);
    right->addStretch(1);
    layout->addLayout(right, 1);

    connect(m_cfx, &QComboBox::currentIndexChanged, this, &FrmOpt::CFx_Click);
    connect(m_ctipo, &QComboBox::currentIndexChanged, this, &FrmOpt::Ctipo_Click);
    connect(m_sltrasp, &QSlider::valueChanged, this, &FrmOpt::Sltrasp_Scroll);
    connect(m_cpos, &QPushButton::clicked, this, &FrmOpt::Cpos_Click);
    connect(m_ctry, &QPushButton::clicked, this, &FrmOpt::Ctry_Click);
    connect(m_cagent, &QComboBox::currentIndexChanged, this, &FrmOpt::Cagent_Click);
    connect(m_chide, &QCheckBox::toggled, this, &FrmOpt::Chide_Click);
    connect(m_csound, &QCheckBox::toggled, this, &FrmOpt::Csound_Click);
    return page;
}

void FrmOpt::ApplicaLingua()
{
    setWindowTitle(text("Options"));
    m_tab->setTabText(0, text("General"));
    m_tab->setTabText(1, text("Connection"));
    m_tab->setTabText(2, QStringLiteral("Messaggi"));
    m_lb[3]->setText(text("Launch"));
    m_lb[0]->setText(text("Protocol"));
    m_lb[1]->setText(text("IpAdr"));
    m_lb[2]->setText(text("Port"));
    m_lb[5]->setText(text("OptPwd"));
    m_lbc[0]->setText(text("Colmon"));
    m_lbc[1]->setText(text("ColCom"));
    m_cstmon->setText(text("Stupmon"));
    m_cstmin->setText(text("Stupmin"));
    m_cstchk->setText(text("Stupchk"));
    m_cchum->setText(text("OptChum"));
    m_cdet->setText(text("OptDetect"));
    for (int k = 0; k < 9; ++k) {
        const size_t at = size_t(k);
        const QString group = m_s.state.lang.NomiWho[at];
        m_lchi[at]->setText(group);
        m_cchi[at]->setAccessibleName(group + QStringLiteral(": ") + text("OptNotice"));
        m_cachi[at]->setAccessibleName(group + QStringLiteral(": ") + text("OptSpeak"));
        m_clchi[at]->setAccessibleName(group + QStringLiteral(": ") + text("OptLog"));
    }
    m_filterHeads[0]->setText(text("OptNotice"));
    m_filterHeads[1]->setText(text("OptSpeak"));
    m_filterHeads[2]->setText(text("OptLog"));
    m_lb[4]->setText(text("Useagent"));
    m_chide->setText(text("Aghide"));
    m_csound->setText(text("Agsound"));

    m_frwinMsg->setTitle(text("OptNotices"));
    m_fxLabel->setText(text("OptFx"));
    m_tipoLabel->setText(text("OptColours"));
    m_traspLabel->setText(text("OptTras"));
    m_cpos->setText(text("OptPos"));
    m_ctry->setText(text("OptTry"));
    // Controls without a caption of their own are named for assistive tools.
    m_cbProt->setAccessibleName(text("Protocol"));
    m_txtIPws->setAccessibleName(text("IpAdr"));
    m_txtPortaws->setAccessibleName(text("Port"));
    m_txtPwd->setAccessibleName(text("OptPwd"));
    m_cbCom->setAccessibleName(QStringLiteral("COM"));
    m_cfx->setAccessibleName(text("OptFx"));
    m_ctipo->setAccessibleName(text("OptColours"));
    m_sltrasp->setAccessibleName(text("OptTras"));
    m_cagent->setAccessibleName(text("Useagent"));
    for (QToolButton *b : {m_lcolMon, m_lcolCom})
        b->setToolTip(text("OptFore"));
    for (QToolButton *b : {m_pcolMon, m_pcolCom})
        b->setToolTip(text("OptBack"));
    for (size_t i = 0; i < 2; ++i) {
        const QString slot = text("Launch") + QLatin1Char(' ') + QString::number(i + 1);
        m_cprog[i]->setAccessibleName(slot);
        m_tprog[i]->setAccessibleName(slot);
        m_iopen[i]->setToolTip(text("OptPick"));
        m_idel[i]->setToolTip(text("OptClear"));
    }
    for (QWidget *w : std::initializer_list<QWidget *>{m_lcolMon, m_lcolCom, m_pcolMon, m_pcolCom, m_iopen[0],
                                                       m_iopen[1], m_idel[0], m_idel[1]})
        w->setAccessibleName(w->toolTip());
}

// ---------------------------------------------------------------------------------------------
// Load and unload

void FrmOpt::loadBox(QCheckBox *box, const QString &stored)
{
    // Toggling runs the box's handler, as the click of a changed value does.
    box->setChecked(stored.trimmed() == QLatin1String("1"));
}

void FrmOpt::Form_Load()
{
    EngineState &st = m_s.state;
    ProgramSettings &set = m_s.settings;
    Filters &flt = st.filters;

    m_formCaricato = false;
    m_txtIPws->setText(st.link.IpGateway);
    m_txtPortaws->setText(st.link.PortaGateway);

    for (int k = 0; k < 9; ++k) {
        const size_t at = size_t(k);
        m_cchi[at]->setChecked(set.readInt(K::OptionSection, K::whoKey(k), flt.Who[at]) == 1);
        m_cachi[at]->setChecked(set.readInt(K::OptionSection, K::whoAKey(k), flt.WhoA[at]) == 1);
        m_clchi[at]->setChecked(set.readInt(K::OptionSection, K::whoLKey(k), flt.WhoL[at]) == 1);
    }

    ApplicaLingua();

    {
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
    CbProt_Click();

    paintSwatch(m_lcolMon, quint32(set.readInt(K::ForeCol)));
    paintSwatch(m_pcolMon, quint32(set.readInt(K::BackCol)));
    paintSwatch(m_lcolCom, quint32(set.readInt(K::ForeColC)));
    paintSwatch(m_pcolCom, quint32(set.readInt(K::BackColC)));

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

    m_cagent->addItem(text("Agnone"));
    m_cagent->setCurrentIndex(0);
    m_chide->setEnabled(false);
    m_csound->setEnabled(false);
    const QString agent = set.read(K::Agent).trimmed();
    const QStringList characters = m_s.options.characterNames();
    for (int i = 0; i < characters.size(); ++i) {
        m_cagent->addItem(characters.at(i));
        if (!agent.isEmpty() && characters.at(i).trimmed() == agent) {
            m_cagent->setCurrentIndex(i + 1);
            m_chide->setEnabled(true);
            m_csound->setEnabled(true);
        }
    }

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
    {
        // The slider shows the opacity less the floor it adds when moved.
        const QSignalBlocker block(m_sltrasp);
        m_sltrasp->setValue(std::clamp(int(live.OpzMsgTras) - OpacityFloor, 0, SliderMax));
    }
    m_formCaricato = true;
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

void FrmOpt::Cpos_Click() { m_s.options.previewNoticePosition(); }

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
        m_s.messages.message(m_s.state.lang.e(QStringLiteral("comdetect")) + ports.at(found), ProgramIdentity::Title);
    } else {
        m_s.messages.message(m_s.state.lang.e(QStringLiteral("nodetect")), ProgramIdentity::Title);
    }
    detecting = false;
    setSearching(false);
}
