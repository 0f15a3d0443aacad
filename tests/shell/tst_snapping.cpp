#include "shell/snapping/Snapping.h"
#include "shell/snapping/Snap.h"
#include "shell/snapping/SnapDrag.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

using Snap::Edges;

Q_DECLARE_METATYPE(Snap::Edges)

namespace {

// A 100 x 50 window with its top left corner at x, y.
Edges box(int x, int y, int w = 100, int h = 50) { return {x, y, x + w, y + h}; }

const Edges WorkArea{0, 0, 1280, 770};

// One move step of a drag that starts with the cursor 10, 10 inside the window.
Edges moved(const Edges &proposed, const QList<Edges> &targets)
{
    const QPoint cursor(proposed.left + 10, proposed.top + 10);
    Snap::Drag drag = Snap::start(proposed, cursor);
    return Snap::moveStep(proposed, cursor, targets, drag);
}

void press(QWidget *w, QPoint global, QEvent::Type type, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, w->mapFromGlobal(global), w->mapFromGlobal(global), global, Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestSnapping : public QObject
{
    Q_OBJECT

private slots:
    void moveStep_data();
    void moveStep();
    void leavesTheSnapOnceTheCursorPullsFarEnough();
    void sizeStepMovesOnlyTheDraggedEdges();
    void registersEachWindowOnce();
    void closedOrDestroyedWindowsLeave();
    void draggedWindowSnapsToAnother();
};

void TestSnapping::moveStep_data()
{
    QTest::addColumn<Edges>("proposed");
    QTest::addColumn<QList<Edges>>("targets");
    QTest::addColumn<Edges>("expected");

    QTest::newRow("14 px from the work area's left: snaps") << box(14, 300) << QList<Edges>{WorkArea}
                                                             << box(0, 300);
    QTest::newRow("15 px from the work area's left: stays") << box(15, 300) << QList<Edges>{WorkArea}
                                                             << box(15, 300);
    QTest::newRow("right edge 14 px short of the work area's right")
        << box(1166, 300) << QList<Edges>{WorkArea} << box(1180, 300);
    QTest::newRow("bottom to the work area's bottom, both axes")
        << box(5, 712) << QList<Edges>{WorkArea} << box(0, 720);
    // The window's left is 10 px from one window's right and 6 px from another's.
    QTest::newRow("10 and 6 px: the closer wins") << box(400, 300)
                                                  << QList<Edges>{WorkArea, box(290, 300), box(294, 300)}
                                                  << box(394, 300);
    QTest::newRow("6 and 10 px: the closer wins whatever the order")
        << box(400, 300) << QList<Edges>{WorkArea, box(294, 300), box(290, 300)} << box(394, 300);
    QTest::newRow("left 10 px, right 6 px from two targets: the right one wins")
        << box(400, 300) << QList<Edges>{WorkArea, box(290, 300), box(506, 300)} << box(406, 300);
    QTest::newRow("equal distance: the earlier target stays")
        << box(400, 300) << QList<Edges>{WorkArea, box(292, 300), box(508, 300, 100, 50)} << box(392, 300);
    QTest::newRow("beside another but 16 px below it: no side snap")
        << box(410, 366) << QList<Edges>{WorkArea, box(300, 300)} << box(410, 366);
    QTest::newRow("beside another, 14 px below it: side and bottom snap")
        << box(410, 364) << QList<Edges>{WorkArea, box(300, 300)} << box(400, 350);
    QTest::newRow("above another, apart sideways: no top snap")
        << box(520, 240) << QList<Edges>{WorkArea, box(300, 300)} << box(520, 240);
}

void TestSnapping::moveStep()
{
    QFETCH(Edges, proposed);
    QFETCH(QList<Edges>, targets);
    QFETCH(Edges, expected);
    const Edges got = moved(proposed, targets);
    QVERIFY2(got == expected, qPrintable(QStringLiteral("got %1,%2").arg(got.left).arg(got.top)));
}

void TestSnapping::leavesTheSnapOnceTheCursorPullsFarEnough()
{
    // Grabbed at 10, 10 with the window 20 px from the left edge: it sticks at 0 while the cursor
    // would put it less than 15 px from the edge, and leaves at 15.
    const QList<Edges> targets{WorkArea};
    Snap::Drag drag = Snap::start(box(20, 300), QPoint(30, 310));
    struct Step
    {
        int cursorX, left;
        bool stuck;
    } steps[] = {{30, 20, false}, {22, 0, true}, {24, 0, true}, {20, 0, true}, {25, 15, false}, {23, 0, true}};
    for (const Step &s : steps) {
        // The platform proposes the window where the last step left it, moved by the cursor.
        const Edges proposed = box(s.cursorX - drag.cursorOffset.x(), 300);
        const Edges got = Snap::moveStep(proposed, QPoint(s.cursorX, 310), targets, drag);
        QCOMPARE(got.left, s.left);
        QCOMPARE(drag.stuckX, s.stuck);
        QCOMPARE(drag.stuckY, false);
    }
}

void TestSnapping::sizeStepMovesOnlyTheDraggedEdges()
{
    const QList<Edges> targets{WorkArea};
    // Dragging the left edge: the left snaps, the right stays; the other dragged edge is the
    // bottom one, which is far from everything.
    QVERIFY(Snap::sizeStep({8, 300, 200, 400}, Snap::SizeEdge::Left, targets) == (Edges{0, 300, 200, 400}));
    QVERIFY(Snap::sizeStep({100, 9, 200, 400}, Snap::SizeEdge::TopRight, targets) == (Edges{100, 0, 200, 400}));
    QVERIFY(Snap::sizeStep({100, 300, 1270, 760}, Snap::SizeEdge::BottomRight, targets)
            == (Edges{100, 300, 1280, 770}));
    // The right edge is near the work area's right, but only the left one is being dragged.
    QVERIFY(Snap::sizeStep({100, 300, 1270, 400}, Snap::SizeEdge::Left, targets) == (Edges{100, 300, 1270, 400}));
}

void TestSnapping::registersEachWindowOnce()
{
    QWidget a, b;
    Snapping::DockForm(&a);
    Snapping::DockForm(&b);
    Snapping::DockForm(&a);
    QCOMPARE(Snapping::docked(), (QList<QWidget *>{&a, &b}));
    Snapping::UndockForm(&a);
    Snapping::UndockForm(&a);
    QCOMPARE(Snapping::docked(), QList<QWidget *>{&b});
    Snapping::UndockForm(&b);
    QVERIFY(Snapping::docked().isEmpty());
}

void TestSnapping::closedOrDestroyedWindowsLeave()
{
    auto *gone = new QWidget;
    QWidget closed, refuses;
    Snapping::DockForm(gone);
    Snapping::DockForm(&closed);
    Snapping::DockForm(&refuses);
    closed.show();
    refuses.show();
    delete gone;
    closed.close();
    // A window whose close is refused stays: it is still on screen and still a target.
    struct Refuse : QObject
    {
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Close)
                e->ignore();
            return e->type() == QEvent::Close;
        }
    } refuse;
    refuses.installEventFilter(&refuse);
    refuses.close();
    QCoreApplication::processEvents();
    QCOMPARE(Snapping::docked(), QList<QWidget *>{&refuses});
    QVERIFY(!SnapDrag::targets(&refuses).isEmpty());
    Snapping::UndockForm(&refuses);
}

