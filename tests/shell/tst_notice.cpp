#include "shell/snapping/Snapping.h"
#include "engine/model/EngineState.h"
#include "shell/notice/FrmMsg.h"
#include "shell/notice/FrmPrev.h"
#include "shell/icons/ImageList.h"
#include "shell/notice/NoticePopup.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellOptions.h"
#include "support/TestFolder.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int PosX = 1500; // twips: 100 px
constexpr int PosY = 3000; // 200 px

struct Popup
{
    explicit Popup(int effect, int tras = 255, int scheme = 0)
    {
        options.MsgPosX = QString::number(PosX);
        options.MsgPosY = PosY;
        options.OpzFx = quint8(effect);
        options.OpzMsgTras = quint8(tras);
        options.OpzMsgType = QString::number(scheme);
        state.programFolder = folder.path();
        images = ImageList::builtIn();
        popup.attach(state, options, images);
    }
    void notice(const QString &text = QStringLiteral("Luce cucina ON"), int ms = 1000)
    {
        popup.MostraMessaggio(text, QStringLiteral("*1*1*12##"), ms, 0);
    }
    // Ticks until the phase changes (at most `limit`); the number of ticks taken.
    int ticksUntilPhaseChanges(int limit = 100)
    {
        const int phase = popup.FasePopup();
        for (int n = 1; n <= limit; ++n) {
            popup.Tpopup_Timer();
            if (popup.FasePopup() != phase)
                return n;
        }
        return -1;
    }

    TestFolder folder;
    EngineState state;
    ShellOptions options;
    ImageList images;
    NoticePopup popup;
};

QLabel *label(QWidget *w, const char *name) { return w->findChild<QLabel *>(QString::fromLatin1(name)); }

} // namespace

class TestNotice : public QObject
{
    Q_OBJECT

private slots:
    void slideComesInInThirtyOneStepsAndGoesOutAgain();
    void fadeRunsToTheTargetAndBack_data();
    void fadeRunsToTheTargetAndBack();
    void plainShowsAtOnceAndHoldsForItsTime_data();
    void plainShowsAtOnceAndHoldsForItsTime();
    void noticeDuringTheHoldRestartsIt();
    void noticeDuringTheSlideOutStartsFromTheBottom();
    void fadeNoticeDuringTheHoldLeavesInOneStep();
    void nothingWhileTheProgramCloses();
    void offScreenPositionUsesThePrimaryCorner_data();
    void offScreenPositionUsesThePrimaryCorner();
    void showsWithoutTakingTheFocus();
    void whiteOutlineRows_data();
    void whiteOutlineRows();
    void fontFollowsTheTextLength_data();
    void fontFollowsTheTextLength();
    void auxiliaryWindowOnTopAgainAfterTheNotice_data();
    void auxiliaryWindowOnTopAgainAfterTheNotice();
    void previewStoresItsPlaceOnlyOnOk();
    void noTicksOnceTheNoticeHasGone();
    void previewShowsTheNoticeAsItWillLook_data();
    void previewShowsTheNoticeAsItWillLook();
    void noticesWaitBehindThePreview_data();
    void noticesWaitBehindThePreview();
};

void TestNotice::slideComesInInThirtyOneStepsAndGoesOutAgain()
{
    Popup p(1);
    QVERIFY(!p.popup.Tpopup()->isActive());
    p.notice();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::ComingIn));
    QCOMPARE(p.popup.heightTwips(), 0);
    QCOMPARE(p.popup.topTwips(), PosY + 915);
    QCOMPARE(p.popup.Tpopup()->interval(), 10);

    QCOMPARE(p.ticksUntilPhaseChanges(), 31);
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Held));
    QCOMPARE(p.popup.topTwips(), PosY - 15);
    QCOMPARE(p.popup.heightTwips(), 915);
    QCOMPARE(p.popup.window()->geometry(), QRect(100, 199, 360, 61));
    QVERIFY(p.popup.window()->isVisible());
    QCOMPARE(p.popup.Tpopup()->interval(), 1000);

    QCOMPARE(p.ticksUntilPhaseChanges(), 1);
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::GoingOut));
    QCOMPARE(p.ticksUntilPhaseChanges(), 31);
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
    QVERIFY(!p.popup.window()->isVisible());
    // Idle costs nothing: no timer runs until the next notice.
    QVERIFY(!p.popup.Tpopup()->isActive());
}

