#include "engine/translator/FrameTranslator.h"

#include "engine/ports/CharacterService.h"
#include "engine/ports/DisplayClient.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/ports/NoticeService.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/translator/OutputError.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/ports/StatusBar.h"
#include "engine/translator/TranslationTables.h"
#include "engine/translator/UpperVectorState.h"
#include "engine/ports/WindowRegistry.h"

#include <QDateTime>
#include <QStringBuilder>

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace NC = NumberConversions;
using TranslationTables::shortKey;

namespace {

const QString MonitorPane = QStringLiteral("Tlog");
const QString AckPiece = QStringLiteral("*#*1");
const QString NackPiece = QStringLiteral("*#*0");
const char16_t Crlf[] = u"\r\n";

const QString Degrees = QString(QChar(0x00B0)) + QLatin1Char('c');

// The small letter of each Latin-1 character: ASCII and Latin-1 capitals ("È") sit 32 below
// their small letters; "×" is no letter.
constexpr std::array<char16_t, 256> Latin1Lower = [] {
    std::array<char16_t, 256> lower{};
    for (char16_t u = 0; u < lower.size(); ++u) {
        const bool capital = (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
        lower[u] = capital ? char16_t(u + 32) : u;
    }
    return lower;
}();

// Sentences are Latin-1 text nearly always, which needs no case tables. Written into the
// storage `lower` already has. Returns whether the text holds `mark`, which the copy meets
// anyway.
bool lowerCaseInto(QString &lower, const QString &text, QChar mark)
{
    lower.resize(text.size());
    const QChar *from = text.constData();
    QChar *to = lower.data();
    char16_t wide = 0; // any bit above the eighth: a character beyond Latin-1
    bool marked = false;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t u = from[i].unicode();
        wide |= u;
        marked |= u == mark.unicode();
        to[i] = QChar(Latin1Lower[u & 0xFF]);
    }
    if (wide >= 0x100)
        lower = text.toLower();
    return marked;
}

// Splits the frame that starts at `start` into its fields (Frame::fields, as views: this runs
// for every frame on the bus) while looking for its "##". Returns where the frame ends, just
// past the "##"; -1 when no "##" follows. One plain pass: frames are a few characters long.
qsizetype splitFrame(QStringView chunk, qsizetype start, QVarLengthArray<QStringView, 16> &fields)
{
    qsizetype field = start;
    for (qsizetype i = start; i + 1 < chunk.size(); ++i) {
        const QChar c = chunk[i];
        if (c == QLatin1Char('*')) {
            fields.append(chunk.sliced(field, i - field));
            field = i + 1;
        } else if (c == QLatin1Char('#') && chunk[i + 1] == QLatin1Char('#')) {
            fields.append(chunk.sliced(field, i - field));
            return i + Frame::Terminator.size();
        }
    }
    return -1;
}

// WHO group of a line: field 1 without its "#"; -1 when the WHO belongs to no group.
int groupOf(QStringView who)
{
    // Field 1 with every "#" dropped; no group has a name of more than two characters.
    char16_t kept[2];
    qsizetype size = 0;
    for (const QChar c : who) {
        if (c == QLatin1Char('#'))
            continue;
        if (size == 2)
            return -1;
        kept[size++] = c.unicode();
    }
    switch (shortKey(QStringView(kept, size))) {
    case shortKey(u"1"): return 0;
    case shortKey(u"2"): return 1;
    case shortKey(u"3"): return 2;
    case shortKey(u"4"): return 3;
    case shortKey(u"5"): return 4;
    case shortKey(u"7"): return 5;
    case shortKey(u"9"): return 6;
    case shortKey(u"13"): return 7;
    case shortKey(u"16"): return 8;
    default: return -1;
    }
}

} // namespace

FrameTranslator::FrameTranslator(EngineState &state, const Outputs &outputs)
    : m_state(state), m_out(outputs)
{
    m_tread.setSingleShot(true);
    m_tread.setInterval(ReadHoldMs);
    QObject::connect(&m_tread, &QTimer::timeout, &m_tread, [this] {
        // A sentence spoken since the last restart moved the end of the pose on.
        const qint64 left = ReadHoldMs - m_lastSpoken.elapsed();
        if (left > 0)
            m_tread.start(int(left));
        else
            m_inLettura = false;
    });
}

