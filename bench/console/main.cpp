// A monitor pane, shown, receiving one very long line: the time from the append to the pane
// laid out and painted again (goal: under 50 ms for a 1 MB line), and the same for a 10 MB run
// without a line end arriving in 64 KB reads, as a flood from the gateway does.
//
//   QT_QPA_PLATFORM=offscreen bench_console [runs]
#include "shell/main/ConsolePane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void report(const char *what, std::vector<double> v, int runs)
{
    std::sort(v.begin(), v.end());
    std::printf("%-44s median %8.1f ms  best %8.1f  worst %8.1f   (QT_QPA_PLATFORM=offscreen bench_console %d)\n", what,
                v[v.size() / 2], v.front(), v.back(), runs);
}

void fill(ConsolePane &pane)
{
    pane.clear();
    for (int i = 0; i < 100; ++i)
        pane.appendText(QStringLiteral("12:34:56: Luce soggiorno: accesa (*1*1*11##)\r\n"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ConsolePane pane(QStringLiteral("Tlog"));
    pane.resize(700, 400);
    pane.show();
    if (!QTest::qWaitForWindowExposed(&pane, 5000))
        return 1;

    const QString megabyte = QString(1 << 20, QLatin1Char('7')) + QStringLiteral("\r\n");
    const QString piece(64 << 10, QLatin1Char('8'));
    std::vector<double> lineMs, runMs;
    for (int r = 0; r < runs; ++r) {
        fill(pane);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        pane.appendText(megabyte);
        QCoreApplication::processEvents();
        lineMs.push_back(double(clock.nsecsElapsed()) / 1e6);

        fill(pane);
        QCoreApplication::processEvents();
        clock.start();
        for (int i = 0; i < 160; ++i) { // 10 MB
            pane.appendText(piece);
            QCoreApplication::processEvents();
        }
        runMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!pane.text().startsWith(QStringLiteral("12:34:56"))) {
            std::fprintf(stderr, "the earlier lines were lost\n");
            return 1;
        }
    }
    report("1 MB line into a shown pane", lineMs, runs);
    report("10 MB without a line end, 64 KB pieces", runMs, runs);
    return 0;
}
