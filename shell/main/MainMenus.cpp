#include "shell/main/MainMenus.h"

#include "shell/main/DeviceWindows.h"
#include "shell/icons/ImageList.h"
#include "engine/model/InstallationModel.h"
#include "engine/model/LanguageTexts.h"
#include "engine/protocol/NumberConversions.h"
#include "shell/icons/ShellResources.h"
#include "shell/services/WindowUtils.h"
#include "engine/model/WindowNames.h"
#include "shell/services/AccessibleRole.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

namespace TB = ToolbarButtons;

namespace {

const QString MeterMark = QStringLiteral("\u00BB ");
const QString NoMark = QStringLiteral("  ");

// The caption with Alt+letter on its first letter no other caption of the bar has taken; the
// words stay as the language file gives them.
QString withMnemonic(const QString &caption, QString &taken)
{
    if (caption.contains(QLatin1Char('&')))
        return caption;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i).toLower();
        if (c.isLetter() && !taken.contains(c)) {
            taken += c;
            return caption.left(i) + QLatin1Char('&') + caption.mid(i);
        }
    }
    return caption;
}

QString scenarioCaption(const InstallationModel &model, int i)
{
    return QString::number(i) + QStringLiteral(" - ") + model.ScenariF420[size_t(i)].name;
}

} // namespace

MainMenus::MainMenus(QMainWindow &window) : QObject(&window), m_window(window)
{
    buildMenus();
    buildToolbar();
    // F10 opens the menu bar, as on the common Linux desktops.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    f10->setObjectName(QStringLiteral("menuBarKey"));
    connect(f10, &QShortcut::activated, this, &MainMenus::openMenuBar);
    m_imageCombo = new QComboBox(&window);
    m_imageCombo->setObjectName(QStringLiteral("ImageCombo1"));
    m_imageCombo->hide();
}