void TestNotice::fadeRunsToTheTargetAndBack_data()
{
    QTest::addColumn<int>("tras");
    QTest::addColumn<QList<int>>("in");
    QTest::addColumn<QList<int>>("out");
    QList<int> in, out;
    for (int v = 10; v <= 240; v += 10)
        in << v;
    in << 255;
    for (int v = 245; v >= 15; v -= 10)
        out << v;
    out << 0;
    QTest::newRow("255") << 255 << in << out;
    QTest::newRow("5: reached at once") << 5 << QList<int>{5} << QList<int>{0};
    QTest::newRow("100") << 100 << QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}
                         << QList<int>{90, 80, 70, 60, 50, 40, 30, 20, 0};
}

void TestNotice::fadeRunsToTheTargetAndBack()
{
    QFETCH(int, tras);
    QFETCH(QList<int>, in);
    QFETCH(QList<int>, out);
    Popup p(2, tras);
    p.notice();
    QList<int> seen;
    while (p.popup.FasePopup() == NoticePopup::ComingIn && seen.size() < 100) {
        p.popup.Tpopup_Timer();
        seen << p.popup.OpacitaPopup();
    }
    QCOMPARE(seen, in);
    QCOMPARE(p.popup.window()->windowOpacity(), tras / 255.0);
    QCOMPARE(p.popup.topTwips(), PosY);
    p.popup.Tpopup_Timer();
    seen.clear();
    while (p.popup.FasePopup() == NoticePopup::GoingOut && seen.size() < 100) {
        p.popup.Tpopup_Timer();
        seen << p.popup.OpacitaPopup();
    }
    QCOMPARE(seen, out);
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
}

void TestNotice::plainShowsAtOnceAndHoldsForItsTime_data()
{
    QTest::addColumn<int>("effect");
    QTest::newRow("plain") << 0;
    QTest::newRow("an unknown effect shows plainly") << 7;
}

void TestNotice::plainShowsAtOnceAndHoldsForItsTime()
{
    QFETCH(int, effect);
    Popup p(effect);
    p.notice(QStringLiteral("x"), 2500);
    QCOMPARE(p.ticksUntilPhaseChanges(), 1);
    QCOMPARE(p.popup.topTwips(), PosY);
    QCOMPARE(p.popup.window()->geometry(), QRect(100, 200, 360, 61));
    QCOMPARE(p.popup.Tpopup()->interval(), 2500);
    p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::GoingOut));
    p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
    QVERIFY(!p.popup.window()->isVisible());
}

void TestNotice::noticeDuringTheHoldRestartsIt()
{
    Popup p(1);
    p.notice(QStringLiteral("first"), 1000);
    p.ticksUntilPhaseChanges();
    p.notice(QStringLiteral("second"), 4000);
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Held));
    QCOMPARE(p.popup.Tpopup()->interval(), 4000);
    QVERIFY(p.popup.Tpopup()->isActive());
    QCOMPARE(p.popup.topTwips(), PosY - 15);
    QCOMPARE(label(p.popup.window(), "Lstato1")->text(), QStringLiteral("second"));
    QCOMPARE(label(p.popup.window(), "Lstato0")->text(), QStringLiteral("second"));
}

void TestNotice::noticeDuringTheSlideOutStartsFromTheBottom()
{
    Popup p(1);
    p.notice();
    p.ticksUntilPhaseChanges();
    p.popup.Tpopup_Timer();
    for (int n = 0; n < 5; ++n)
        p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::GoingOut));
    p.notice(QStringLiteral("again"));
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::ComingIn));
    QCOMPARE(p.popup.heightTwips(), 0);
    QCOMPARE(p.popup.topTwips(), PosY + 915);
    QCOMPARE(p.ticksUntilPhaseChanges(), 31);
}

