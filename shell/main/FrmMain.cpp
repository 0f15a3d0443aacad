#include "FrmMain.h"

#include "CommandBoxWidget.h"
#include "ConsolePane.h"
#include "ConversionError.h"
#include "DeviceWindows.h"
#include "EngineState.h"
#include "FileDialogService.h"
#include "LanguageLoader.h"
#include "LinkWait.h"
#include "LogLine.h"
#include "LogSearch.h"
#include "MessageBoxService.h"
#include "NumberConversions.h"
#include "ProgramIdentity.h"
#include "ProgramSettings.h"
#include "SettingKeys.h"
#include "ShellEngine.h"
#include "ShellResources.h"
#include "TrayIcon.h"
#include "VbColor.h"
#include "WindowUtils.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kFrmAux = QStringLiteral("FrmAux");
const QString kFrmCamera = QStringLiteral("FrmCamera");
const QString kFrmVolt = QStringLiteral("FrmVolt");
const QString kFrmAmp = QStringLiteral("FrmAmp");
const QString kFrmWatt = QStringLiteral("FrmWatt");
const QString kFrmScen = QStringLiteral("FrmScen");
const QString kFrmAI = QStringLiteral("FrmAI");
const QString kFrmOpt = QStringLiteral("FrmOpt");
const QString kFrmAbout = QStringLiteral("frmAbout");
const QString kFrmUpd = QStringLiteral("FrmUpd");

constexpr int ProbeWaitMs = 15000;
constexpr quint32 Grey = 0xC0C0C0;
constexpr quint32 Black = 0x000000;
constexpr quint32 Red = 0x0000FF;

// A failure of the start-up sequence, with the number its message shows.
int errorNumber(const std::exception &e)
{
    return dynamic_cast<const ConversionError *>(&e) ? 13 : 5;
}

void setLabelColour(QLabel *label, quint32 bgr)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, VbColor::toQColor(bgr));
    label->setPalette(p);
}

quint32 colourSetting(ProgramSettings &settings, const SettingKey &key)
{
    return quint32(NumberConversions::roundHalfEven(NumberConversions::value(settings.read(key))));
}

} // namespace

FrmMain::FrmMain(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FileDialogService &files,
                 Options options, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_settings(settings),
      m_messages(messages),
      m_files(files),
      m_options(std::move(options)),
      m_noWindows(std::make_unique<NoDeviceWindows>()),
      m_windows(m_noWindows.get())
{
    setObjectName(QStringLiteral("FrmMain"));
    ShellResources::init();
    PicSt = {ShellResources::icon(QStringLiteral("tray")), ShellResources::icon(QStringLiteral("tray-active")),
             ShellResources::icon(QStringLiteral("tray-off"))};
    setWindowIcon(PicSt[0]);
    m_images = ImageList::builtIn();

    m_tmon.setObjectName(QStringLiteral("Tmon"));
    m_tmon.setSingleShot(true);
    connect(&m_tmon, &QTimer::timeout, this, &FrmMain::Tmon_Timer);
    m_tclose.setObjectName(QStringLiteral("Tclose"));
    connect(&m_tclose, &QTimer::timeout, this, &FrmMain::Tclose_Timer);
    m_ttray.setObjectName(QStringLiteral("Ttray"));
    m_ttray.setSingleShot(true);
    m_ttray.setInterval(500);
    connect(&m_ttray, &QTimer::timeout, this, [this] {
        I_Icon(m_state.link.IconaTray);
        m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status")).pixmap(16, 16));
    });

    buildUi();
    resize(780, 540);
}

FrmMain::~FrmMain()
{
    for (auto &w : FinestreSonda)
        delete w.data();
}

void FrmMain::setDeviceWindows(DeviceWindows *windows)
{
    m_windows = windows ? windows : m_noWindows.get();
    const auto enable = [this](QAction *a, std::initializer_list<QString> names) {
        bool any = false;
        for (const QString &n : names)
            any = any || m_windows->provides(n);
        if (a)
            a->setEnabled(any);
    };
    enable(m_buttons[7], {kFrmCamera});
    enable(m_mWcam, {kFrmCamera});
    enable(m_buttons[8], {kFrmVolt, kFrmAmp, kFrmWatt});
    enable(m_mWvolt, {kFrmVolt});
    enable(m_mWampere, {kFrmAmp});
    enable(m_mWwatt, {kFrmWatt});
    enable(m_buttons[11], {kFrmOpt});
    enable(m_mOption, {kFrmOpt});
    enable(m_mAbout, {kFrmAbout});
    enable(m_mAgg, {kFrmUpd});
}

// ---------------------------------------------------------------------------------------------
// Layout

void FrmMain::buildUi()
{
    buildMenus();
    buildToolbar();
    setCentralWidget(buildConsole());

    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("StBarPanel1"));
    m_panel2 = new QLabel(this);
    m_panel2->setObjectName(QStringLiteral("StBarPanel2"));
    m_lchum = new QLabel(QStringLiteral("\u25CF"), this);
    m_lchum->setObjectName(QStringLiteral("Lchum"));
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->addPermanentWidget(m_lchum);
    statusBar()->addPermanentWidget(m_panel2);

    m_imageCombo = new QComboBox(this);
    m_imageCombo->setObjectName(QStringLiteral("ImageCombo1"));
    m_imageCombo->hide();
}