QAction *MainMenus::entry(QMenu *menu, const char *name)
{
    QAction *a = menu->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// The check mark follows the window, not the click: the toggle Qt makes on a click is undone
// before the handler, which sets the mark from the window.
QAction *MainMenus::windowEntry(const char *name)
{
    QAction *a = entry(m_mwin, name);
    a->setCheckable(true);
    connect(a, &QAction::triggered, a, [a](bool checked) { a->setChecked(!checked); });
    return a;
}

void MainMenus::buildMenus()
{
    QMenuBar *bar = m_window.menuBar();
    m_mFile = bar->addMenu(QString());
    m_mFile->setObjectName(QStringLiteral("mFile"));
    m_mSave = entry(m_mFile, "mSave");
    m_mSave->setShortcut(QKeySequence::Save);
    connect(m_mSave, &QAction::triggered, this, &MainMenus::saveChosen);
    m_mFile->addSeparator();
    m_mExit = entry(m_mFile, "mExit");
    // Ctrl+Q on every desktop, also where the platform's own list has no key for quitting.
    QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    if (!quit.contains(QKeySequence(Qt::CTRL | Qt::Key_Q)))
        quit.prepend(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_mExit->setShortcuts(quit);
    connect(m_mExit, &QAction::triggered, this, &MainMenus::exitChosen);

    m_mTool = bar->addMenu(QString());
    m_mTool->setObjectName(QStringLiteral("mTool"));
    m_mFind = entry(m_mTool, "mFind");
    m_mFind->setCheckable(true);
    m_mFind->setShortcut(QKeySequence::Find);
    connect(m_mFind, &QAction::triggered, this, &MainMenus::findChosen);
    m_mOption = entry(m_mTool, "mOption");
    connect(m_mOption, &QAction::triggered, this, [this] { emit buttonClicked(TB::Options); });
    m_mLanguage = m_mTool->addMenu(QString());
    m_mLanguage->setObjectName(QStringLiteral("mLanguage"));
    // Entry 0 exists before any language file is listed.
    fillLanguageMenu({QStringLiteral("italian")}, QString());
    m_mTool->addSeparator();
    m_mAgg = entry(m_mTool, "mAgg");
    connect(m_mAgg, &QAction::triggered, this, [this] { emit windowChosen(WindowNames::FrmUpd, false); });

    m_mwin = bar->addMenu(QString());
    m_mwin->setObjectName(QStringLiteral("mwin"));
    m_mWaux = windowEntry("mWaux");
    connect(m_mWaux, &QAction::triggered, this, [this] { emit buttonClicked(TB::Aux); });
    m_mWprobe = windowEntry("mWprobe");
    connect(m_mWprobe, &QAction::triggered, this, [this] { emit buttonClicked(TB::Probe); });
    m_mWcam = windowEntry("mWcam");
    connect(m_mWcam, &QAction::triggered, this, [this] { emit buttonClicked(TB::Camera); });
    m_mwin->addSeparator();
    m_mWvolt = windowEntry("mWvolt");
    connect(m_mWvolt, &QAction::triggered, this, [this] { emit meterChosen(1); });
    m_mWampere = windowEntry("mWampere");
    connect(m_mWampere, &QAction::triggered, this, [this] { emit meterChosen(2); });
    m_mWwatt = windowEntry("mWwatt");
    connect(m_mWwatt, &QAction::triggered, this, [this] { emit meterChosen(3); });
    m_mwin->addSeparator();
    m_mWai = windowEntry("mWai");
    connect(m_mWai, &QAction::triggered, this, &MainMenus::alarmChosen);

    QMenu *help = bar->addMenu(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("mHelpMenu"));
    m_helpMenu = help;
    m_mHelp = entry(help, "mHelp");
    m_mHelp->setShortcut(QKeySequence::HelpContents);
    connect(m_mHelp, &QAction::triggered, this, &MainMenus::helpChosen);
    // The donation page is not ours to name: the entry stays hidden.
    m_mDonate = entry(help, "mDonate");
    m_mDonate->setVisible(false);
    m_mAbout = entry(help, "mAbout");
    connect(m_mAbout, &QAction::triggered, this, [this] { emit windowChosen(WindowNames::FrmAbout, true); });
}

void MainMenus::buildToolbar()
{
    m_barra = m_window.addToolBar(QString());
    m_barra->setObjectName(QStringLiteral("barra"));
    m_barra->setMovable(false);
    m_barra->setIconSize(QSize(32, 32));
    m_barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The light gradient belongs to a light desktop; a dark one shades its own window colour.
    const QPalette desktop = QApplication::palette(m_barra);
    const bool dark = WindowUtils::isDarkPalette(desktop);
    const QColor window = desktop.color(QPalette::Window);
    const QString top = dark ? window.lighter(125).name() : QStringLiteral("#f7f9fc");
    const QString bottom = dark ? window.name() : QStringLiteral("#dfe6ef");
    const QString line = dark ? window.darker(140).name() : QStringLiteral("#b8c2cf");
    m_barra->setStyleSheet(QStringLiteral("QToolBar#barra { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                          "stop:0 %1, stop:1 %2); border-bottom: 1px solid %3; spacing: 4px;"
                                          " padding: 3px; }")
                               .arg(top, bottom, line));
    for (int i = 1; i <= TB::Count; ++i) {
        QAction *a = nullptr;
        if (TB::isSeparator(i)) {
            a = m_barra->addSeparator();
        } else {
            a = m_barra->addAction(QString());
            connect(a, &QAction::triggered, this, [this, i] { emit buttonClicked(i); });
        }
        a->setObjectName(QStringLiteral("barraButton%1").arg(i));
        m_buttons[size_t(i)] = a;
        // Tab reaches every button of the bar, not only the ones a toolbar lets take focus.
        if (QWidget *b = m_barra->widgetForAction(a); b && !TB::isSeparator(i))
            b->setFocusPolicy(Qt::TabFocus);
    }
    m_meterMenu = new QMenu(&m_window);
    m_meterMenu->setObjectName(QStringLiteral("meterMenu"));
    for (int k = 1; k <= 3; ++k) {
        QAction *e = m_meterMenu->addAction(NoMark);
        connect(e, &QAction::triggered, this, [this, k] { emit buttonMenuClicked(TB::Meters, k); });
        m_meterEntries << e;
    }
    m_scenarioMenu = new QMenu(&m_window);
    m_scenarioMenu->setObjectName(QStringLiteral("scenarioMenu"));
    for (int k = 1; k <= 16; ++k) {
        QAction *e = m_scenarioMenu->addAction(QString::number(k) + QStringLiteral(" - "));
        e->setEnabled(false);
        connect(e, &QAction::triggered, this, [this, k] { emit buttonMenuClicked(TB::Scenarios, k); });
        m_scenarioEntries << e;
    }
    m_buttons[TB::Meters]->setMenu(m_meterMenu);
    m_buttons[TB::Scenarios]->setMenu(m_scenarioMenu);
    for (int i : {TB::Meters, TB::Scenarios})
        if (auto *tb = qobject_cast<QToolButton *>(m_barra->widgetForAction(m_buttons[size_t(i)]))) {
            tb->setPopupMode(QToolButton::MenuButtonPopup);
            // The arrow beside the button opens its list; from the keyboard, Down does.
            for (const QKeySequence &key : {QKeySequence(Qt::Key_Down), QKeySequence(Qt::ALT | Qt::Key_Down)}) {
                auto *open = new QShortcut(key, tb, nullptr, nullptr, Qt::WidgetShortcut);
                connect(open, &QShortcut::activated, tb, &QToolButton::showMenu);
            }
        }

    auto *spacer = new QWidget(m_barra);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_barra->addWidget(spacer);
    m_command1 = ShellResources::iconButton(m_barra, "Command1", QStringLiteral("alarm"), 32);
    connect(m_command1, &QToolButton::clicked, this, &MainMenus::alarmChosen);
    m_barra->addWidget(m_command1);

    // Until the windows they open are there, these entries would only send requests.
    for (QAction *a : {m_buttons[TB::Aux], m_buttons[TB::Probe], m_buttons[TB::Camera], m_buttons[TB::Meters],
                       m_buttons[TB::Options], m_mWaux, m_mWprobe, m_mWcam, m_mWvolt, m_mWampere, m_mWwatt, m_mWai,
                       m_mOption, m_mAbout, m_mAgg, m_mHelp})
        a->setEnabled(false);
    m_command1->setEnabled(false);
}

void MainMenus::applyLanguage(const LanguageTexts &l)
{
    const auto menu = [&l](const char *key) { return l.menu.value(QString::fromLatin1(key)); };
    QString taken;
    m_mFile->setTitle(withMnemonic(menu("File"), taken));
    m_mSave->setText(menu("Save"));
    m_mExit->setText(menu("Exit"));
    m_mTool->setTitle(withMnemonic(menu("Tool"), taken));
    m_mFind->setText(menu("Find"));
    m_mDonate->setText(menu("Donate"));
    m_mAbout->setText(menu("About"));
    m_mHelp->setText(menu("Help"));
    m_mAgg->setText(menu("Agg"));
    m_mOption->setText(menu("Options"));
    m_mwin->setTitle(withMnemonic(menu("windows"), taken));
    // The help menu keeps "?" for its caption; a screen reader says its name.
    const QString help = menu("Help").remove(QLatin1Char('&'));
    AccessibleRole::nameMenuEntry(m_helpMenu->menuAction(), help);
    m_helpMenu->setAccessibleName(help);
    m_mWaux->setText(menu("waux"));
    m_mWprobe->setText(menu("wprobe"));
    m_mWcam->setText(menu("wcamera"));
    m_mWvolt->setText(menu("wvolt"));
    m_mWampere->setText(menu("wcurrent"));
    m_mWwatt->setText(menu("wwatt"));
    m_mLanguage->setTitle(menu("Language"));
    m_mWai->setText(l.NomiWho[4]);
    m_command1->setToolTip(l.NomiWho[4]);
    m_command1->setAccessibleName(l.NomiWho[4]);

    const auto tip = [&l](const char *key) { return l.tooltip.value(QString::fromLatin1(key)); };
    static const std::array<std::pair<int, const char *>, 8> tips{{{TB::Monitor, "but1"},
                                                                   {TB::Save, "but2"},
                                                                   {TB::Aux, "but3"},
                                                                   {TB::Probe, "but4"},
                                                                   {TB::Camera, "but5"},
                                                                   {TB::Meters, "but6"},
                                                                   {TB::Scenarios, "but7"},
                                                                   {TB::Options, "but8"}}};
    for (const auto &[b, key] : tips) {
        m_buttons[size_t(b)]->setText(tip(key));
        m_buttons[size_t(b)]->setToolTip(tip(key));
    }
    const std::array<QAction *, 3> meters{m_mWvolt, m_mWampere, m_mWwatt};
    for (int k = 0; k < 3; ++k)
        m_meterEntries.at(k)->setText(NoMark + meters[size_t(k)]->text());
}

void MainMenus::openMenuBar()
{
    QMenuBar *bar = m_window.menuBar();
    for (QAction *a : bar->actions())
        if (a->isVisible() && a->isEnabled()) {
            bar->setActiveAction(a);
            return;
        }
}

void MainMenus::fillLanguageMenu(const QStringList &languages, const QString &current)
{
    for (int i = 0; i < languages.size(); ++i) {
        QAction *e = nullptr;
        if (i < m_mSetLingua.size()) {
            e = m_mSetLingua.at(i);
        } else {
            e = m_mLanguage->addAction(QString());
            e->setObjectName(QStringLiteral("mSetLingua"));
            e->setCheckable(true);
            connect(e, &QAction::triggered, this, [this, i] { emit languageChosen(i); });
            m_mSetLingua << e;
        }
        e->setText(languages.at(i));
        e->setChecked(languages.at(i).toLower() == current.toLower());
    }
}

void MainMenus::tickLanguage(int index)
{
    for (int i = 0; i < m_mSetLingua.size(); ++i)
        m_mSetLingua.at(i)->setChecked(i == index);
}

QString MainMenus::languageAt(int index) const
{
    return index >= 0 && index < m_mSetLingua.size() ? m_mSetLingua.at(index)->text() : QString();
}

void MainMenus::fillScenarioDropDown(const InstallationModel &model)
{
    for (int i = 1; i <= 16; ++i) {
        QAction *e = m_scenarioEntries.at(i - 1);
        e->setText(scenarioCaption(model, i));
        const QString defined = model.ScenariF420[size_t(i)].defined.trimmed();
        e->setEnabled(!(defined.isEmpty() || NumberConversions::tryValue(defined) == 0.0));
    }
}

QMenu *MainMenus::CreaMenuScenari(QMenu *menu, const QString &caption, const InstallationModel &model,
                                  QAction *before)
{
    auto *sub = new QMenu(caption, menu);
    for (int i = 1; i <= 16; ++i) {
        QAction *e = sub->addAction(scenarioCaption(model, i));
        e->setData(100 + i);
        e->setEnabled(NumberConversions::tryValue(model.ScenariF420[size_t(i)].defined) == 1.0);
    }
    if (before)
        menu->insertMenu(before, sub);
    else
        menu->addMenu(sub);
    return sub;
}

void MainMenus::enableFor(const DeviceWindows &windows)
{
    namespace W = WindowNames;
    const auto enable = [&windows](QAction *a, std::initializer_list<QString> names) {
        bool any = false;
        for (const QString &n : names)
            any = any || windows.provides(n);
        a->setEnabled(any);
    };
    enable(m_buttons[TB::Aux], {W::FrmAux});
    enable(m_mWaux, {W::FrmAux});
    enable(m_buttons[TB::Probe], {W::FrmProbe});
    enable(m_mWprobe, {W::FrmProbe});
    enable(m_mWai, {W::FrmAI});
    m_command1->setEnabled(windows.provides(W::FrmAI));
    enable(m_buttons[TB::Camera], {W::FrmCamera});
    enable(m_mWcam, {W::FrmCamera});
    enable(m_buttons[TB::Meters], {W::FrmVolt, W::FrmAmp, W::FrmWatt});
    enable(m_mWvolt, {W::FrmVolt});
    enable(m_mWampere, {W::FrmAmp});
    enable(m_mWwatt, {W::FrmWatt});
    enable(m_buttons[TB::Options], {W::FrmOpt});
    enable(m_mOption, {W::FrmOpt});
    enable(m_mAbout, {W::FrmAbout});
    enable(m_mAgg, {W::FrmUpd});
}

void MainMenus::setButtonImage(int button, int image, const ImageList &images)
{
    m_buttons[size_t(button)]->setIcon(images.icon(image));
}

void MainMenus::loadIconLibrary(const QString &path, ImageList &images)
{
    m_iconLibrary.requestedSize = 32;
    m_iconLibrary.requestedDepth = 24;
    // An unreadable library leaves the built-in pictures, and the combo lists those.
    if (m_iconLibrary.load(path, images) || m_imageCombo->count() == 0) {
        m_imageCombo->clear();
        for (int i = 1; i <= images.count(); ++i)
            m_imageCombo->addItem(images.icon(i), QStringLiteral("icon ") + images.key(i));
    }
}

void MainMenus::setToolbarImages(const ImageList &images)
{
    static const std::array<std::pair<int, int>, 8> pictures{{{TB::Monitor, 1},
                                                              {TB::Save, 3},
                                                              {TB::Aux, 5},
                                                              {TB::Probe, 22},
                                                              {TB::Camera, 23},
                                                              {TB::Meters, 24},
                                                              {TB::Scenarios, 25},
                                                              {TB::Options, 6}}};
    for (const auto &[button, image] : pictures)
        setButtonImage(button, image, images);
}

QAction *MainMenus::entryFor(Entry e) const
{
    const std::array<QAction *, 7> entries{m_mWaux, m_mWprobe, m_mWcam, m_mWvolt, m_mWampere, m_mWwatt, m_mWai};
    return entries[size_t(e)];
}

void MainMenus::tick(Entry e, bool open) { entryFor(e)->setChecked(open); }

bool MainMenus::isTicked(Entry e) const { return entryFor(e)->isChecked(); }

void MainMenus::markMeter(int meter, bool open)
{
    if (meter < 1 || meter > 3)
        return;
    QAction *menu = entryFor(Entry(int(Entry::Volt) + meter - 1));
    menu->setChecked(open);
    m_meterEntries.at(meter - 1)->setText((open ? MeterMark : NoMark) + menu->text());
}

void MainMenus::tickFind(bool on) { m_mFind->setChecked(on); }

void MainMenus::enableHelp(bool documentThere) { m_mHelp->setEnabled(documentThere); }