void TestNotice::fadeNoticeDuringTheHoldLeavesInOneStep()
{
    Popup p(2);
    p.notice();
    p.ticksUntilPhaseChanges();
    p.notice(QStringLiteral("second"));
    QCOMPARE(p.popup.OpacitaPopup(), 0);
    QCOMPARE(p.popup.window()->windowOpacity(), 1.0);
    p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::GoingOut));
    p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
}

void TestNotice::nothingWhileTheProgramCloses()
{
    Popup p(1);
    p.state.InChiusura = true;
    p.notice();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
    QVERIFY(!p.popup.Tpopup()->isActive());
    QVERIFY(p.popup.window() == nullptr);
}

void TestNotice::offScreenPositionUsesThePrimaryCorner_data()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint corner(area.right() + 1 - 360, area.bottom() + 1 - 61);
    QTest::addColumn<QString>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("on screen, low on it (beyond 16 bits for a tall screen too)")
        << QString::number(15 * 20) << (screen.bottom() - 61) * 15 << QPoint(20, screen.bottom() - 61);
    QTest::newRow("far right of every screen") << QString::number((screen.right() + 500) * 15) << PosY << corner;
    QTest::newRow("far below every screen") << QString::number(PosX) << 40000 * 15 << corner;
    QTest::newRow("not a number") << QStringLiteral("abc") << PosY << corner;
}

void TestNotice::offScreenPositionUsesThePrimaryCorner()
{
    QFETCH(QString, x);
    QFETCH(int, y);
    QFETCH(QPoint, expected);
    Popup p(0);
    p.options.MsgPosX = x;
    p.options.MsgPosY = y;
    p.notice();
    p.popup.Tpopup_Timer();
    QCOMPARE(p.popup.window()->pos(), expected);
}

void TestNotice::showsWithoutTakingTheFocus()
{
    Popup p(0);
    p.notice();
    p.popup.Tpopup_Timer();
    FrmMsg *w = p.popup.window();
    QVERIFY(w->isVisible());
    for (Qt::WindowType flag : {Qt::WindowDoesNotAcceptFocus, Qt::WindowStaysOnTopHint, Qt::Tool,
                                Qt::FramelessWindowHint})
        QVERIFY(w->windowFlags().testFlag(flag));
    QVERIFY(w->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(w->focusPolicy(), Qt::NoFocus);
}

void TestNotice::whiteOutlineRows_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("inside");
    QTest::newRow("top left corner cut") << QPoint(0, 0) << false;
    QTest::newRow("row 0 starts at 9") << QPoint(9, 0) << true;
    QTest::newRow("row 0 before 9") << QPoint(8, 0) << false;
    QTest::newRow("row 0 ends at 350") << QPoint(350, 0) << true;
    QTest::newRow("row 0 after 350") << QPoint(351, 0) << false;
    QTest::newRow("row 3: both entries join up to 358") << QPoint(358, 3) << true;
    QTest::newRow("row 3: 359 cut") << QPoint(359, 3) << false;
    QTest::newRow("row 3 starts at 3") << QPoint(3, 3) << true;
    QTest::newRow("middle, full width left") << QPoint(0, 30) << true;
    QTest::newRow("middle, full width right") << QPoint(359, 30) << true;
    QTest::newRow("row 60 ends at 351") << QPoint(351, 60) << true;
    QTest::newRow("row 60 cut at 352") << QPoint(352, 60) << false;
    QTest::newRow("below the last row") << QPoint(100, 61) << false;
}

void TestNotice::whiteOutlineRows()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, inside);
    QCOMPARE(FrmMsg::whiteOutline().contains(pixel), inside);
    QCOMPARE(FrmMsg(FrmMsg::White, QString()).mask().contains(pixel), inside);
    QVERIFY(FrmMsg(FrmMsg::Gray, QString()).mask().isEmpty());
}

void TestNotice::fontFollowsTheTextLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("points");
    QTest::newRow("33 characters") << 33 << 12;
    QTest::newRow("34 characters") << 34 << 11;
}