void FrmMain::buildMenus()
{
    auto entry = [this](QMenu *menu, const char *name, auto slot) {
        QAction *a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_mFile = menuBar()->addMenu(QString());
    m_mFile->setObjectName(QStringLiteral("mFile"));
    m_mSave = entry(m_mFile, "mSave", [this] { SalvaLog(); });
    m_mFile->addSeparator();
    m_mExit = entry(m_mFile, "mExit", [this] { requestUnload(); });

    m_mTool = menuBar()->addMenu(QString());
    m_mTool->setObjectName(QStringLiteral("mTool"));
    m_mFind = entry(m_mTool, "mFind", [this] { mFind_Click(); });
    m_mFind->setCheckable(true);
    m_mFind->setShortcut(QKeySequence::Find);
    m_mOption = entry(m_mTool, "mOption", [this] { barra_ButtonClick(11); });
    m_mLanguage = m_mTool->addMenu(QString());
    m_mLanguage->setObjectName(QStringLiteral("mLanguage"));
    // Entry 0 exists before any language file is listed.
    QAction *first = m_mLanguage->addAction(QStringLiteral("italian"));
    first->setObjectName(QStringLiteral("mSetLingua"));
    first->setCheckable(true);
    connect(first, &QAction::triggered, this, [this] { mSetLingua_Click(0); });
    m_mSetLingua = {first};
    m_mTool->addSeparator();
    m_mAgg = entry(m_mTool, "mAgg", [this] { m_windows->show(kFrmUpd, false); });

    // The check mark follows the window, not the click: the toggle Qt makes on a click is
    // undone before the handler, which reads the mark and sets it from the window.
    auto windowEntry = [this](const char *name, auto slot) {
        QAction *a = m_mwin->addAction(QString());
        a->setCheckable(true);
        connect(a, &QAction::triggered, a, [a](bool checked) { a->setChecked(!checked); });
        connect(a, &QAction::triggered, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    m_mwin = menuBar()->addMenu(QString());
    m_mwin->setObjectName(QStringLiteral("mwin"));
    m_mWaux = windowEntry("mWaux", [this] { barra_ButtonClick(5); });
    m_mWprobe = windowEntry("mWprobe", [this] { barra_ButtonClick(6); });
    m_mWcam = windowEntry("mWcam", [this] { barra_ButtonClick(7); });
    m_mwin->addSeparator();
    m_mWvolt = windowEntry("mWvolt", [this] { toggleMeter(1); });
    m_mWampere = windowEntry("mWampere", [this] { toggleMeter(2); });
    m_mWwatt = windowEntry("mWwatt", [this] { toggleMeter(3); });
    m_mwin->addSeparator();
    m_mWai = windowEntry("mWai", [this] { Command1_Click(); });

    m_mHelpMenu = menuBar()->addMenu(QStringLiteral("?"));
    m_mHelpMenu->setObjectName(QStringLiteral("mHelpMenu"));
    m_mHelp = entry(m_mHelpMenu, "mHelp", [this] { mHelp_Click(); });
    m_mHelp->setShortcut(QKeySequence::HelpContents);
    // The donation page is not ours to name: the entry stays hidden.
    m_mDonate = entry(m_mHelpMenu, "mDonate", [] {});
    m_mDonate->setVisible(false);
    m_mAbout = entry(m_mHelpMenu, "mAbout", [this] { m_windows->show(kFrmAbout, true); });
    m_mAbout->setEnabled(false);
    m_mAgg->setEnabled(false);
}

void FrmMain::buildToolbar()
{
    m_barra = addToolBar(QString());
    m_barra->setObjectName(QStringLiteral("barra"));
    m_barra->setMovable(false);
    m_barra->setIconSize(QSize(32, 32));
    m_barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_barra->setStyleSheet(QStringLiteral(
        "QToolBar#barra { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7f9fc, stop:1 #dfe6ef);"
        " border-bottom: 1px solid #b8c2cf; spacing: 4px; padding: 3px; }"));
    for (int i = 1; i <= 11; ++i) {
        QAction *a = nullptr;
        if (i == 2 || i == 4 || i == 10) {
            a = m_barra->addSeparator();
        } else {
            a = m_barra->addAction(QString());
            connect(a, &QAction::triggered, this, [this, i] { barra_ButtonClick(i); });
        }
        a->setObjectName(QStringLiteral("barraButton%1").arg(i));
        m_buttons[size_t(i)] = a;
    }
    m_meterMenu = new QMenu(this);
    m_meterMenu->setObjectName(QStringLiteral("meterMenu"));
    for (int k = 1; k <= 3; ++k) {
        QAction *e = m_meterMenu->addAction(QStringLiteral("  "));
        connect(e, &QAction::triggered, this, [this, k] { barra_ButtonMenuClick(8, k); });
        m_meterEntries << e;
    }
    m_scenarioMenu = new QMenu(this);
    m_scenarioMenu->setObjectName(QStringLiteral("scenarioMenu"));
    for (int k = 1; k <= 16; ++k) {
        QAction *e = m_scenarioMenu->addAction(QString::number(k) + QStringLiteral(" - "));
        e->setEnabled(false);
        connect(e, &QAction::triggered, this, [this, k] { barra_ButtonMenuClick(9, k); });
        m_scenarioEntries << e;
    }
    m_buttons[8]->setMenu(m_meterMenu);
    m_buttons[9]->setMenu(m_scenarioMenu);
    for (int i : {8, 9})
        if (auto *tb = qobject_cast<QToolButton *>(m_barra->widgetForAction(m_buttons[size_t(i)])))
            tb->setPopupMode(QToolButton::MenuButtonPopup);

    auto *spacer = new QWidget(m_barra);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_barra->addWidget(spacer);
    m_command1 = new QToolButton(m_barra);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setIcon(ShellResources::icon(QStringLiteral("alarm")));
    m_command1->setIconSize(QSize(32, 32));
    m_command1->setAutoRaise(true);
    connect(m_command1, &QToolButton::clicked, this, [this] { Command1_Click(); });
    m_barra->addWidget(m_command1);

    for (QAction *a : {m_buttons[7], m_buttons[8], m_buttons[11]})
        a->setEnabled(false);
    m_mWcam->setEnabled(false);
    m_mWvolt->setEnabled(false);
    m_mWampere->setEnabled(false);
    m_mWwatt->setEnabled(false);
    m_mOption->setEnabled(false);
}

QWidget *FrmMain::buildConsole()
{
    auto *central = new QWidget(this);
    auto *v = new QVBoxLayout(central);
    v->setContentsMargins(6, 6, 6, 4);
    v->setSpacing(4);

    auto *tabs = new QHBoxLayout;
    tabs->setSpacing(2);
    auto makeTab = [this, tabs](int index, QLabel *&caption, const char *name) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Ibut%1").arg(index));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(14, 14);
        b->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid #8a97a8; border-radius: 7px; background: #e2e8f0; }"
                                        "QToolButton:checked { background: #2d7dd2; border-color: #1d4f86; }"));
        connect(b, &QToolButton::clicked, this, [this, index] { Ibut_Click(index); });
        caption = new QLabel(this);
        caption->setObjectName(QString::fromLatin1(name));
        caption->setCursor(Qt::PointingHandCursor);
        caption->installEventFilter(this);
        tabs->addWidget(b);
        tabs->addWidget(caption);
        tabs->addSpacing(14);
        m_tabs[size_t(index)] = b;
    };
    makeTab(0, m_lmon, "Lmon");
    makeTab(1, m_lcom, "Lcom");
    tabs->addStretch(1);
    m_clear = new QToolButton(this);
    m_clear->setObjectName(QStringLiteral("Ibut4"));
    m_clear->setIcon(ShellResources::icon(QStringLiteral("clear")));
    m_clear->setIconSize(QSize(18, 18));
    m_clear->setAutoRaise(true);
    connect(m_clear, &QToolButton::clicked, this, [this] { Ibut_Click(4); });
    tabs->addWidget(m_clear);
    v->addLayout(tabs);

    m_pfind = new QWidget(this);
    m_pfind->setObjectName(QStringLiteral("Pfind"));
    auto *f = new QHBoxLayout(m_pfind);
    f->setContentsMargins(0, 0, 0, 0);
    m_tfind = new QLineEdit(m_pfind);
    m_tfind->setObjectName(QStringLiteral("Tfind"));
    m_cfind = new QPushButton(m_pfind);
    m_cfind->setObjectName(QStringLiteral("Cfind"));
    m_ix = new QToolButton(m_pfind);
    m_ix->setObjectName(QStringLiteral("Ix"));
    m_ix->setText(QStringLiteral("\u2715"));
    m_ix->setAutoRaise(true);
    f->addWidget(m_tfind, 1);
    f->addWidget(m_cfind);
    f->addWidget(m_ix);
    connect(m_tfind, &QLineEdit::returnPressed, this, [this] { Cfind_Click(); });
    connect(m_cfind, &QPushButton::clicked, this, [this] { Cfind_Click(); });
    connect(m_ix, &QToolButton::clicked, this, [this] { Ix_Click(); });
    m_pfind->hide();
    v->addWidget(m_pfind);

    m_panes = new QStackedWidget(this);
    m_tlog = new ConsolePane(QStringLiteral("Tlog"), m_panes);
    m_tlogC = new ConsolePane(QStringLiteral("TlogC"), m_panes);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_tlog->setFont(mono);
    m_tlogC->setFont(mono);
    m_panes->addWidget(m_tlog);
    m_panes->addWidget(m_tlogC);
    v->addWidget(m_panes, 1);

    auto *cmd = new QHBoxLayout;
    m_tcmd = new CommandBoxWidget(this);
    m_tcmd->setFont(mono);
    m_isend = new QToolButton(this);
    m_isend->setObjectName(QStringLiteral("Isend"));
    m_isend->setIcon(ShellResources::icon(QStringLiteral("send")));
    m_isend->setIconSize(QSize(22, 22));
    m_isend->setAutoRaise(true);
    connect(m_tcmd, &CommandBoxWidget::sendRequested, this, [this] { Isend_Click(); });
    connect(m_isend, &QToolButton::clicked, this, [this] { Isend_Click(); });
    cmd->addWidget(m_tcmd, 1);
    cmd->addWidget(m_isend);
    v->addLayout(cmd);

    m_tabs[0]->setChecked(true);
    setLabelColour(m_lmon, Black);
    setLabelColour(m_lcom, Grey);
    return central;
}

