#include "ProgramFixture.h"
#include "engine/config/SettingKeys.h"
#include "engine/model/WindowNames.h"
#include "shell/main/ConsolePane.h"
#include "shell/update/FrmUpd.h"
#include "support/LoopbackHttpServer.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QApplication>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtTest>

// Every window of the program, opened on the shipped files, walked as a screen reader walks
// it: a control a person can reach or use must have a name that is more than blanks, digits
// or a symbol.
namespace {

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::Dial:
    case QAccessible::PageTab:
    case QAccessible::Link:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::HotkeyField:
    case QAccessible::ScrollBar:
        return true;
    default:
        return false;
    }
}

// What a reader can say: a word, not a bare number, a symbol or a padded caption.
bool sayable(const QString &name)
{
    if (name.isEmpty() || name != name.trimmed())
        return false;
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); });
}

QString describe(QAccessibleInterface *iface)
{
    QObject *o = iface->object();
    QString path;
    for (QObject *p = o; p; p = p->parent())
        path.prepend(QLatin1Char('/') + (p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className())
                                                                    : p->objectName()));
    return QStringLiteral("%1 role %2 name \"%3\"")
        .arg(path)
        .arg(int(iface->role()), 0, 16)
        .arg(iface->text(QAccessible::Name));
}

// A combo box on this platform is read by its value and its label: it needs a named label.
bool labelled(QAccessibleInterface *iface)
{
    const auto labels = iface->relations(QAccessible::Label);
    return std::any_of(labels.begin(), labels.end(),
                       [](const auto &r) { return sayable(r.first->text(QAccessible::Name).remove(QLatin1Char(':'))); });
}

void walk(QAccessibleInterface *iface, QSet<QAccessibleInterface *> &seen, QStringList &faults)
{
    if (!iface || !iface->isValid() || seen.contains(iface))
        return;
    seen.insert(iface);
    const QAccessible::State state = iface->state();
    if (state.invisible)
        return;
    const bool focusable = state.focusable;
    if (iface->role() != QAccessible::Separator && (interactive(iface->role()) || focusable)) {
        const bool named = iface->role() == QAccessible::ComboBox ? labelled(iface)
                                                                  : sayable(iface->text(QAccessible::Name));
        if (!named)
            faults << describe(iface);
    }
    // A window is read by its name as well.
    if (iface->role() == QAccessible::Window || iface->role() == QAccessible::Dialog)
        if (!sayable(iface->text(QAccessible::Name)))
            faults << describe(iface);
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), seen, faults);
}

// The program as main() builds it, on loopback, with the update check answered by a local
// server.
struct WholeProgram : ProgramFixture
{
    WholeProgram()
    {
        useGateway();
        settings.save(SettingKeys::Monitor, QStringLiteral("0"));
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
    }
    LoopbackHttpServer server;
};

} // namespace

class TestAccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void f10OpensTheMenuBar();
    void tabReachesEveryToolbarButton();
    void tabReachesEveryControlOfEachWindow();
    void shortcutsTriggerTheirEntries_data();
    void shortcutsTriggerTheirEntries();
};

void TestAccessibleNames::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("italian") << "italian";
    QTest::newRow("english") << "english";
}

void TestAccessibleNames::everyControlIsNamed()
{
    QFETCH(QString, language);
    WholeProgram p;
    p.settings.save(SettingKeys::Language, language);
    p.start();
    p.window.mFind_Click();
    for (int button : {5, 6, 7, 8, 9})
        p.window.barra_ButtonClick(button);
    p.window.barra_ButtonMenuClick(9, 1);
    p.window.Command1_Click();
    p.server.reply("1.0.0,https://dl.example.org/");
    p.window.findChild<QAction *>(QStringLiteral("mAgg"))->trigger();
    qobject_cast<FrmUpd *>(p.services.devices.window(WindowNames::FrmUpd))->fetch().setAddress(p.server.url());
    QTRY_COMPARE(p.server.requests(), 1);
    for (const char *entry : {"mAbout", "mOption"})
        p.window.findChild<QAction *>(QString::fromLatin1(entry))->trigger();
    QApplication::processEvents();

    QStringList faults;
    QSet<QAccessibleInterface *> seen;
    QStringList open;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        open << w->objectName();
        // Every page of a tabbed window is walked, not only the one on show.
        const auto tabs = w->findChildren<QTabWidget *>();
        for (QTabWidget *t : tabs)
            for (int i = 0; i < t->count(); ++i) {
                t->setCurrentIndex(i);
                walk(QAccessible::queryAccessibleInterface(t->widget(i)), seen, faults);
            }
        walk(QAccessible::queryAccessibleInterface(w), seen, faults);
    }
    for (const QString &name : {WindowNames::FrmMain, WindowNames::FrmAux, WindowNames::FrmProbe, WindowNames::FrmCamera,
                                WindowNames::FrmVolt, WindowNames::FrmAmp, WindowNames::FrmWatt, WindowNames::FrmScen,
                                WindowNames::FrmAI, WindowNames::FrmOpt, WindowNames::FrmAbout, WindowNames::FrmUpd})
        QVERIFY2(open.contains(name), qPrintable(name + QStringLiteral(" did not open")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

    // The help menu keeps "?" on screen and is read by its name.
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(p.window.menuBar());
    QAccessibleInterface *help = bar->child(bar->childCount() - 1);
    QCOMPARE(p.window.menuBar()->actions().constLast()->text(), QStringLiteral("?"));
    QCOMPARE(help->text(QAccessible::Name), p.state.lang.menu.value(QStringLiteral("Help")));
    QVERIFY(!help->text(QAccessible::Name).isEmpty());
}

namespace {
// The program's main window, shown and holding the keyboard.
void activate(WholeProgram &p)
{
    p.start();
    p.window.show();
    p.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.window));
}
} // namespace

