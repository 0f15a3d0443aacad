#include "devices/floating/FrmBut.h"
#include "devices/floating/FrmRND.h"
#include "engine/model/InstallationModel.h"
#include "devices/floating/LevelPopup.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/snapping/Snapping.h"
#include "support/TestFolder.h"
#include "shell/services/WindowUtils.h"

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <cmath>

namespace {

void sendMouse(QWidget *target, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

const QPoint Middle(24, 24);

} // namespace

// The floating button, its level pop-up and the presence-schedule window.
class TestFloatingButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void clickToggles();
    void outlineRows_data();
    void outlineRows();
    void longPressOpensThePopup();
    void dragOpensNoPopup();
    void popupClosesOnAnyChoice_data();
    void popupClosesOnAnyChoice();
    void doubleClickClosesAndSaves();
    void positionUnderItsIndex();
    void presenceList();

private:
    FrmBut *openButton(const QString &index = QStringLiteral("1"));
    QString levelText() const { return m_button->findChild<QLabel *>(QStringLiteral("Lp"))->text(); }
    void click()
    {
        sendMouse(m_button, QEvent::MouseButtonPress, Middle, Qt::LeftButton, Qt::LeftButton);
        sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});
    }

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramSettings> m_settings;
    std::unique_ptr<LevelPopup> m_popup;
    QPointer<FrmBut> m_button;
};

void TestFloatingButton::init()
{
    m_folder = std::make_unique<TestFolder>();
    m_settings = std::make_unique<ProgramSettings>(m_folder->settingsFile());
    m_popup = std::make_unique<LevelPopup>();
}

void TestFloatingButton::cleanup()
{
    delete m_button.data();
    m_popup.reset();
    m_settings.reset();
    m_folder.reset();
}

FrmBut *TestFloatingButton::openButton(const QString &index)
{
    m_button = new FrmBut(*m_settings, *m_popup);
    m_button->move(300, 200);
    m_button->bIndex(index);
    m_button->show();
    if (!QTest::qWaitForWindowExposed(m_button))
        return nullptr;
    return m_button;
}

void TestFloatingButton::clickToggles()
{
    QVERIFY(openButton());
    QCOMPARE(m_button->findChild<QLabel *>(QStringLiteral("Lname"))->text(), QStringLiteral("LUCE CAMERA"));
    QCOMPARE(levelText(), QStringLiteral("0%"));
    QCOMPARE(m_button->fillColour(), QColor(220, 220, 220));
    click();
    QCOMPARE(levelText(), QStringLiteral("100%"));
    QCOMPARE(m_button->fillColour(), QColor(245, 245, 0));
    click();
    QCOMPARE(levelText(), QStringLiteral("0%"));
    QCOMPARE(m_button->fillColour(), QColor(220, 220, 220));
    // A press on the labels is a press on the button.
    for (const char *label : {"Lname", "Lp"})
        QVERIFY(m_button->findChild<QLabel *>(QString::fromLatin1(label))->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(!m_popup->window());
}

void TestFloatingButton::outlineRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("top") << 0 << 7 << 40;
    QTest::newRow("second") << 1 << 5 << 42;
    QTest::newRow("last rounded at top") << 6 << 1 << 46;
    QTest::newRow("first full") << 7 << 0 << 47;
    QTest::newRow("last full") << 40 << 0 << 47;
    QTest::newRow("first rounded at bottom") << 41 << 1 << 46;
    QTest::newRow("bottom") << 47 << 7 << 40;
}

void TestFloatingButton::outlineRows()
{
    QFETCH(int, row);
    QFETCH(int, first);
    QFETCH(int, last);
    QVERIFY(openButton());
    const QRegion outline = m_button->mask();
    QCOMPARE(outline.boundingRect(), QRect(0, 0, 48, 48));
    QVERIFY(outline.contains(QPoint(first, row)));
    QVERIFY(outline.contains(QPoint(last, row)));
    if (first > 0)
        QVERIFY(!outline.contains(QPoint(first - 1, row)));
    if (last < 47)
        QVERIFY(!outline.contains(QPoint(last + 1, row)));
}

void TestFloatingButton::longPressOpensThePopup()
{
    QVERIFY(openButton());
    sendMouse(m_button, QEvent::MouseButtonPress, Middle, Qt::LeftButton, Qt::LeftButton);
    auto *timer = m_button->findChild<QTimer *>(QStringLiteral("TmPop"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000); // a press held one second opens the level pop-up
    QTRY_VERIFY(m_popup->window() && m_popup->window()->isVisible());
    QCOMPARE(m_popup->window()->x(), m_button->x());
    // The release after a long press is not a click as well.
    sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});
    QCOMPARE(levelText(), QStringLiteral("0%"));

    // A second long press finds the pop-up where it was, but with the button's new left.
    const int popupTop = m_popup->window()->y();
    m_button->move(500, 400);
    sendMouse(m_button, QEvent::MouseButtonPress, Middle, Qt::LeftButton, Qt::LeftButton);
    QTRY_COMPARE(m_popup->window()->x(), 500);
    QCOMPARE(m_popup->window()->y(), popupTop);
    sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});

    // An early release disarms it.
    m_popup->unload();
    sendMouse(m_button, QEvent::MouseButtonPress, Middle, Qt::LeftButton, Qt::LeftButton);
    sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});
    QVERIFY(!timer->isActive());
    QCOMPARE(levelText(), QStringLiteral("100%"));
}