QAction *FrmMain::button(int index) const
{
    return index >= 1 && index <= 11 ? m_buttons[size_t(index)] : nullptr;
}

QAction *FrmMain::menuEntry(const QString &name) const
{
    return findChild<QAction *>(name);
}

// ---------------------------------------------------------------------------------------------
// Start-up

bool FrmMain::trayAvailable() const
{
    return m_options.trayAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void FrmMain::Main()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize px = screen ? screen->geometry().size() : QSize(1024, 768);
    const int heightTw = int(std::lround(px.height() * WindowUtils::twipsPerPixelY()));
    const int widthTw = int(std::lround(px.width() * WindowUtils::twipsPerPixelX()));
    // Each failing step is skipped.
    try {
        const QString y = m_settings.read(SettingKeys::MsgPosY.sectionName(), SettingKeys::MsgPosY.keyName(),
                                          QString::number(heightTw - 915 - WindowUtils::AltezzaTaskbar()));
        const int v = NumberConversions::wholeNumber(y);
        if (v < -32768 || v > 32767)
            throw ConversionError("overflow");
        MsgPosY = qint16(v);
    } catch (const std::exception &) {
    }
    MsgPosX = m_settings.read(SettingKeys::MsgPosX.sectionName(), SettingKeys::MsgPosX.keyName(),
                              QString::number(widthTw - 5400));

    const bool hidden = m_settings.readInt(SettingKeys::Minimized) == 1;
    Form_Load();
    if (m_chiusuraAvviata || m_ended)
        return;
    // Without a tray icon (no tray, or the start-up stopped before it appeared) a hidden
    // window could never be brought back.
    if (!hidden || !m_tray || !m_tray->isShown())
        show();
}

