#include "shell/main/CommandBoxWidget.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/LogSearch.h"

#include <QStandardPaths>
#include <QtTest>

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void bound_data();
    void bound();
    void longLines_data();
    void longLines();
    void boundKeepsSelectionOnItsText();
    void textRoundTrip();
    void search_data();
    void search();
    void searchWalksAndWraps();
    void frameShape_data();
    void frameShape();
    void clickOnEmptyBox();
};

namespace {
QString line(int length, QChar c) { return QString(length, c) + QStringLiteral("\r\n"); }
} // namespace

void TestConsole::bound_data()
{
    QTest::addColumn<QStringList>("appends");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("startsWith");

    // 52 + 3 * 2500 + 2449 = 10001: only the first line goes.
    const QString longest = line(ConsolePane::MaxLineLength - 2, QLatin1Char('b'));
    QTest::newRow("10001 with a 50-character first line")
        << QStringList{line(50, QLatin1Char('a')) + longest + longest + longest + line(2447, QLatin1Char('b'))}
        << 9949 << QStringLiteral("bbb");
    QTest::newRow("exactly at the bound") << QStringList{longest, longest, longest, longest} << 10000
                                          << QStringLiteral("bbb");
    QStringList many;
    for (int i = 0; i < 100; ++i)
        many << line(98, QChar(QLatin1Char('A' + i % 26)));
    many << line(498, QLatin1Char('z'));
    // 100 lines of 100 fill the pane; the 500-character line pushes out the first five in one edit.
    QTest::newRow("several lines in one step") << many << 10000 << QString(98, QLatin1Char('F'));
}

void TestConsole::bound()
{
    QFETCH(QStringList, appends);
    QFETCH(int, length);
    QFETCH(QString, startsWith);
    ConsolePane pane(QStringLiteral("Tlog"));
    for (const QString &a : appends)
        pane.appendText(a);
    QCOMPARE(pane.length(), length);
    QCOMPARE(pane.text().size(), length);
    QVERIFY2(pane.text().startsWith(startsWith), qPrintable(pane.text().left(40)));
}

void TestConsole::longLines_data()
{
    QTest::addColumn<QStringList>("appends");
    QTest::addColumn<QString>("expected");

    const QString earlier = line(50, QLatin1Char('a')) + line(60, QLatin1Char('b'));
    const QString kept = QString(ConsolePane::MaxLineLength, QLatin1Char('x'));
    const QString mark(QChar(0x2026));
    const QString megabyte(1 << 20, QLatin1Char('x'));
    QTest::newRow("1 MB line: cut, earlier lines kept")
        << QStringList{earlier, megabyte + QStringLiteral("\r\n"), QStringLiteral("next\r\n")}
        << earlier + kept + mark + QStringLiteral("\r\nnext\r\n");
    QTest::newRow("1 MB line arriving in pieces")
        << QStringList{earlier, QString(2000, QLatin1Char('x')), megabyte, QStringLiteral("yyy"), QStringLiteral("\r\nnext")}
        << earlier + kept + mark + QStringLiteral("\r\nnext");
    QTest::newRow("exactly the longest line") << QStringList{kept + QStringLiteral("\r\n")} << kept + QStringLiteral("\r\n");
    QTest::newRow("one character more, in the next piece")
        << QStringList{kept, QStringLiteral("y\r\n")} << kept + mark + QStringLiteral("\r\n");

    // 1 MB of 100-character lines at once after an open line: what the pane holds is the last
    // hundred of them.
    QString flood;
    QString last;
    constexpr int Lines = (1 << 20) / 100;
    for (int i = 0; i < Lines; ++i) {
        const QString l = QStringLiteral("%1\r\n").arg(i, 98, 10, QLatin1Char('0'));
        flood += l;
        if (i >= Lines - 100)
            last += l;
    }
    QTest::newRow("1 MB of short lines") << QStringList{earlier + QStringLiteral("open line "), flood} << last;
}

void TestConsole::longLines()
{
    QFETCH(QStringList, appends);
    QFETCH(QString, expected);
    ConsolePane pane(QStringLiteral("Tlog"));
    for (const QString &a : appends)
        pane.appendText(a);
    QCOMPARE(pane.text(), expected);
    QCOMPARE(pane.length(), expected.size());
}

void TestConsole::boundKeepsSelectionOnItsText()
{
    ConsolePane pane(QStringLiteral("Tlog"));
    pane.setCaretFollowsText(false);
    for (int i = 0; i < 99; ++i)
        pane.appendText(line(98, QLatin1Char('a')) );
    pane.appendText(QStringLiteral("needle here\r\n"));
    QTextCursor c = pane.textCursor();
    const int at = int(pane.toPlainText().indexOf(QStringLiteral("needle")));
    c.setPosition(at);
    c.setPosition(at + 6, QTextCursor::KeepAnchor);
    pane.setTextCursor(c);
    pane.appendText(line(298, QLatin1Char('z')));
    QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("needle"));
}

