#include "support/DeviceFixture.h"
#include "devices/host/DeviceHost.h"
#include "devices/scenarios/FrmScen.h"
#include "devices/host/PictureBox.h"
#include "engine/config/SettingKeys.h"
#include "shell/snapping/Snapping.h"
#include "engine/model/WindowNames.h"
#include "shell/services/WindowUtils.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QAccessible>
#include <QtTest>
#include <cmath>

namespace {

void sendMouse(QWidget *target, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void pointAt(QWidget *target) { sendMouse(target, QEvent::MouseMove, target->rect().center(), Qt::NoButton, {}); }

void click(QWidget *target, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint c = target->rect().center();
    sendMouse(target, QEvent::MouseButtonPress, c, button, button);
    sendMouse(target, QEvent::MouseButtonRelease, c, button, {});
}

} // namespace

// The scenario panel: hover names, running scenarios on either link, leaving, its shape and place.
class TestScenarioPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void pointingAndRunning_data();
    void pointingAndRunning();
    void runsOnTheLinkInUse_data();
    void runsOnTheLinkInUse();
    void pointingMovesTheHighlight();
    void backgroundClearsAtOnce();
    void leavingEndsTheHighlight_data();
    void leavingEndsTheHighlight();
    void onlyTheCursorSumIsWatched();
    void shapedByItsPicture();
    void dragAndExit();
    void positionSurvivesReopen();
    void keyboardRunsADefinedScenario();

private:
    FrmScen *openPanel();
    PictureBox *isc(int index) const { return m_panel->findChild<PictureBox *>(QStringLiteral("Isc%1").arg(index)); }
    QStringList frames() const
    {
        QStringList all;
        for (const QString &f : std::as_const(m_fixture->sender.tcp))
            all << QStringLiteral("command ") + f;
        for (const QString &f : std::as_const(m_fixture->sender.usb))
            all << QStringLiteral("serial ") + f;
        return all;
    }
    QString shownName() const { return m_panel->findChild<QLabel *>(QStringLiteral("Lsce0"))->text(); }
    int litButtons() const;

    std::unique_ptr<DeviceFixture> m_fixture;
    QPointer<FrmScen> m_panel;
};

void TestScenarioPanel::init()
{
    m_fixture = std::make_unique<DeviceFixture>();
    m_fixture->state.lang.text.insert(QStringLiteral("Exit"), QStringLiteral("Esci"));
    auto &scenarios = m_fixture->state.model.ScenariF420;
    scenarios[1] = {QStringLiteral("Good night"), QStringLiteral("01"), QStringLiteral("1")};
    scenarios[3] = {QStringLiteral("Cinema"), QStringLiteral("01"), QStringLiteral("1")};
    scenarios[12] = {QStringLiteral("Away"), QStringLiteral("10"), QStringLiteral("1")};
    // Defined without an address: shown, never sent.
    scenarios[7] = {QStringLiteral("Garden"), QString(), QStringLiteral("1")};
    // An address but no element (a name left from an older file): neither shown nor lit.
    scenarios[5] = {QStringLiteral("Stale"), QStringLiteral("01"), QString()};
}

void TestScenarioPanel::cleanup()
{
    delete m_panel.data();
    m_fixture.reset();
}

FrmScen *TestScenarioPanel::openPanel()
{
    m_panel = new FrmScen(m_fixture->context());
    m_panel->move(100, 100);
    m_panel->show();
    if (!QTest::qWaitForWindowExposed(m_panel))
        return nullptr;
    return m_panel;
}

int TestScenarioPanel::litButtons() const
{
    int lit = 0;
    for (int i = 0; i < FrmScen::Buttons; ++i)
        lit += isc(i)->picture() == FrmScen::Highlighted ? 1 : 0;
    return lit;
}

void TestScenarioPanel::pointingAndRunning_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("defined with address") << 3 << "Cinema" << QStringList{"command *0*3*01##"};
    QTest::newRow("no element") << 5 << "" << QStringList{"command *0*5*01##"};
    QTest::newRow("defined, no address") << 7 << "Garden" << QStringList{};
    QTest::newRow("nothing configured") << 16 << "" << QStringList{};
}

void TestScenarioPanel::pointingAndRunning()
{
    QFETCH(int, button);
    QFETCH(QString, name);
    QFETCH(QStringList, sent);
    QVERIFY(openPanel());

    // A lit button first, so that pointing at an undefined one is seen to clear it.
    pointAt(isc(0));
    QCOMPARE(shownName(), QStringLiteral("Good night"));

    pointAt(isc(button - 1));
    QCOMPARE(shownName(), name);
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("Lsce1"))->text(), name);
    QCOMPARE(m_panel->HoverAttivo(), !name.isEmpty());
    QCOMPARE(m_panel->Evidenziato(), name.isEmpty() ? 0 : button);
    QCOMPARE(litButtons(), name.isEmpty() ? 0 : 1);
    if (!name.isEmpty())
        QCOMPARE(isc(button - 1)->picture(), int(FrmScen::Highlighted));

    // The click looks only at the address.
    click(isc(button - 1));
    QCOMPARE(frames(), sent);
}