void FrmMain::Form_Load()
{
    if (!loadSequence())
        return;
    loadCharacterStage();
    m_stage = QStringLiteral("load voice");
}

bool FrmMain::loadSequence()
{
    try {
        m_stage = QStringLiteral("get winpath");
        DirWindows = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                         .filePath(QStringLiteral("characters"));

        m_state.live.VoltValue = QStringLiteral("0");
        m_state.live.AmpValue = QStringLiteral("0");
        m_state.live.WattValue = 0;
        m_tray = std::make_unique<TrayIcon>(m_state.InChiusura, trayAvailable());
        connect(m_tray.get(), &TrayIcon::restoreRequested, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            show();
            raise();
            activateWindow();
        });

        VersioneCorrente = QStringLiteral(OMBRIX_VERSION "B5");
        setWindowTitle(QStringLiteral("Tarn  V.") + VersioneCorrente);

        QString lockPath = m_options.lockFile;
        if (lockPath.isEmpty()) {
            QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
            if (dir.isEmpty())
                dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
            QDir().mkpath(dir);
            lockPath = QDir(dir).filePath(QStringLiteral("ombrix.lock"));
        }
        m_lock = std::make_unique<QLockFile>(lockPath);
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0)) {
            m_secondInstance = true;
            setWindowTitle(QString());
            requestUnload();
            return false;
        }

        m_stage = QStringLiteral("initializing");
        m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status")).pixmap(16, 16));
        Filters &flt = m_state.filters;
        const std::array<int, 9> who{1, 1, 0, 1, 1, 1, 1, 0, 1};
        const std::array<int, 9> whoA{1, 1, 0, 0, 0, 0, 0, 0, 0};
        flt.Who = who;
        flt.WhoA = whoA;
        flt.WhoL.fill(1);

        using NumberConversions::toByte;
        OpzFx = toByte(NumberConversions::value(m_settings.read(SettingKeys::Fx)));
        OpzMsgType = m_settings.read(SettingKeys::MsgType);
        OpzMsgTras = toByte(NumberConversions::value(m_settings.read(SettingKeys::MsgTras)));
        LinkState &link = m_state.link;
        link.IpGateway = m_settings.read(SettingKeys::ServerIP);
        link.PortaGateway = m_settings.read(SettingKeys::ServerPORT);
        link.PasswordGateway = m_settings.read(SettingKeys::Password);
        m_state.lang.Lingua = m_settings.read(SettingKeys::Language);
        const auto paneColours = [this](ConsolePane *pane, const SettingKey &fore, const SettingKey &back) {
            const quint32 f = colourSetting(m_settings, fore);
            const quint32 b = colourSetting(m_settings, back);
            QPalette p = pane->palette();
            p.setColor(QPalette::Text, VbColor::toQColor(f));
            p.setColor(QPalette::Base, VbColor::toQColor(b));
            pane->setPalette(p);
        };
        paneColours(m_tlog, SettingKeys::ForeCol, SettingKeys::BackCol);
        paneColours(m_tlogC, SettingKeys::ForeColC, SettingKeys::BackColC);
        const QString option = SettingKeys::OptionSection;
        for (int k = 0; k < Filters::GroupCount; ++k) {
            const auto at = size_t(k);
            flt.Who[at] = toByte(NumberConversions::value(
                m_settings.read(option, SettingKeys::whoKey(k), QString::number(who[at]))));
            flt.WhoA[at] = toByte(NumberConversions::value(
                m_settings.read(option, SettingKeys::whoAKey(k), QString::number(whoA[at]))));
            flt.WhoL[at] = toByte(NumberConversions::value(
                m_settings.read(option, SettingKeys::whoLKey(k), QStringLiteral("1"))));
        }
        m_tcmd->setText(m_settings.read(SettingKeys::RecentCmd));

        m_stage = QStringLiteral("read language");
        fillLanguageMenu();
        if (m_engine)
            m_engine->CaricaLingua(m_state.lang.Lingua);
        applyLanguage();
        // The command link opens on the first send; the port must already be a number.
        NumberConversions::wholeNumber(link.PortaGateway);

        m_stage = QStringLiteral("settiing chumby");
        setLabelColour(m_lchum, Grey);

        m_stage = QStringLiteral("get icons");
        m_iconLibrary.requestedSize = 32;
        m_iconLibrary.requestedDepth = 24;
        // An unreadable library leaves the built-in pictures, and the combo lists those.
        if (m_iconLibrary.load(QDir(m_state.programFolder).filePath(QStringLiteral("ico.icl")), m_images)
            || m_imageCombo->count() == 0) {
            m_imageCombo->clear();
            for (int i = 1; i <= m_images.count(); ++i)
                m_imageCombo->addItem(m_images.icon(i), QStringLiteral("icon ") + m_images.key(i));
        }

        m_state.link.IconaTray = 0;
        // The picture first: a tray icon shown without one draws an empty slot and warns.
        I_Icon(m_state.link.IconaTray);
        m_tray->I_Show();

        static const std::array<std::pair<int, int>, 8> buttonImages{
            {{1, 1}, {3, 3}, {5, 5}, {6, 22}, {7, 23}, {8, 24}, {9, 25}, {11, 6}}};
        for (const auto &[b, image] : buttonImages) {
            m_stage = QStringLiteral("set icons ") + QString::number(image);
            setButtonImage(b, image);
        }
        m_monitorImage = 1;

        m_stage = QStringLiteral("load conf");
        if (!m_state.model.ConfCaricata) {
            const bool loaded = m_engine ? m_engine->CaricaConf() : false;
            if (!loaded) {
                requestUnload();
                return false;
            }
        }

        m_stage = QStringLiteral("set icons 2");
        if (m_settings.readInt(SettingKeys::Monitor) == 1) {
            m_tmon.setInterval(1000);
            m_tmon.start();
            setMonitorButtonImage(2);
            m_tlog->appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStart"))) + LogLine::Crlf);
        } else {
            setStatusText(m_state.lang.t(QStringLiteral("Stop")));
        }

        m_stage = QStringLiteral("menu f420");
        fillScenarioDropDown();

        if (m_settings.readInt(SettingKeys::StartChk) == 1 && startUpdateCheck)
            startUpdateCheck();
    } catch (const std::exception &e) {
        m_messages.message(QString::number(errorNumber(e)) + QStringLiteral(" - ") + QString::fromLocal8Bit(e.what()),
                           m_stage, MessageBoxService::Icon::Critical);
        return false;
    }
    return true;
}