void FrameTranslator::Traduci(QString &frames, LogPane &box)
{
    if (run(frames, box, false))
        frames.clear();
}

void FrameTranslator::TraduciEco(const QString &frame, LogPane &box)
{
    run(frame, box, true);
}

bool FrameTranslator::run(const QString &chunk, LogPane &box, bool echo)
{
    UpperVectorState::clear();
    bool usedUp = false;
    // Each frame ends at the next "##"; the text after the last one is not a frame.
    for (qsizetype start = 0, end;; start = end) {
        Work w(m_sentence);
        w.echo = echo;
        if ((end = splitFrame(chunk, start, w.fields)) < 0 || !translateOne(chunk, start, end, w, box))
            break;
        usedUp = usedUp || !w.heldBack;
    }
    return usedUp;
}

bool FrameTranslator::translateOne(const QString &chunk, qsizetype start, qsizetype end, Work &w, LogPane &box)
{
    const QStringView piece = QStringView(chunk).sliced(start, end - start - Frame::Terminator.size());
    if (piece == AckPiece || piece == NackPiece) {
        // An acknowledgement belongs to no group and says nothing but itself.
        w.fields.clear();
    } else {
        try {
            dispatch(w);
        } catch (const std::exception &) {
            // One frame that cannot be read must not cost the rest of the chunk.
            TranslationTables::copyInto(w.sentence, m_state.lang.t(QStringLiteral("ErrTrad")));
            w.heldBack = false;
        }
    }
    if (w.heldBack)
        return true;
    try {
        // A chunk of one frame, as the gateway mostly sends them, is handed on as it is.
        if (start == 0 && end == chunk.size())
            output(chunk, w, box);
        else
            output(chunk.sliced(start, end - start), w, box);
    } catch (const OutputError &e) {
        m_out.messages.message(QString::number(e.number()) + QStringLiteral(" - ") + e.description(),
                               ProgramIdentity::Title);
        return false;
    } catch (const std::exception &e) {
        m_out.messages.message(QStringLiteral("0 - ") + QString::fromLocal8Bit(e.what()),
                               ProgramIdentity::Title);
        return false;
    }
    return true;
}

void FrameTranslator::dispatch(Work &w)
{
    if (w.fields.size() < 2)
        return; // no WHO: nothing to translate, logged raw
    const QStringView who = w.fields[1];

    // What we send ourselves is often a request without values; there is nothing to say
    // about it beyond the frame itself.
    if (w.echo && who.startsWith(QLatin1Char('#')) && w.lastField() < 4)
        return;

    switch (shortKey(who)) {
    case shortKey(u"1"): lighting(w); break;
    case shortKey(u"#1"): lightingDimension(w); break;
    case shortKey(u"2"): automation(w); break;
    case shortKey(u"3"): energy(w); break;
    case shortKey(u"#3"): energyDimension(w); break;
    case shortKey(u"4"): thermo(w); break;
    case shortKey(u"#4"): thermoDimension(w); break;
    case shortKey(u"5"): alarm(w); break;
    case shortKey(u"7"): doorEntry(w); break;
    case shortKey(u"9"): auxiliary(w); break;
    case shortKey(u"#13"): gateway(w); break;
    case shortKey(u"16"): sound(w); break;
    default: break;
    }
}

void FrameTranslator::setFilters(Work &w, int group) const
{
    w.notice = m_state.filters.Who[group] == 1;
    w.speech = m_state.filters.WhoA[group] == 1;
}

void FrameTranslator::output(const QString &frame, const Work &w, LogPane &box)
{
    // An acknowledgement piece is never split into fields: it belongs to no group.
    const int group = w.fields.size() > 1 ? groupOf(w.fields[1]) : -1;
    const bool filtered = group >= 0 && m_state.filters.WhoL[group] == 0;

    if (!w.sentence.isEmpty()) {
        if (!w.echo && w.notice && box.paneName() == MonitorPane) {
            m_out.notice.MostraMessaggio(w.sentence, frame, DurataAvviso, w.icon);
            if (w.speech && m_out.character.AgentCaricato())
                speak(w.sentence);
        }
        if (!filtered)
            writeLine(box, w.sentence, frame, w.sentence);
    } else if (!filtered) {
        writeLine(box, QString(), frame, frame);
    }
    box.moveCaretToEnd();
}