void TestScenarioPanel::runsOnTheLinkInUse_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("sent");
    QTest::newRow("command link") << false << "command *0*12*10##";
    // Logged like any frame the user sends.
    QTest::newRow("serial link") << true << "serial *0*12*10##";
}

void TestScenarioPanel::runsOnTheLinkInUse()
{
    QFETCH(bool, serial);
    QFETCH(QString, sent);
    m_fixture->state.link.ModoUsb = serial;
    QVERIFY(openPanel());
    // The number over the button is part of it.
    QLabel *number = m_panel->findChild<QLabel *>(QStringLiteral("Lnum11"));
    QCOMPARE(number->text(), QStringLiteral("12"));
    QVERIFY(number->testAttribute(Qt::WA_TransparentForMouseEvents));
    click(isc(11));
    QCOMPARE(frames(), QStringList{sent});
    // A right click is no click.
    click(isc(11), Qt::RightButton);
    QCOMPARE(frames().size(), 1);
}

void TestScenarioPanel::pointingMovesTheHighlight()
{
    QVERIFY(openPanel());
    pointAt(isc(0));
    pointAt(isc(11));
    QCOMPARE(m_panel->Evidenziato(), 12);
    QCOMPARE(litButtons(), 1);
    QCOMPARE(shownName(), QStringLiteral("Away"));
    // Moving within the same button keeps it lit.
    pointAt(isc(11));
    QCOMPARE(litButtons(), 1);
    QCOMPARE(m_panel->Evidenziato(), 12);

    // Each number stays whole on its button, and stands out from the lit button's blue.
    for (int i = 0; i < FrmScen::Buttons; ++i) {
        const auto *number = isc(i)->findChild<QLabel *>(QStringLiteral("Lnum%1").arg(i));
        QVERIFY(number->fontMetrics().horizontalAdvance(number->text()) <= isc(i)->width());
        const QColor expected = i == 11 ? QColor(Qt::white) : QColor(105, 159, 226);
        QCOMPARE(number->palette().color(QPalette::WindowText), expected);
    }
    pointAt(isc(0));
    QCOMPARE(isc(11)->findChild<QLabel *>(QStringLiteral("Lnum11"))->palette().color(QPalette::WindowText),
             QColor(105, 159, 226));
}

void TestScenarioPanel::backgroundClearsAtOnce()
{
    QVERIFY(openPanel());
    pointAt(isc(2));
    QVERIFY(m_panel->HoverAttivo());
    sendMouse(m_panel->findChild<PictureBox *>(QStringLiteral("Isfondo")), QEvent::MouseMove, QPoint(80, 130),
              Qt::NoButton, {});
    QVERIFY(!m_panel->HoverAttivo());
    QCOMPARE(shownName(), QString());
    QCOMPARE(litButtons(), 0);
}

void TestScenarioPanel::leavingEndsTheHighlight_data()
{
    QTest::addColumn<bool>("offPanel");
    QTest::newRow("off the panel") << true;
    QTest::newRow("over a cut-away pixel") << false;
}

void TestScenarioPanel::leavingEndsTheHighlight()
{
    QFETCH(bool, offPanel);
    QVERIFY(openPanel());
    auto *tcur = m_panel->findChild<QTimer *>(QStringLiteral("Tcur"));
    QCOMPARE(tcur->interval(), 80);
    QCursor::setPos(isc(2)->mapToGlobal(isc(2)->rect().center()));
    pointAt(isc(2));
    QVERIFY(tcur->isActive());
    QVERIFY(!m_panel->mask().contains(QPoint(2, 2)));
    // The panel's own timer notices the cursor has gone.
    QCursor::setPos(offPanel ? m_panel->geometry().bottomRight() + QPoint(200, 200) : m_panel->mapToGlobal(QPoint(2, 2)));
    QTRY_VERIFY(!m_panel->HoverAttivo());
    QCOMPARE(litButtons(), 0);
    QCOMPARE(shownName(), QString());
    QVERIFY(!tcur->isActive());
}

void TestScenarioPanel::onlyTheCursorSumIsWatched()
{
    QVERIFY(openPanel());
    const QPoint start = isc(2)->mapToGlobal(isc(2)->rect().center());
    QCursor::setPos(start);
    pointAt(isc(2));
    m_panel->Tcur_Timer();
    QVERIFY(m_panel->HoverAttivo());

    // Far off the panel, up and to the right, with the same x + y: taken for no move.
    const QPoint away = start + QPoint(500, -500);
    QVERIFY(!m_panel->frameGeometry().contains(away));
    QCursor::setPos(away);
    m_panel->Tcur_Timer();
    QVERIFY(m_panel->HoverAttivo());
    QCOMPARE(m_panel->Evidenziato(), 3);

    QCursor::setPos(away + QPoint(1, 0));
    m_panel->Tcur_Timer();
    QVERIFY(!m_panel->HoverAttivo());
    QVERIFY(!m_panel->findChild<QTimer *>(QStringLiteral("Tcur"))->isActive());
}