void TestSnapping::draggedWindowSnapsToAnother()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget other(nullptr, Qt::FramelessWindowHint);
    other.setGeometry(area.x() + 200, area.y() + 200, 100, 100);
    other.show();
    QWidget moving(nullptr, Qt::FramelessWindowHint);
    moving.setGeometry(area.x() + 400, area.y() + 230, 80, 40);
    moving.show();
    QVERIFY(QTest::qWaitForWindowExposed(&moving));
    Snapping::DockForm(&moving);
    auto *drag = new SnapDrag(&moving);

    // Grabbed 5, 5 inside and dragged so that its left lands 8 px right of the other's right.
    const QPoint grab = moving.pos() + QPoint(5, 5);
    press(&moving, grab, QEvent::MouseButtonPress, Qt::LeftButton);
    press(&moving, QPoint(area.x() + 308 + 5, area.y() + 235), QEvent::MouseMove, Qt::LeftButton);
    QCOMPARE(moving.pos(), QPoint(area.x() + 300, area.y() + 230));
    press(&moving, QPoint(area.x() + 308 + 5, area.y() + 235), QEvent::MouseButtonRelease, Qt::NoButton);

    // Not registered any more: the same drag, by a label, just follows the cursor.
    Snapping::UndockForm(&moving);
    auto *label = new QLabel(QStringLiteral("zone"), &moving);
    label->setGeometry(0, 0, 80, 40);
    label->show();
    drag->addPart(label);
    moving.move(area.x() + 400, area.y() + 230);
    press(label, grab, QEvent::MouseButtonPress, Qt::LeftButton);
    press(label, QPoint(area.x() + 308 + 5, area.y() + 235), QEvent::MouseMove, Qt::LeftButton);
    QCOMPARE(moving.pos(), QPoint(area.x() + 308, area.y() + 230));

    // A right-button release on a part is the window's menu, not a drag.
    int menus = 0;
    drag->onRightRelease = [&menus] { ++menus; };
    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), QPointF(grab), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &right);
    QCOMPARE(menus, 1);
}

QTEST_MAIN(TestSnapping)
#include "tst_snapping.moc"
