// The updater's text passes on large files, each on a file of about 1 MB and 10 MB:
//   scenario  a 1.0.3 conf.xml full of scenario-programmer examples (each put in a comment)
//   addr      a 1.0.4 conf.xml full of cameras whose "addr" attribute is renamed
//   cameras   a 1.0.2 conf.xml full of cameras gathered at the first one
//   ini       a language file of many sections, one value written into a section it lacks
// Prints the median time of each over several runs; the goal is under 1 s for every pass.
//
//   bench_updater [runs]
#include "updater/ConfMigration.h"
#include "updater/IniWriter.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// A conf.xml of the version whose body repeats `line` (and, every tenth line, a comment) up
// to about `bytes` characters.
QString confOf(const char *version, const QString &line, qsizetype bytes)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\r\n<ACTUATOR>\r\n<version number=\"%1\"></version>\r\n")
                       .arg(QLatin1String(version));
    text.reserve(bytes + 1024);
    for (int i = 0; text.size() < bytes; ++i) {
        text += line.arg(i % 12 + 1);
        if (i % 10 == 0)
            text += QStringLiteral("<!-- nota %1 -->\r\n").arg(i);
    }
    text += QStringLiteral("</ACTUATOR>\r\n");
    return text;
}

QString iniOf(qsizetype bytes)
{
    QString text;
    text.reserve(bytes + 1024);
    for (int i = 0; text.size() < bytes; ++i)
        text += QStringLiteral("[s%1]\r\n0=valore %1\r\n").arg(i);
    return text;
}

// One line per figure: median, best and worst of the runs, and the command that repeats them.
void timeIt(const QByteArray &what, int runs, const std::function<qsizetype()> &pass)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer clock;
        clock.start();
        if (pass() == 0) {
            std::fprintf(stderr, "a pass gave no text\n");
            std::exit(1);
        }
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-26s median %8.1f ms  best %8.1f  worst %8.1f   (bench_updater %d)\n", what.constData(), ms[ms.size() / 2],
                ms.front(), ms.back(), runs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const QString programmer = QStringLiteral(
        "<scmh200 name=\"scenario n.1\" number=\"1\" cenact=\"0101\" cendis=\"0101\" fstart=\"*1*1*11##\" ></scmh200>"
        "\r\n<!-- %1 -->\r\n");
    const QString addrCamera =
        QStringLiteral("<camera name=\"telecamera\" number=\"%1\" addr=\"4001\" type=\"1\"></camera>\r\n");
    const QString oldCamera = QStringLiteral("<camera name=\"telecamera\" number=\"%1\"></camera>\r\n"
                                             "<device point=\"11\" name=\"luce\" type=\"1\" group=\"1\"></device>\r\n");
    for (const qsizetype bytes : {qsizetype(1) << 20, qsizetype(10) << 20}) {
        const QString scenario = confOf("1.0.3", programmer, bytes);
        const QString addr = confOf("1.0.4", addrCamera, bytes);
        const QString cameras = confOf("1.0.2", oldCamera, bytes);
        const QString ini = iniOf(bytes);
        const QByteArray size = QByteArray::number(bytes >> 20) + " MB ";
        timeIt(size + "conf.xml, scenario", runs, [&] { return migrateConfText(scenario).text.size(); });
        timeIt(size + "conf.xml, addr", runs, [&] { return migrateConfText(addr).text.size(); });
        timeIt(size + "conf.xml, cameras", runs, [&] { return migrateConfText(cameras).text.size(); });
        timeIt(size + "ini value", runs, [&] {
            return withIniValue(ini, QStringLiteral("DimThermo"), QStringLiteral("14"), QStringLiteral("prevista"))
                .size();
        });
    }
    return 0;
}
