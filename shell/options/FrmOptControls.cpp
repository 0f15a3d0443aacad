// The options dialog's three tabs, their controls and their captions.
#include "shell/options/FrmOpt.h"

#include "engine/model/EngineState.h"
#include "shell/options/OptionsLayout.h"
#include "engine/config/SettingKeys.h"
#include "shell/icons/ShellResources.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

namespace K = SettingKeys;
using namespace OptionsLayout;

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
    // The links answer the gateway with a number of at most 32 bits; anything else is not a password.
    m_txtPwd->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_txtPwd));
    m_txtPwd->setMaxLength(10);
    connect(m_txtPwd, &QLineEdit::textEdited, this, [this] {
        m_txtPwd->setPalette(QPalette());
        m_txtPwd->setAccessibleDescription(QString());
    });
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
    connect(m_txtPwd, &QLineEdit::editingFinished, this, &FrmOpt::TxtPwd_Validate);
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
    m_tab->setAccessibleName(windowTitle());
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
    // A reader says a box's label with it; a combo box on this desktop is read by its value
    // and its label only.
    m_lb[0]->setBuddy(m_cbProt);
    m_lb[2]->setBuddy(m_txtPortaws);
    m_lb[5]->setBuddy(m_txtPwd);
    m_lb[4]->setBuddy(m_cagent);
    m_fxLabel->setBuddy(m_cfx);
    m_tipoLabel->setBuddy(m_ctipo);
    m_traspLabel->setBuddy(m_sltrasp);
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
    // Each colour button says which log it colours.
    for (const auto &[b, log, what] : {std::tuple<QToolButton *, const char *, const char *>{m_lcolMon, "Colmon", "OptFore"},
                                      {m_pcolMon, "Colmon", "OptBack"},
                                      {m_lcolCom, "ColCom", "OptFore"},
                                      {m_pcolCom, "ColCom", "OptBack"}})
        b->setToolTip(text(log) + QStringLiteral(": ") + text(what));
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

