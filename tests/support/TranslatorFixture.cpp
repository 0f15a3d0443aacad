#include "support/TranslatorFixture.h"

#include <QLocale>
#include <QtTest>

namespace {

QStringList table(int size, const QString &tag, const QString &placeholders)
{
    QStringList t;
    t.reserve(size);
    for (int i = 0; i < size; ++i)
        t << tag + QString::number(i) + placeholders;
    return t;
}

} // namespace

void fillLanguageFixture(LanguageTexts &lang)
{
    lang.text.insert(QStringLiteral("ErrTrad"), QStringLiteral("ERR"));
    lang.wholight = table(4, QStringLiteral("cat"), {});
    lang.light = table(34, QStringLiteral("L"), QStringLiteral("[\\n|\\c|\\v]"));
    lang.automation = table(4, QStringLiteral("A"), QStringLiteral("[\\n|\\c]"));
    lang.power = table(8, QStringLiteral("P"), QStringLiteral("[\\n|\\c|\\d]"));
    lang.whopower = table(3, QStringLiteral("wp"), {});
    lang.thermo = table(316, QStringLiteral("T"), QStringLiteral("[\\z]"));
    lang.whothermo = QStringList{QStringLiteral("C[\\m]"), QStringLiteral("Z[\\z]")};
    lang.dimthermo = table(32, QStringLiteral("D"), QStringLiteral("[\\t|\\m|\\n|\\vc|\\vr|\\z]"));
    lang.modthermo = table(4, QStringLiteral("mode"), {});
    lang.knobthermo = table(14, QStringLiteral("knob"), {});
    lang.valvethermo = table(10, QStringLiteral("valve"), {});
    lang.devmodel = table(28, QStringLiteral("model"), {});
    lang.device = table(25, QStringLiteral("G"), QStringLiteral("[\\n|\\h|\\ww|\\dd|\\mm|\\aa]"));
    lang.device[15] = QStringLiteral("G15[\\m]");
    lang.daydevice = table(7, QStringLiteral("day"), {});
    lang.security = table(32, QStringLiteral("S"), QStringLiteral("[\\c|\\n]"));
    lang.whosecurity = QStringList{QStringLiteral("zone\\z"), QString(), QString()};
    lang.aux = table(16, QStringLiteral("X"), QStringLiteral("[\\n]"));
    lang.video = table(301, QStringLiteral("V"), QStringLiteral("[\\n]"));
    lang.video[300] = QStringLiteral("V300[\\x|\\y]");
    lang.whovideo = QStringList(501, QString()); // cameras are named by the tests that need them
    lang.audio = table(101, QStringLiteral("M"), QStringLiteral("[\\n]"));
}

TranslatorFixture::TranslatorFixture()
    : translator(state, {notice, character, windows, display, statusBar, messages})
{
    QLocale::setDefault(QLocale::c());
    fillLanguageFixture(state.lang);
    translator.setClock([] { return QTime(12, 34, 56); });
}

QStringList TranslatorFixture::monitor(const QString &chunk)
{
    Tlog.clear();
    QString frames = chunk;
    translator.Traduci(frames, Tlog);
    return Tlog.lines();
}

QStringList TranslatorFixture::command(const QString &chunk)
{
    TlogC.clear();
    QString frames = chunk;
    translator.Traduci(frames, TlogC);
    return TlogC.lines();
}

void TranslatorFixture::checkSentence(const QString &frame, const QString &sentence, int icon)
{
    const QString expected = sentence.isEmpty() ? raw(frame) : line(sentence, frame);
    QCOMPARE(monitor(frame), QStringList{expected});
    QCOMPARE(notice.shown.size(), sentence.isEmpty() ? 0 : 1);
    if (!sentence.isEmpty())
        QCOMPARE(notice.shown[0].icon, icon);
}

QString TranslatorFixture::lastSentence() const
{
    const QStringList l = Tlog.lines();
    if (l.isEmpty())
        return {};
    const QString last = l.last().mid(10); // after "12:34:56: "
    const int open = last.lastIndexOf(QLatin1String(" ("));
    return open < 0 ? QString() : last.left(open);
}