void FrmMain::loadCharacterStage()
{
    m_stage = QStringLiteral("load agents");
    OpzHlet = m_settings.read(SettingKeys::Hlet);
    const QString agent = m_settings.read(SettingKeys::Agent);
    if (agent == QLatin1String("0"))
        return;
    m_agentCaricato = true;
    bool loaded = false;
    try {
        loaded = loadCharacter && loadCharacter(agent);
    } catch (const std::exception &) {
        loaded = false;
    }
    if (!loaded) {
        // The next start tries the empty name again and fails the same way, silently.
        m_settings.save(SettingKeys::Agent, QString());
        m_agentCaricato = false;
    }
}

void FrmMain::fillLanguageMenu()
{
    const QStringList files = LanguageLoader::availableLanguages(m_state.programFolder);
    for (int i = 0; i < files.size(); ++i) {
        QAction *entry = nullptr;
        if (i < m_mSetLingua.size()) {
            entry = m_mSetLingua.at(i);
        } else {
            entry = m_mLanguage->addAction(QString());
            entry->setObjectName(QStringLiteral("mSetLingua"));
            entry->setCheckable(true);
            connect(entry, &QAction::triggered, this, [this, i] { mSetLingua_Click(i); });
            m_mSetLingua << entry;
        }
        const QString &caption = files.at(i);
        entry->setText(caption);
        entry->setChecked(caption.toLower() == m_state.lang.Lingua.toLower());
    }
}

void FrmMain::applyLanguage()
{
    const LanguageTexts &l = m_state.lang;
    const auto menu = [&l](const char *key) { return l.menu.value(QString::fromLatin1(key)); };
    m_mFile->setTitle(menu("File"));
    m_mSave->setText(menu("Save"));
    m_mExit->setText(menu("Exit"));
    m_mTool->setTitle(menu("Tool"));
    m_mFind->setText(menu("Find"));
    m_cfind->setText(menu("Find").remove(QLatin1Char('&')));
    m_mDonate->setText(menu("Donate"));
    m_mAbout->setText(menu("About"));
    m_mHelp->setText(menu("Help"));
    m_mAgg->setText(menu("Agg"));
    m_mOption->setText(menu("Options"));
    m_mwin->setTitle(menu("windows"));
    m_mWaux->setText(menu("waux"));
    m_mWprobe->setText(menu("wprobe"));
    m_mWcam->setText(menu("wcamera"));
    m_mWvolt->setText(menu("wvolt"));
    m_mWampere->setText(menu("wcurrent"));
    m_mWwatt->setText(menu("wwatt"));
    m_mLanguage->setTitle(menu("Language"));
    m_mWai->setText(l.NomiWho[4]);
    m_command1->setToolTip(l.NomiWho[4]);

    const auto tip = [&l](const char *key) { return l.tooltip.value(QString::fromLatin1(key)); };
    static const std::array<std::pair<int, const char *>, 8> tips{
        {{1, "but1"}, {3, "but2"}, {5, "but3"}, {6, "but4"}, {7, "but5"}, {8, "but6"}, {9, "but7"}, {11, "but8"}}};
    for (const auto &[b, key] : tips) {
        m_buttons[size_t(b)]->setText(tip(key));
        m_buttons[size_t(b)]->setToolTip(tip(key));
    }
    m_isend->setToolTip(tip("but5"));
    const std::array<QAction *, 3> meters{m_mWvolt, m_mWampere, m_mWwatt};
    for (int k = 0; k < 3; ++k)
        m_meterEntries.at(k)->setText(QStringLiteral("  ") + meters[size_t(k)]->text());
    m_lcom->setText(l.Lcom);
    m_lmon->setText(l.Lmon);
    setStatusText(QString());
}

void FrmMain::fillScenarioDropDown()
{
    const auto &scenari = m_state.model.ScenariF420;
    for (int i = 1; i <= 16; ++i) {
        QAction *e = m_scenarioEntries.at(i - 1);
        e->setText(QString::number(i) + QStringLiteral(" - ") + scenari[size_t(i)].name);
        const QString defined = scenari[size_t(i)].defined.trimmed();
        e->setEnabled(!(defined.isEmpty() || NumberConversions::tryValue(defined) == 0.0));
    }
}