void TestConsole::textRoundTrip()
{
    ConsolePane pane(QStringLiteral("TlogC"));
    pane.appendText(QStringLiteral("10:00:00: -> *99*0##\r\n"));
    pane.appendText(QStringLiteral("10:00:01: *#*1##\r\n"));
    QCOMPARE(pane.text(), QStringLiteral("10:00:00: -> *99*0##\r\n10:00:01: *#*1##\r\n"));
    QCOMPARE(pane.length(), pane.text().size());
    pane.clear();
    QCOMPARE(pane.length(), 0);
    QCOMPARE(pane.text(), QString());
}

void TestConsole::search_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("found");

    const int nothing = int(LogSearch::Outcome::Nothing), found = int(LogSearch::Outcome::Found),
              notFound = int(LogSearch::Outcome::NotFound);
    QTest::newRow("whole log") << "Luce cucina" << 0 << 0 << "luce cucina" << found << 0;
    QTest::newRow("longer than the log: not even the message") << "abc" << 0 << 0 << "abcd" << nothing << -1;
    QTest::newRow("letter case ignored") << "x LUCE y" << 0 << 0 << "luce" << found << 2;
    QTest::newRow("absent from the start") << "abc abc" << 0 << 0 << "zz" << notFound << -1;
    QTest::newRow("absent past the caret, wraps") << "abc def" << 4 << 0 << "abc" << found << 0;
    QTest::newRow("match at the start selected: steps past it") << "ab ab" << 0 << 2 << "ab" << found << 3;
    QTest::newRow("caret at the start, nothing selected") << "ab ab" << 0 << 0 << "ab" << found << 0;
    QTest::newRow("starts one past the selection start") << "aaa" << 0 << 1 << "aa" << found << 1;
}

void TestConsole::search()
{
    QFETCH(QString, log);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, needle);
    QFETCH(int, outcome);
    QFETCH(int, found);
    const LogSearch::Result r = LogSearch::find(log, selStart, selLength, needle);
    QCOMPARE(int(r.outcome), outcome);
    if (r.outcome == LogSearch::Outcome::Found) {
        QCOMPARE(r.start, found);
        QCOMPARE(r.length, needle.size());
    }
}

void TestConsole::searchWalksAndWraps()
{
    const QString log = QStringLiteral("cucina on\nbagno\ncucina off\n");
    QList<int> seen;
    int start = 0, length = 0;
    for (int i = 0; i < 3; ++i) {
        const auto r = LogSearch::find(log, start, length, QStringLiteral("CUCINA"));
        QCOMPARE(r.outcome, LogSearch::Outcome::Found);
        seen << r.start;
        start = r.start;
        length = r.length;
    }
    QCOMPARE(seen, (QList<int>{0, 16, 0}));
}

void TestConsole::frameShape_data()
{
    using R = CommandBoxWidget::Refusal;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("frames");
    QTest::addColumn<CommandBoxWidget::Refusal>("refusal");
    QTest::newRow("command") << "*1*1*11##" << "*1*1*11##" << R::None;
    QTest::newRow("status request") << "*#4*1##" << "*#4*1##" << R::None;
    QTest::newRow("two frames") << "*1*1*11##*#1*11##" << "*1*1*11##*#1*11##" << R::None;
    QTest::newRow("frame inside the box's *##") << "**1*1*11####" << "*1*1*11##" << R::None;
    QTest::newRow("two frames inside the box's *##") << "**1*1*11##*1*0*11####" << "*1*1*11##*1*0*11##" << R::None;
    QTest::newRow("frame after the box's *##") << "*##*1*1*11##" << "*1*1*11##" << R::None;
    QTest::newRow("box's *## alone") << "*##" << "" << R::NoWho;
    QTest::newRow("no WHO") << "**1*11##" << "" << R::NoWho;
    QTest::newRow("no leading star") << "1*1*11##" << "" << R::Shape;
    QTest::newRow("single closing hash") << "*1*1*11#" << "" << R::Shape;
    QTest::newRow("star alone") << "*" << "" << R::Shape;
    QTest::newRow("letter") << "*1*1*1a##" << "" << R::Characters;
    QTest::newRow("blanks only") << "   " << "" << R::Empty;
}

void TestConsole::frameShape()
{
    QFETCH(QString, text);
    QFETCH(QString, frames);
    QFETCH(CommandBoxWidget::Refusal, refusal);
    const CommandBoxWidget::Typed typed = CommandBoxWidget::framesIn(text);
    QCOMPARE(typed.frames, frames);
    QCOMPARE(typed.refusal, refusal);
}

void TestConsole::clickOnEmptyBox()
{
    CommandBoxWidget box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(box.text(), QStringLiteral("*##"));
    QCOMPARE(box.cursorPosition(), 1);
    box.setText(QStringLiteral("*1*0*12##"));
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(box.text(), QStringLiteral("*1*0*12##"));
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