void TestNotice::fontFollowsTheTextLength()
{
    QFETCH(int, length);
    QFETCH(int, points);
    Popup p(0);
    p.notice(QString(length, QLatin1Char('a')));
    for (const char *name : {"Lstato0", "Lstato1"}) {
        QCOMPARE(label(p.popup.window(), name)->font().pointSize(), points);
        QVERIFY(label(p.popup.window(), name)->font().bold());
    }
}

void TestNotice::auxiliaryWindowOnTopAgainAfterTheNotice_data()
{
    QTest::addColumn<bool>("checked");
    QTest::newRow("kept on top: on top again") << true;
    QTest::newRow("not kept on top: left alone") << false;
}

void TestNotice::auxiliaryWindowOnTopAgainAfterTheNotice()
{
    QFETCH(bool, checked);
    QWidget aux;
    aux.setObjectName(QStringLiteral("FrmAux"));
    auto *contop = new QCheckBox(&aux);
    contop->setObjectName(QStringLiteral("Contop"));
    contop->setChecked(checked);
    aux.show();
    Popup p(0);
    p.notice();
    p.ticksUntilPhaseChanges();
    p.ticksUntilPhaseChanges();
    p.ticksUntilPhaseChanges();
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
    QCOMPARE(aux.windowFlags().testFlag(Qt::WindowStaysOnTopHint), checked);
    QVERIFY(aux.isVisible());
}

void TestNotice::previewStoresItsPlaceOnlyOnOk()
{
    TestFolder folder;
    ProgramSettings settings(folder.settingsFile());
    ShellOptions options;
    options.MsgPosX = QStringLiteral("1500");
    options.MsgPosY = 3000;
    {
        FrmPrev cancelled(settings, options);
        cancelled.show();
        QCOMPARE(cancelled.pos(), QPoint(100, 200));
        QVERIFY(Snapping::isDocked(&cancelled));
        cancelled.move(10, 10);
        cancelled.reject();
    }
    QCOMPARE(settings.read(SettingKeys::MsgPosX), QString());
    QCOMPARE(options.MsgPosY, 3000);

    FrmPrev prev(settings, options);
    prev.show();
    prev.move(40, 300);
    auto *ok = prev.findChild<QPushButton *>(QStringLiteral("Cok"));
    QVERIFY(ok);
    QCOMPARE(ok->accessibleName(), QStringLiteral("OK"));
    ok->click();
    QCOMPARE(prev.result(), int(QDialog::Accepted));
    QCOMPARE(settings.read(SettingKeys::MsgPosX), QStringLiteral("600"));
    QCOMPARE(settings.read(SettingKeys::MsgPosY), QStringLiteral("4500"));
    QCOMPARE(options.MsgPosX, QStringLiteral("600"));
    QCOMPARE(options.MsgPosY, 4500);
    QVERIFY(!Snapping::isDocked(&prev));
    QVERIFY(!prev.isVisible());

    // A stored place off every screen: the preview opens where the notice would show.
    options.MsgPosX = QStringLiteral("9999999");
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(FrmPrev(settings, options).pos(), QPoint(area.right() + 1 - 360, area.bottom() + 1 - 61));
}

void TestNotice::previewShowsTheNoticeAsItWillLook_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("ownPicture"); // a mymsg.jpg in the program folder
    QTest::newRow("blue") << int(FrmMsg::Blue) << false;
    QTest::newRow("gray") << int(FrmMsg::Gray) << false;
    QTest::newRow("white, with its outline") << int(FrmMsg::White) << false;
    QTest::newRow("custom: mymsg.jpg") << int(FrmMsg::Custom) << true;
}

