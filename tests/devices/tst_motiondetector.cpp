#include "devices/camera/MotionDetector.h"

#include <QImage>
#include <QtTest>

namespace {

const QRgb Grey = qRgb(120, 120, 120);
const QRgb White = qRgb(255, 255, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);

using Points = QList<QPoint>; // grid coordinates (i, j)

QImage scene(QRgb colour, const Points &changed = {}, QRgb changedColour = White)
{
    QImage image(MotionState::PictureWidth, MotionState::PictureHeight, QImage::Format_RGB32);
    image.fill(colour);
    for (const QPoint &g : changed)
        image.setPixel(g.x() * 20, g.y() * 20, changedColour);
    return image;
}

// A detector that has watched a still grey scene long enough to take it as its reference.
MotionState settledOn(QRgb colour, qint16 tolerance = 30)
{
    MotionState s;
    s.Tolleranza = tolerance;
    std::fill(s.ColoriPrecedenti.begin(), s.ColoriPrecedenti.end(), colour);
    return s;
}

Points block(int i0, int j0, int columns, int rows)
{
    Points p;
    for (int i = i0; i < i0 + columns; ++i)
        for (int j = j0; j < j0 + rows; ++j)
            p << QPoint(i, j);
    return p;
}

Points firstPoints(int count)
{
    // Spread over the grid, never neighbours, so none is real.
    Points p;
    for (int k = 0; k < count; ++k)
        p << QPoint((k % 5) * 3, (k / 5) * 3);
    return p;
}

int countPixels(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 12; ++j)
            n += image.pixel(i * 20, j * 20) == colour ? 1 : 0;
    return n;
}

} // namespace

// Movement between camera pictures on the 16 x 12 sample grid.
class TestMotionDetector : public QObject
{
    Q_OBJECT

private slots:
    void changedPoints_data();
    void changedPoints();
    void stillSceneSinksTolerance();
    void settlePhase_data();
    void settlePhase();
    void toleranceBound();
    void averageRestartsWithoutAdapting();
};

void TestMotionDetector::changedPoints_data()
{
    QTest::addColumn<Points>("changed");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("real");
    QTest::addColumn<bool>("alarm");

    QTest::newRow("isolated point: red, not real") << Points{{5, 5}} << 0 << 0 << false;
    QTest::newRow("3x3 block: its centre is real") << block(5, 5, 3, 3) << 4 << 1 << false;
    QTest::newRow("4x3 block: two inner points") << block(5, 5, 4, 3) << 6 << 2 << true;
    QTest::newRow("10 points are 5 %") << firstPoints(10) << 5 << 0 << false;
    QTest::newRow("11 points are 5 %") << firstPoints(11) << 5 << 0 << false;
    QTest::newRow("12 points are 6 %: alarm") << firstPoints(12) << 6 << 0 << true;
    QTest::newRow("outer columns never real") << block(0, 0, 2, 12) + block(14, 0, 2, 12) << 25 << 0 << true;
    QTest::newRow("whole picture: only inner points real") << block(0, 0, 16, 12) << 100 << 140 << true;
}

void TestMotionDetector::changedPoints()
{
    QFETCH(Points, changed);
    QFETCH(int, percent);
    QFETCH(int, real);
    QFETCH(bool, alarm);

    MotionState s = settledOn(Grey);
    QImage picture = scene(Grey, changed);
    const MotionDetector::Result r = MotionDetector::RilevaMovimento(picture, s);

    QCOMPARE(r.percent, percent);
    QCOMPARE(r.alarm, alarm);
    QCOMPARE(s.Cambiati, int(changed.size()));
    QCOMPARE(s.Fermi, 192 - int(changed.size()));
    QCOMPARE(s.Reali, real);
    QCOMPARE(countPixels(picture, Green), real);
    QCOMPARE(countPixels(picture, Red), int(changed.size()) - real);
    QVERIFY(r.readout.startsWith(QString::number(percent) + QStringLiteral(" % movement\r\nReal Movement: ")
                                 + QString::number(real) + QStringLiteral("\r\nTolleranza: ")));
    // Changed points take the new colour as their reference; still ones keep theirs.
    for (const QPoint &g : changed)
        QCOMPARE(s.ColoriPrecedenti[size_t(s.index(g.x(), g.y()))], White);
    QCOMPARE(s.ColoriPrecedenti[size_t(s.index(15, 11))], changed.contains(QPoint(15, 11)) ? White : Grey);
}