QMenu *FrmMain::CreaMenuScenari(QMenu *menu, const QString &caption, QAction *before)
{
    auto *sub = new QMenu(caption, menu);
    const auto &scenari = m_state.model.ScenariF420;
    for (int i = 1; i <= 16; ++i) {
        QAction *e = sub->addAction(QString::number(i) + QStringLiteral(" - ") + scenari[size_t(i)].name);
        e->setData(100 + i);
        e->setEnabled(NumberConversions::tryValue(scenari[size_t(i)].defined) == 1.0);
    }
    if (before)
        menu->insertMenu(before, sub);
    else
        menu->addMenu(sub);
    return sub;
}

void FrmMain::setButtonImage(int button, int image)
{
    m_buttonImage[size_t(button)] = image;
    // An image the list no longer holds leaves the button without a picture.
    m_buttons[size_t(button)]->setIcon(m_images.icon(image));
}

void FrmMain::setMonitorButtonImage(int image)
{
    m_monitorImage = image;
    setButtonImage(1, image);
    // A monitor wait gives up when the button shows "off"; let it see that now.
    if (image == 1)
        LinkWait::wakeAll();
}

void FrmMain::Tmon_Timer()
{
    m_tmon.stop();
    setStatusText(m_state.lang.t(QStringLiteral("WaitCon")));
    if (m_engine)
        m_engine->ApriGateway();
}

// ---------------------------------------------------------------------------------------------
// Closing

void FrmMain::requestUnload()
{
    if (m_ended)
        return;
    if (!Form_Unload()) {
        m_ended = true;
        hide();
        emit programEnded();
    }
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    if (Form_Unload()) {
        event->ignore();
        return;
    }
    m_ended = true;
    event->accept();
    emit programEnded();
}

bool FrmMain::Form_Unload()
{
    if (m_chiusuraFinale) {
        m_tclose.stop();
        return false;
    }
    if (!m_chiusuraAvviata) {
        firstClosingPhase();
        return true;
    }
    // Between the two phases: the hidden window goes at once.
    m_tclose.stop();
    return false;
}

void FrmMain::firstClosingPhase()
{
    m_state.InChiusura = true;
    if (m_tray)
        m_tray->Remove();
    closeProbeWindows();
    m_tmon.stop();
    m_ttray.stop();
    if (m_engine)
        m_engine->ChiudiCollegamenti();
    m_tcmd->Tsnd().stop();
    for (const QString &name : {QStringLiteral("FrmBut"), kFrmOpt, QStringLiteral("FrmMsg"), kFrmVolt, kFrmAmp,
                                kFrmWatt, QStringLiteral("FrmWS"), kFrmAux, QStringLiteral("FrmProbe"), kFrmCamera,
                                kFrmScen})
        m_windows->unload(name);
    m_tray.reset();
    QCoreApplication::processEvents();
    m_chiusuraAvviata = true;
    m_tclose.start(1000);
    hide();
}

void FrmMain::Tclose_Timer()
{
    m_chiusuraFinale = true;
    requestUnload();
}

void FrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the program lives in the tray; without one the window stays on the task bar.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)
        && m_tray && m_tray->isShown())
        QTimer::singleShot(0, this, [this] { hide(); });
}

// ---------------------------------------------------------------------------------------------
// Status bar

void FrmMain::setStatusText(const QString &text) { m_panel1->setText(text); }
QString FrmMain::statusText() const { return m_panel1->text(); }

void FrmMain::I_Icon(int picture)
{
    if (m_tray && picture >= 0 && picture < int(PicSt.size()))
        m_tray->I_Icon(PicSt[size_t(picture)]);
}

void FrmMain::showActivity()
{
    I_Icon(1);
    m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status-active")).pixmap(16, 16));
    m_ttray.start();
}

bool FrmMain::isPaneVisible(const LogPane &pane) const
{
    return static_cast<const LogPane *>(static_cast<ConsolePane *>(m_panes->currentWidget())) == &pane;
}

void FrmMain::markPaneUnread(const LogPane &pane)
{
    if (&pane == static_cast<const LogPane *>(m_tlog))
        setLabelColour(m_lmon, Red);
    else if (&pane == static_cast<const LogPane *>(m_tlogC))
        setLabelColour(m_lcom, Red);
}

// ---------------------------------------------------------------------------------------------
// Toolbar and menus