// The preview is the notice itself with a sample line: the same background, picture, text
// and outline, under the instruction and the OK button.
void TestNotice::previewShowsTheNoticeAsItWillLook()
{
    QFETCH(int, scheme);
    QFETCH(bool, ownPicture);
    TestFolder folder;
    if (ownPicture) {
        QImage own(FrmMsg::Width, FrmMsg::Height, QImage::Format_RGB32);
        own.fill(QColor(200, 30, 40));
        QVERIFY(own.save(folder.filePath(QStringLiteral("mymsg.jpg"))));
    }
    ProgramSettings settings(folder.settingsFile());
    ShellOptions options;
    options.OpzMsgType = QString::number(scheme);
    const QString line = QStringLiteral("Monitor del bus avviato");
    FrmPrev prev(settings, options, nullptr, {folder.path(), line});
    auto *sample = prev.findChild<FrmMsg *>(QStringLiteral("sample"));
    QVERIFY(sample);
    QCOMPARE(label(sample, "Lstato1")->text(), line);

    FrmMsg notice(scheme, folder.path());
    notice.setTexts(line, QString(), QIcon(QStringLiteral(":/notice/notice-picture.svg")).pixmap(32, 32));
    // Below the instruction and left of the button, the preview is pixel for pixel the notice.
    const QImage shown = prev.grab().toImage();
    const QImage expected = notice.grab().toImage();
    const QRegion outline = scheme == FrmMsg::White ? FrmMsg::whiteOutline() : QRegion(prev.rect());
    int differing = 0;
    for (int y = 20; y < FrmMsg::Height; ++y)
        for (int x = 0; x < 280; ++x)
            differing += outline.contains(QPoint(x, y)) && shown.pixel(x, y) != expected.pixel(x, y);
    QCOMPARE(differing, 0);
    QCOMPARE(prev.mask(), scheme == FrmMsg::White ? FrmMsg::whiteOutline() : QRegion());
    if (ownPicture)
        QVERIFY(QColor(shown.pixel(20, 55)).red() > 150);
}

void TestNotice::noticesWaitBehindThePreview_data()
{
    QTest::addColumn<QString>("close"); // how the preview is left
    QTest::addColumn<bool>("stored");
    QTest::newRow("OK clicked") << "click" << true;
    QTest::newRow("Enter") << "enter" << true;
    QTest::newRow("Escape") << "escape" << false;
}

// While the preview is up the notice makes way; the latest notice that came meanwhile shows
// once the preview goes. The preview takes its OK, Enter and Escape itself.
void TestNotice::noticesWaitBehindThePreview()
{
    QFETCH(QString, close);
    QFETCH(bool, stored);
    Popup p(0);
    p.notice(QStringLiteral("before"));
    p.popup.Tpopup_Timer();
    QVERIFY(p.popup.window()->isVisible());

    ProgramSettings settings(p.folder.settingsFile());
    FrmPrev prev(settings, p.options);
    p.popup.waitFor(&prev);
    prev.show();
    QVERIFY(p.popup.waiting());
    QVERIFY(!p.popup.window()->isVisible());
    QCOMPARE(p.popup.FasePopup(), int(NoticePopup::Idle));
    p.notice(QStringLiteral("during, first"));
    p.notice(QStringLiteral("during, latest"));
    QCoreApplication::processEvents();
    QVERIFY(!p.popup.window()->isVisible());
    QVERIFY(!p.popup.Tpopup()->isActive());

    auto *ok = prev.findChild<QPushButton *>(QStringLiteral("Cok"));
    if (close == QLatin1String("click"))
        QTest::mouseClick(ok, Qt::LeftButton);
    else
        QTest::keyClick(&prev, close == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
    QVERIFY(!prev.isVisible());
    QCOMPARE(prev.result(), int(stored ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(settings.read(SettingKeys::MsgPosX).isEmpty(), !stored);
    QVERIFY(!p.popup.waiting());
    p.popup.Tpopup_Timer();
    QTRY_VERIFY(p.popup.window()->isVisible());
    QCOMPARE(label(p.popup.window(), "Lstato1")->text(), QStringLiteral("during, latest"));
}

void TestNotice::noTicksOnceTheNoticeHasGone()
{
    // The real timer this time: in, held 50 ms, out, and then silence.
    Popup p(1);
    QSignalSpy ticks(p.popup.Tpopup(), &QTimer::timeout);
    p.notice(QStringLiteral("x"), 50);
    QTRY_COMPARE_WITH_TIMEOUT(p.popup.FasePopup(), int(NoticePopup::Idle), 5000);
    QVERIFY(ticks.size() >= 31 + 1 + 31);
    ticks.clear();
    QTest::qWait(300);
    QCOMPARE(ticks.size(), 0);
    QVERIFY(!p.popup.window()->isVisible());
}

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