void TestScenarioPanel::shapedByItsPicture()
{
    QVERIFY(openPanel());
    QCOMPARE(m_panel->size(), QSize(int(std::lround(3360 / WindowUtils::twipsPerPixelX())),
                                    int(std::lround(2760 / WindowUtils::twipsPerPixelY()))));
    QCOMPARE(m_panel->palette().color(QPalette::Window), QColor(127, 127, 0));
    const QRegion shape = m_panel->mask();
    const QRect r = m_panel->rect();
    for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        QVERIFY2(!shape.contains(corner), "the corners are cut away");
    // Nothing the user points at or reads is cut away.
    for (int i = 0; i < FrmScen::Buttons; ++i)
        QVERIFY2(shape.contains(isc(i)->geometry()), qPrintable(QStringLiteral("button %1").arg(i + 1)));
    QVERIFY(shape.contains(m_panel->findChild<QLabel *>(QStringLiteral("Lsce0"))->geometry()));
}

void TestScenarioPanel::dragAndExit()
{
    QVERIFY(openPanel());
    auto *background = m_panel->findChild<PictureBox *>(QStringLiteral("Isfondo"));
    const QPoint grip(80, 130);
    QVERIFY(m_panel->mask().contains(grip));
    sendMouse(background, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    sendMouse(background, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    sendMouse(background, QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::LeftButton, {});
    QCOMPARE(m_panel->pos(), QPoint(130, 120));
    QVERIFY(!Snapping::isDocked(m_panel));
    // Moving afterwards, with no button held, does not drag.
    sendMouse(background, QEvent::MouseMove, grip, Qt::NoButton, {});
    QCOMPARE(m_panel->pos(), QPoint(130, 120));

    click(m_panel->findChild<QLabel *>(QStringLiteral("Lsce0")), Qt::RightButton);
    auto *menu = m_panel->findChild<QMenu *>(QStringLiteral("scenarioPanelMenu"));
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->defaultAction(), menu->actions().first());
    QCOMPARE(menu->defaultAction()->text(), QStringLiteral("Esci"));
    menu->defaultAction()->trigger();
    QTRY_VERIFY(m_panel.isNull());
    const int x = m_fixture->settings.readInt(WindowNames::FrmScen, SettingKeys::PosX, -1);
    QCOMPARE(x, int(std::lround(130 * WindowUtils::twipsPerPixelX())));
}

void TestScenarioPanel::positionSurvivesReopen()
{
    DeviceHost host;
    host.addWindow(WindowNames::FrmScen, [this] { return new FrmScen(m_fixture->context()); });
    QVERIFY(host.show(WindowNames::FrmScen, false));
    host.window(WindowNames::FrmScen)->move(150, 120);
    host.unload(WindowNames::FrmScen);
    QCOMPARE(m_fixture->settings.read(WindowNames::FrmScen, SettingKeys::PosX, QString()),
             QString::number(std::lround(150 * WindowUtils::twipsPerPixelX())));
    QCOMPARE(m_fixture->settings.read(WindowNames::FrmScen, SettingKeys::PosY, QString()),
             QString::number(std::lround(120 * WindowUtils::twipsPerPixelY())));
    QVERIFY(host.show(WindowNames::FrmScen, false));
    QCOMPARE(host.window(WindowNames::FrmScen)->pos(), QPoint(150, 120));
}

QTEST_MAIN(TestScenarioPanel)
#include "tst_scenariopanel.moc"

void TestScenarioPanel::keyboardRunsADefinedScenario()
{
    QVERIFY(openPanel());
    // Defined scenarios are buttons, named by number and name; the others are only pictures.
    for (int n : {1, 3, 7, 12})
        QCOMPARE(isc(n - 1)->focusPolicy(), Qt::TabFocus);
    for (int n : {5, 16})
        QCOMPARE(isc(n - 1)->focusPolicy(), Qt::NoFocus);
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(isc(2));
    QCOMPARE(button->role(), QAccessible::PushButton);
    QCOMPARE(button->text(QAccessible::Name), QStringLiteral("3 - Cinema"));

    m_panel->activateWindow();
    isc(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(isc(2), Qt::Key_Space);
    QTest::keyClick(isc(2), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), isc(6));
    QTest::keyClick(isc(6), Qt::Key_Return);
    QCOMPARE(frames(), QStringList{QStringLiteral("command *0*3*01##")});
    // A reader's press runs it as well.
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(frames().size(), 2);
}