void TestMotionDetector::stillSceneSinksTolerance()
{
    MotionState s = settledOn(Grey, 35);
    // Within the tolerance a slight drift is no change.
    const QImage still = scene(qRgb(130, 110, 125));
    QList<int> tolerances;
    for (int n = 0; n < 8; ++n) {
        QImage picture = still;
        const MotionDetector::Result r = MotionDetector::RilevaMovimento(picture, s);
        QVERIFY(!r.alarm);
        QVERIFY(r.readout.startsWith(QStringLiteral("0 % movement\r\n")));
        QVERIFY(picture == still);
        tolerances << s.Tolleranza;
    }
    QCOMPARE(tolerances, (QList<int>{34, 33, 32, 31, 30, 30, 30, 30}));
    QCOMPARE(s.ColoriPrecedenti.front(), Grey);
}

void TestMotionDetector::settlePhase_data()
{
    QTest::addColumn<int>("changedPoints");
    QTest::addColumn<bool>("stillSettling");
    QTest::addColumn<QString>("firstLine");

    // Above 5 %: shown as no movement, and no alarm.
    QTest::newRow("12 points keep settling") << 12 << true << QStringLiteral("0 % movement");
    QTest::newRow("10 points (5 %) change nothing") << 10 << true << QStringLiteral("5 % movement");
    QTest::newRow("5 points end it") << 5 << false << QStringLiteral("2 % movement");
}

void TestMotionDetector::settlePhase()
{
    QFETCH(int, changedPoints);
    QFETCH(bool, stillSettling);
    QFETCH(QString, firstLine);

    MotionState s = settledOn(Grey);
    s.Assestamento = true;
    s.SommaPercentuali = 40;
    s.Fotogrammi = 4;
    QImage picture = scene(Grey, firstPoints(changedPoints));
    const MotionDetector::Result r = MotionDetector::RilevaMovimento(picture, s);

    QVERIFY(!r.alarm);
    QCOMPARE(s.Assestamento, stillSettling);
    QCOMPARE(r.readout.section(QStringLiteral("\r\n"), 0, 0), firstLine);
    // Ending the phase restarts the running average.
    QCOMPARE(s.Fotogrammi, stillSettling ? 5 : 0);
    QCOMPARE(s.SommaPercentuali == 0, !stillSettling);
}

void TestMotionDetector::toleranceBound()
{
    // Every picture changes everywhere: the average is 100, the tolerance climbs while settling
    // (no alarm) and stops at 45 + 2 + 4.
    MotionState s = settledOn(Grey, 33);
    s.Assestamento = true;
    QList<int> tolerances;
    for (int n = 0; n < 5; ++n) {
        QImage picture = scene(n % 2 ? Grey : White);
        QVERIFY(!MotionDetector::RilevaMovimento(picture, s).alarm);
        tolerances << s.Tolleranza;
    }
    QCOMPARE(tolerances, (QList<int>{39, 45, 51, 51, 51}));
    QVERIFY(s.Assestamento);
}

void TestMotionDetector::averageRestartsWithoutAdapting()
{
    // The sum passes 10000 and restarts with no pictures counted: that picture leaves the
    // tolerance alone, the next adapts again.
    MotionState s = settledOn(Grey, 40);
    s.SommaPercentuali = 9950;
    s.Fotogrammi = 100;
    QImage everywhere = scene(White);
    MotionDetector::RilevaMovimento(everywhere, s);
    QCOMPARE(s.Fotogrammi, 0);
    QCOMPARE(s.SommaPercentuali, 0.0);
    QCOMPARE(int(s.Tolleranza), 40);

    QImage back = scene(Grey);
    MotionDetector::RilevaMovimento(back, s);
    QCOMPARE(s.Fotogrammi, 1);
    QCOMPARE(int(s.Tolleranza), 46);
}

QTEST_GUILESS_MAIN(TestMotionDetector)
#include "tst_motiondetector.moc"