void FrmMain::barra_ButtonClick(int index)
{
    switch (index) {
    case 1:
        // The user's choice overrides the delayed start still pending after start-up.
        m_tmon.stop();
        if (m_monitorImage == 1) {
            setMonitorButtonImage(2);
            if (m_engine)
                m_engine->ApriGateway();
        } else {
            setMonitorButtonImage(1);
            m_tlog->appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStop"))));
            setStatusText(m_state.lang.t(QStringLiteral("Stop")));
            if (m_engine)
                m_engine->ChiudiMonitor();
        }
        break;
    case 3:
        SalvaLog();
        break;
    case 5:
        if (m_state.InChiusura)
            break;
        if (m_windows->isLoaded(kFrmAux)) {
            const bool visible = m_windows->isVisible(kFrmAux);
            if (visible)
                m_windows->hide(kFrmAux);
            else
                m_windows->show(kFrmAux, false);
            m_mWaux->setChecked(!visible);
        } else {
            if (!m_state.live.AuxLetti) {
                sendStatusRequest(QStringLiteral("*#9##"), true);
                m_state.live.AuxLetti = true;
            }
            m_mWaux->setChecked(m_windows->show(kFrmAux, false));
        }
        break;
    case 6:
        if (!SondeAperte.isEmpty())
            closeProbeWindows();
        else
            openProbeWindows();
        break;
    case 7:
        m_mWcam->setChecked(m_windows->show(kFrmCamera, false));
        break;
    case 8: {
        const std::array<std::pair<QString, QAction *>, 3> meters{
            {{kFrmVolt, m_mWvolt}, {kFrmAmp, m_mWampere}, {kFrmWatt, m_mWwatt}}};
        for (int k = 0; k < 3; ++k) {
            const auto &[name, entry] = meters[size_t(k)];
            if (m_windows->show(name, false)) {
                entry->setChecked(true);
                m_meterEntries.at(k)->setText(QStringLiteral("\u00BB ") + entry->text());
            }
        }
        break;
    }
    case 9:
        if (m_windows->isLoaded(kFrmScen))
            m_windows->unload(kFrmScen);
        else
            m_windows->show(kFrmScen, false);
        break;
    case 11:
        m_windows->show(kFrmOpt, true);
        break;
    default:
        break;
    }
}

void FrmMain::barra_ButtonMenuClick(int button, int entry)
{
    if (button == 9 && entry >= 1 && entry <= 16) {
        const QString frame = QStringLiteral("*0*") + QString::number(entry) + QLatin1Char('*')
            + m_state.model.ScenariF420[size_t(entry)].address + QStringLiteral("##");
        if (!m_engine)
            return;
        if (m_state.link.ModoUsb)
            m_engine->SendUsb(frame, false);
        else
            m_engine->SendTCP(frame);
    } else if (button == 8) {
        toggleMeter(entry);
    }
}

void FrmMain::toggleMeter(int entry)
{
    const std::array<std::pair<QString, QAction *>, 3> meters{
        {{kFrmVolt, m_mWvolt}, {kFrmAmp, m_mWampere}, {kFrmWatt, m_mWwatt}}};
    if (entry < 1 || entry > 3)
        return;
    const auto &[name, menu] = meters[size_t(entry - 1)];
    QAction *drop = m_meterEntries.at(entry - 1);
    if (!menu->isChecked()) {
        if (!m_windows->show(name, false))
            return;
        menu->setChecked(true);
        drop->setText(QStringLiteral("\u00BB ") + menu->text());
    } else {
        m_windows->unload(name);
        menu->setChecked(false);
        drop->setText(QStringLiteral("  ") + menu->text());
    }
}

void FrmMain::sendStatusRequest(const QString &frame, bool aux)
{
    if (!m_engine)
        return;
    m_state.live.RichiestaStato = true;
    m_engine->SendTCP(frame);
    // The request ends with its send: an alarm request, or fewer than eight channels, would
    // otherwise silence every auxiliary frame for the rest of the run.
    if (m_state.live.RichiestaStato) {
        m_state.live.RichiestaStato = false;
        if (aux)
            m_windows->refresh(kFrmAux);
    }
}

void FrmMain::Command1_Click()
{
    if (m_state.InChiusura)
        return;
    if (m_windows->isLoaded(kFrmAI)) {
        const bool visible = m_windows->isVisible(kFrmAI);
        if (visible)
            m_windows->hide(kFrmAI);
        else
            m_windows->show(kFrmAI, false);
        m_mWai->setChecked(!visible);
        return;
    }
    if (!AllarmeLetto) {
        sendStatusRequest(QStringLiteral("*#5##"), false);
        AllarmeLetto = true;
    }
    m_mWai->setChecked(m_windows->show(kFrmAI, false));
}

void FrmMain::closeProbeWindows()
{
    const QStringList zones = SondeAperte.split(QLatin1Char(','));
    for (const QString &item : zones) {
        if (item.isEmpty())
            continue;
        const auto n = NumberConversions::tryValue(item);
        if (!n || *n < 0 || *n >= 100)
            continue;
        delete FinestreSonda[size_t(*n)].data();
        FinestreSonda[size_t(*n)] = nullptr;
    }
    SondeAperte.clear();
    m_mWprobe->setChecked(false);
}

bool FrmMain::waitWhileSending(int ms)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!m_state.link.InInvio || m_state.InChiusura || clock.elapsed() >= ms)
            loop.quit();
    });
    if (m_state.link.InInvio && !m_state.InChiusura) {
        poll.start();
        loop.exec();
    }
    return !m_state.InChiusura;
}

void FrmMain::openProbeWindows()
{
    const auto &sonde = m_state.model.Sonde;
    if (sonde[1].isEmpty())
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int taskbarPx = int(std::lround(WindowUtils::AltezzaTaskbar() / WindowUtils::twipsPerPixelY()));
    for (int z = 1; z <= 99 && !sonde[size_t(z)].isEmpty(); ++z) {
        const QString caption = QStringLiteral("FrmProbe") + QString::number(z);
        if (!FormAperto(caption, QString())) {
            if (QWidget *w = m_windows->createProbe(z, sonde[size_t(z)])) {
                FinestreSonda[size_t(z)] = w;
                w->setWindowTitle(caption);
                w->show();
                // The zone windows stack upward from the task bar along the right edge.
                w->move(area.right() + 1 - w->frameGeometry().width(),
                        area.bottom() + 1 - z * w->frameGeometry().height() - taskbarPx);
                if (!SondeAperte.isEmpty())
                    SondeAperte += QLatin1Char(',');
                SondeAperte += QString::number(z);
            }
        }
        const QString n = QString::number(z);
        const QString batch = QStringLiteral("*#4*") + n + QStringLiteral("*0##") + QStringLiteral("*#4*") + n
            + QStringLiteral("*12##") + QStringLiteral("*#4*") + n + QStringLiteral("*13##") + QStringLiteral("*#4*")
            + n + QStringLiteral("*19##");
        if (!m_engine)
            continue;
        if (m_state.link.ModoUsb) {
            m_engine->SendUsb(batch, false);
        } else {
            if (!waitWhileSending(ProbeWaitMs))
                return;
            m_engine->SendTCP(batch);
        }
    }
    m_mWprobe->setChecked(!SondeAperte.isEmpty());
}