void TestAccessibleNames::f10OpensTheMenuBar()
{
    WholeProgram p;
    activate(p);
    QTest::keyClick(&p.window, Qt::Key_F10);
    QAction *active = p.window.menuBar()->activeAction();
    QVERIFY(active && active->menu());
    QCOMPARE(active->menu()->objectName(), QStringLiteral("mFile"));
    QTRY_VERIFY(active->menu()->isVisible());
    // The menu's entries are then reached with the arrows and Return: Down selects "Save log".
    QTest::keyClick(active->menu(), Qt::Key_Down);
    QVERIFY(active->menu()->activeAction());
}

void TestAccessibleNames::tabReachesEveryToolbarButton()
{
    WholeProgram p;
    activate(p);
    auto *bar = p.window.findChild<QToolBar *>(QStringLiteral("barra"));
    QSet<QWidget *> wanted;
    for (QAction *a : bar->actions())
        if (!a->isSeparator() && a->isEnabled() && a->objectName().startsWith(QStringLiteral("barraButton")))
            wanted.insert(bar->widgetForAction(a));
    wanted.insert(p.window.findChild<QWidget *>(QStringLiteral("Command1")));
    QVERIFY(wanted.size() >= 8);
    p.window.findChild<QWidget *>(QStringLiteral("Tcmd"))->setFocus();
    for (int i = 0; i < 40 && !wanted.isEmpty(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        wanted.remove(QApplication::focusWidget());
    }
    QStringList missed;
    for (QWidget *w : wanted)
        missed << (w->objectName().isEmpty() ? w->accessibleName() : w->objectName());
    QVERIFY2(wanted.isEmpty(), qPrintable(missed.join(QStringLiteral(", "))));
}

namespace {
// The controls Tab reaches from the focus it starts on, once round.
QSet<QWidget *> tabRound()
{
    QSet<QWidget *> reached;
    QWidget *first = QApplication::focusWidget();
    for (QWidget *f = first; f && !reached.contains(f); f = QApplication::focusWidget()) {
        reached.insert(f);
        QTest::keyClick(f, Qt::Key_Tab);
    }
    return reached;
}
} // namespace

void TestAccessibleNames::tabReachesEveryControlOfEachWindow()
{
    WholeProgram p;
    p.start();
    for (int button : {5, 6, 7, 8, 9})
        p.window.barra_ButtonClick(button);
    p.window.barra_ButtonMenuClick(9, 1);
    p.window.Command1_Click();
    p.window.findChild<QAction *>(QStringLiteral("mOption"))->trigger();
    QApplication::processEvents();
    QStringList faults;
    QStringList walked;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w == &p.window)
            continue;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        walked << w->objectName();
        // A tabbed window is walked on every page.
        auto *tabs = w->findChild<QTabWidget *>();
        for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
            if (tabs)
                tabs->setCurrentIndex(page);
            const QSet<QWidget *> reached = tabRound();
            for (QWidget *c : w->findChildren<QWidget *>()) {
                if (!c->isVisibleTo(w) || !c->isEnabled() || reached.contains(c))
                    continue;
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c);
                if (!iface || !interactive(iface->role()))
                    continue;
                // A camera without an address is left out, as the scenario panel leaves out the
                // scenarios that are not defined.
                const QString name = c->objectName();
                if (w->objectName() == WindowNames::FrmCamera && name.startsWith(QStringLiteral("Pbut"))) {
                    const size_t camera = name.mid(4).toUInt() + 1;
                    if (camera < p.state.model.IndirizziCamere.size()
                        && p.state.model.IndirizziCamere[camera].trimmed().isEmpty())
                        continue;
                }
                faults << QStringLiteral("%1: %2 \"%3\"").arg(w->objectName(), name, c->accessibleName());
            }
        }
    }
    for (const QString &name : {WindowNames::FrmAux, WindowNames::FrmCamera, WindowNames::FrmScen, WindowNames::FrmAI,
                                WindowNames::FrmOpt})
        QVERIFY2(walked.contains(name), qPrintable(name + QStringLiteral(" was not walked")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestAccessibleNames::shortcutsTriggerTheirEntries_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("entry");
    QTest::newRow("save the log") << QKeySequence(Qt::CTRL | Qt::Key_S) << "save";
    QTest::newRow("find") << QKeySequence(Qt::CTRL | Qt::Key_F) << "find";
    QTest::newRow("quit") << QKeySequence(Qt::CTRL | Qt::Key_Q) << "quit";
}

void TestAccessibleNames::shortcutsTriggerTheirEntries()
{
    QFETCH(QKeySequence, key);
    QFETCH(QString, entry);
    WholeProgram p;
    activate(p);
    QSignalSpy ended(&p.window, &FrmMain::programEnded);
    // From inside the command box, where the person is most likely typing.
    QWidget *box = p.window.findChild<QWidget *>(QStringLiteral("Tcmd"));
    box->setFocus();
    QTest::keySequence(box, key);
    QCOMPARE(p.files.asked.size(), entry == QLatin1String("save") ? 1 : 0);
    QCOMPARE(p.window.findChild<QWidget *>(QStringLiteral("Pfind"))->isVisible(), entry == QLatin1String("find"));
    // Quitting starts the program's closing, which ends it once its links are shut.
    QCOMPARE(bool(p.state.InChiusura), entry == QLatin1String("quit"));
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