void TestFloatingButton::dragOpensNoPopup()
{
    QVERIFY(openButton());
    sendMouse(m_button, QEvent::MouseButtonPress, Middle, Qt::LeftButton, Qt::LeftButton);
    sendMouse(m_button, QEvent::MouseMove, Middle + QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_button->pos(), QPoint(340, 225));
    QVERIFY(!m_button->findChild<QTimer *>(QStringLiteral("TmPop"))->isActive());
    // Within reach of the work area's left edge, it snaps to it.
    const int edge = m_button->screen()->availableGeometry().left();
    sendMouse(m_button, QEvent::MouseMove, Middle + QPoint(edge + 10 - 340, 0), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_button->x(), edge);
    QTest::qWait(1000 + 200);
    QVERIFY(!m_popup->window());
    // Dropping the button is no click.
    sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});
    QCOMPARE(levelText(), QStringLiteral("0%"));
}

void TestFloatingButton::popupClosesOnAnyChoice_data()
{
    QTest::addColumn<int>("choice");
    QTest::newRow("top") << 0;
    QTest::newRow("middle") << 5;
    QTest::newRow("bottom") << 10;
}

void TestFloatingButton::popupClosesOnAnyChoice()
{
    QFETCH(int, choice);
    QVERIFY(openButton());
    m_popup->show(m_button->x(), m_button->y());
    QPointer<FrmPerc> popup = m_popup->window();
    QCOMPARE(popup->size(), QSize(int(std::lround(735 / WindowUtils::twipsPerPixelX())),
                                  int(std::lround(465 / WindowUtils::twipsPerPixelY())) * FrmPerc::Choices));
    auto *area = popup->findChild<QLabel *>(QStringLiteral("Lsel%1").arg(choice));
    QVERIFY(area);
    sendMouse(area, QEvent::MouseButtonPress, area->rect().center(), Qt::LeftButton, Qt::LeftButton);
    sendMouse(area, QEvent::MouseButtonRelease, area->rect().center(), Qt::LeftButton, {});
    QTRY_VERIFY(popup.isNull());
    QVERIFY(!m_popup->window());
    // The choice goes nowhere.
    QCOMPARE(levelText(), QStringLiteral("0%"));
}

void TestFloatingButton::doubleClickClosesAndSaves()
{
    QVERIFY(openButton(QStringLiteral("2")));
    QVERIFY(Snapping::isDocked(m_button));
    m_popup->show(m_button->x(), m_button->y());
    QPointer<FrmPerc> popup = m_popup->window();
    click();
    sendMouse(m_button, QEvent::MouseButtonDblClick, Middle, Qt::LeftButton, Qt::LeftButton);
    sendMouse(m_button, QEvent::MouseButtonRelease, Middle, Qt::LeftButton, {});
    QVERIFY(popup.isNull());
    QVERIFY(!Snapping::isDocked(m_button));
    QTRY_VERIFY(m_button.isNull());
    QCOMPARE(m_settings->read(QStringLiteral("FrmBut2"), SettingKeys::PosX, QString()),
             QString::number(std::lround(300 * WindowUtils::twipsPerPixelX())));
}

void TestFloatingButton::positionUnderItsIndex()
{
    const QString section = QStringLiteral("FrmBut3");
    m_settings->save(section, SettingKeys::PosX, QString::number(std::lround(640 * WindowUtils::twipsPerPixelX())));
    m_settings->save(section, SettingKeys::PosY, QString::number(std::lround(360 * WindowUtils::twipsPerPixelY())));
    QVERIFY(openButton(QStringLiteral("3")));
    QCOMPARE(m_button->Indice(), 3);
    QCOMPARE(m_button->pos(), QPoint(640, 360));
    m_button->move(100, 50);
    m_button->close();
    delete m_button.data();

    // Another index keeps its own place; index 3 comes back where it was left.
    QVERIFY(openButton(QStringLiteral("4")));
    QCOMPARE(m_button->pos(), QPoint(300, 200));
    delete m_button.data();
    QVERIFY(openButton(QStringLiteral("3")));
    QCOMPARE(m_button->pos(), QPoint(100, 50));
}

void TestFloatingButton::presenceList()
{
    auto model = std::make_unique<InstallationModel>();
    model->Dispositivi[5] = {QStringLiteral("Kitchen"), false, 0, QStringLiteral("1")};
    model->Dispositivi[12] = {QStringLiteral("Shutter"), false, 0, QStringLiteral("2")};
    model->Dispositivi[20] = {QString(), false, 0, QStringLiteral("1")};
    model->Dispositivi[99] = {QStringLiteral("Porch"), false, 0, QStringLiteral("1")};
    model->Dispositivi[100] = {QStringLiteral("Garage"), false, 0, QStringLiteral("1")};
    FrmRND window(*model);
    auto *list = window.findChild<QComboBox *>(QStringLiteral("Caut"));
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QCOMPARE(entries, (QStringList{"05 (L) Kitchen", "12 (A) Shutter", "99 (L) Porch"}));
    QCOMPARE(window.windowTitle(), QStringLiteral("Automazioni Random"));
    QCOMPARE(window.size(), QSize(int(std::lround(5460 / WindowUtils::twipsPerPixelX())),
                                  int(std::lround(5700 / WindowUtils::twipsPerPixelY()))));
    for (const char *name : {"Cadd", "Cmod", "Cdel"})
        QVERIFY(window.findChild<QPushButton *>(QString::fromLatin1(name)));
}

QTEST_MAIN(TestFloatingButton)
#include "tst_floatingbutton.moc"