void FrmMain::mSetLingua_Click(int index)
{
    if (index < 0 || index >= m_mSetLingua.size())
        return;
    const QString language = m_mSetLingua.at(index)->text();
    try {
        if (m_engine)
            m_engine->CaricaLingua(language);
    } catch (const std::exception &e) {
        m_messages.message(QString::number(errorNumber(e)) + QStringLiteral(" - ") + QString::fromLocal8Bit(e.what()),
                           ProgramIdentity::Title, MessageBoxService::Icon::Critical);
    }
    applyLanguage();
    m_settings.save(SettingKeys::Language, language);
    m_state.lang.Lingua = language;
    for (int i = 0; i < m_mSetLingua.size(); ++i)
        m_mSetLingua.at(i)->setChecked(i == index);
}

void FrmMain::mHelp_Click()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir(m_state.programFolder).filePath(QStringLiteral("Tervdoc.pdf"))));
}

// ---------------------------------------------------------------------------------------------
// Console

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_lmon)
            Ibut_Click(0);
        else if (watched == m_lcom)
            Ibut_Click(1);
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::Ibut_Click(int index)
{
    switch (index) {
    case 0:
    case 1: {
        ConsolePane *pane = index == 0 ? m_tlog : m_tlogC;
        if (m_panes->currentWidget() != pane) {
            m_panes->setCurrentWidget(pane);
            setLabelColour(index == 0 ? m_lcom : m_lmon, Grey);
        }
        setLabelColour(index == 0 ? m_lmon : m_lcom, Black);
        m_tabs[0]->setChecked(m_panes->currentWidget() == m_tlog);
        m_tabs[1]->setChecked(m_panes->currentWidget() == m_tlogC);
        break;
    }
    case 4:
        static_cast<ConsolePane *>(m_panes->currentWidget())->clear();
        break;
    default:
        break;
    }
}

void FrmMain::mFind_Click()
{
    if (m_pfind->isVisible()) {
        Ix_Click();
        return;
    }
    m_pfind->show();
    m_tlog->setCaretFollowsText(false);
    m_tlogC->setCaretFollowsText(false);
    m_tfind->setFocus();
    m_mFind->setChecked(true);
}

void FrmMain::Ix_Click()
{
    m_pfind->hide();
    m_tfind->clear();
    m_tlog->setCaretFollowsText(true);
    m_tlogC->setCaretFollowsText(true);
    m_mFind->setChecked(false);
}

void FrmMain::Cfind_Click()
{
    QTextCursor c = m_tlog->textCursor();
    const LogSearch::Result r = LogSearch::find(m_tlog->toPlainText(), c.selectionStart(),
                                                c.selectionEnd() - c.selectionStart(), m_tfind->text());
    switch (r.outcome) {
    case LogSearch::Outcome::Nothing:
        return;
    case LogSearch::Outcome::Found:
        c.setPosition(r.start);
        c.setPosition(r.start + r.length, QTextCursor::KeepAnchor);
        m_tlog->setTextCursor(c);
        m_tlog->setFocus();
        return;
    case LogSearch::Outcome::NotFound:
        c.setPosition(0);
        m_tlog->setTextCursor(c);
        m_messages.message(m_state.lang.t(QStringLiteral("nofound")), ProgramIdentity::Title);
        return;
    }
}

void FrmMain::Isend_Click()
{
    const QString text = m_tcmd->text();
    m_settings.save(SettingKeys::RecentCmd, text);
    if (!CommandBoxWidget::isFrame(text))
        return;
    m_tcmd->setBackground(CommandBoxWidget::Yellow);
    if (!m_engine)
        return;
    if (m_state.link.ModoUsb) {
        m_engine->SendUsb(text, false);
        m_tcmd->flash(CommandBoxWidget::Green);
    } else if (m_engine->SendTCP(text)) {
        m_tcmd->flash(CommandBoxWidget::Green);
    }
}

void FrmMain::SalvaLog()
{
    const bool monitor = m_panes->currentWidget() == m_tlog;
    const QString caption = monitor ? m_lmon->text() : m_lcom->text();
    const QString title = (monitor ? QStringLiteral("File ") : QStringLiteral("File")) + caption;
    const QList<FileDialogService::Filter> filters{{m_state.lang.t(QStringLiteral("txtFile")), QStringLiteral("*.txt")},
                                                   {QStringLiteral("File log"), QStringLiteral("*.log")}};
    const QString path = m_files.ApriSalvaFile(this, FileDialogService::Mode::Save, title, caption, filters,
                                               m_state.programFolder, QString());
    if (path.isEmpty())
        return;
    // The pane may have changed while the dialog was open: write what is visible now.
    const ConsolePane *pane = static_cast<ConsolePane *>(m_panes->currentWidget());
    QFile file(path);
    const QByteArray bytes = (pane->text() + QStringLiteral("\r\n")).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush()) {
        m_messages.message(file.errorString(), ProgramIdentity::ExecutableName, MessageBoxService::Icon::Critical);
        return;
    }
    file.close();
}