void FrameTranslator::speak(const QString &sentence)
{
    CharacterService &c = m_out.character;
    c.Show();
    m_lastSpoken.start();
    if (!m_inLettura) {
        c.Play(QStringLiteral("Read"));
        m_inLettura = true;
        restartRead();
    }
    // Most sentences hold no degree sign: the copy rules it out on its way.
    if (lowerCaseInto(m_spoken, sentence, Degrees.front()) && TranslationTables::findPlaceholder(m_spoken, Degrees) >= 0) {
        // A language file without the [text] "Degrees" key names no word: the Italian one is spoken.
        const QString &word = m_state.lang.degreesWord;
        TranslationTables::copyInto(m_degreesWord, u" ");
        m_degreesWord += word.isEmpty() ? QStringLiteral("gradi") : word;
        TranslationTables::substitute(m_spoken, Degrees, m_degreesWord);
    }
    m_ultimaRichiesta = c.Speak(m_spoken);
    // Every sentence of a burst keeps the reading pose for another 3 s. Restarting the timer
    // goes through the event dispatcher, too dear for every sentence of a burst: it is
    // restarted once it has run a while, and the timeout holds the pose for what is left.
    if (m_tread.isActive() && m_readStarted.msecsTo(m_lastSpoken) >= ReadRestartMs)
        restartRead();
}

void FrameTranslator::restartRead()
{
    m_tread.start(ReadHoldMs);
    m_readStarted.start();
}

// "time: sentence (frame)" or, without a sentence, "time: frame"; ended by CR LF.
void FrameTranslator::writeLine(LogPane &box, const QString &sentence, const QString &frame, const QString &last)
{
    const QTime t = now();
    const QString &time = timeOfDay(t);
    // Built in one go: the builder sizes the line once and copies each part once.
    const QString line = sentence.isEmpty()
        ? QString(time % u": " % frame % Crlf)
        : QString(time % u": " % sentence % u" (" % frame % u')' % Crlf);
    box.appendText(line);
    m_state.live.OraUltimoMessaggio = t;
    TranslationTables::copyInto(m_state.live.UltimoMessaggio, last);
}

QTime FrameTranslator::now()
{
    if (m_clock)
        return m_clock();
    const qint64 second = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (second != m_clockSecond) {
        m_clockSecond = second;
        m_clockTime = QTime::currentTime();
    }
    return m_clockTime;
}

const QString &FrameTranslator::timeOfDay(const QTime &t)
{
    if (t != m_formattedTime || m_formatted.isEmpty()) {
        m_formattedTime = t;
        m_formatted = LogLine::timeText(t);
    }
    return m_formatted;
}

QStringView FrameTranslator::dimension(QStringView field)
{
    return field.startsWith(QLatin1Char('#')) ? field.sliced(1) : field;
}

QString FrameTranslator::Dove(QStringView where) const
{
    QString address;
    return pointName(where, address).toString();
}

QStringView FrameTranslator::pointName(QStringView where, QString &address) const
{
    const double v = NC::numberValue(where);
    // Halves round to even: -0.5 is point 0, 999.5 is 1000.
    if (!(v >= -0.5 && v < InstallationModel::PointCount - 0.5))
        throw std::out_of_range("point address outside 0..999");
    const int n = NC::roundHalfEven(v);
    const QString &name = m_state.model.Dispositivi[std::size_t(n)].name;
    if (!name.isEmpty())
        return name;
    if (v == std::floor(v)) {
        char digits[4] = {'0'};
        const char *end = std::to_chars(digits + (n < 10 ? 1 : 0), digits + sizeof digits, n).ptr;
        // Assigned into the storage `address` already has.
        address = QLatin1String(digits, end);
    } else {
        address = QString::number(v);
    }
    return address;
}
