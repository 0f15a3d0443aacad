// Energy and load control (WHO 3, #3) and thermoregulation (WHO 4, #4).
#include "engine/translator/FrameTranslator.h"

#include "engine/protocol/ConversionError.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/translator/TranslationTables.h"
#include "engine/model/WindowNames.h"
#include "engine/ports/WindowRegistry.h"

#include <QLocale>
#include <QStringBuilder>

#include <cmath>
#include <limits>
#include <optional>

using namespace TranslationTables;
namespace NC = NumberConversions;

namespace {

const QString &VoltWindow = WindowNames::FrmVolt;
const QString &AmpWindow = WindowNames::FrmAmp;
const QString &WattWindow = WindowNames::FrmWatt;

qint16 powerReading(QStringView text)
{
    const int n = NC::wholeNumber(text);
    if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw ConversionError("power reading out of range");
    return qint16(n);
}

// The value of a text of ASCII digits alone; nothing for any other text.
std::optional<int> digitsValue(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    int n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

// A valve state that counts as open.
bool active(double v)
{
    return v == 1 || v == 2 || v > 5;
}

// The zone replies are read step by step: a step that fails is skipped, the next one runs.
template<class Step>
void step(Step &&s)
{
    try {
        s();
    } catch (const std::exception &) {
    }
}

} // namespace

// A four-digit temperature: the sign digit (0 plus, 1 minus), then tenths of a degree.
void FrameTranslator::temperature(QStringView field, QString &text)
{
    const QStringView tenths = field.right(3);
    const bool minus = field.size() >= 4 && field.at(field.size() - 4) == QLatin1Char('1');
    if (const auto n = digitsValue(tenths)) {
        m_temperatureText.write(minus ? -*n : *n, text);
        return;
    }
    double t = NC::value(tenths) / 10.0;
    if (minus && t != 0)
        t = -t;
    text = QLocale().toString(t);
}

void FrameTranslator::energy(Work &w)
{
    setFilters(w, 2);
    w.icon = 6;
    const LanguageTexts &lang = m_state.lang;
    const QStringView what = w.field(2);
    withoutHashes(w.field(3), m_field);
    const double load = NC::numberValue(m_field);

    const int e = NC::wholeNumber(what);
    // Entries 4 to 7 are the texts of the meter readings, not of load commands.
    if (e >= 4 && e <= 7)
        return;
    QString &s = w.sentence;
    copyInto(s, entry(lang.power, e));
    if (load == 0 || load >= 10) {
        substitute(s, Ph::n, QStringView());
        substitute(s, Ph::c, entry(lang.whopower, load == 0 ? 0 : 2));
    } else {
        const QString &name = slot(m_state.model.Carichi, NC::roundHalfEven(load));
        substitute(s, Ph::n, name.isEmpty() ? QString::number(load) : name);
        substitute(s, Ph::c, entry(lang.whopower, 1));
    }
}

void FrameTranslator::energyDimension(Work &w)
{
    setFilters(w, 2);
    if (NC::value(w.field(2)) != 10)
        return;
    const QStringList &power = m_state.lang.power;
    LiveState &live = m_state.live;
    WindowRegistry &windows = m_out.windows;

    // The reading's sentence added to the frame's, and what ends it.
    auto addReading = [&](int e, QStringView value, QStringView end) {
        copyInto(m_part, entry(power, e));
        substitute(m_part, Ph::d, value);
        w.sentence += m_part;
        w.sentence += end;
    };
    auto volt = [&](QStringView v) {
        if (w.echo)
            return;
        live.VoltValue = v.toString();
        if (windows.windowOpen(VoltWindow))
            windows.Volt(live.VoltValue);
    };
    auto amp = [&](QStringView v) {
        if (w.echo)
            return;
        live.AmpValue = v.toString();
        if (windows.windowOpen(AmpWindow))
            windows.Ampere(live.AmpValue);
    };
    auto watt = [&](QStringView v) {
        const qint16 n = powerReading(v);
        if (w.echo)
            return;
        live.WattValue = n;
        if (windows.windowOpen(WattWindow))
            windows.Watt(v.toString());
    };

    const double dim = NC::value(dimension(w.field(3)));
    if (dim == 0) {
        for (int j = 4; j <= 7; ++j)
            addReading(j, w.field(j), u".  ");
        w.sentence.chop(2);
        volt(w.field(4));
        amp(w.field(5));
        watt(w.field(6));
    } else if (dim == 1) {
        addReading(4, w.field(4), u".");
        volt(w.field(4));
    } else if (dim == 2) {
        addReading(5, w.field(4), u".");
        amp(w.field(4));
    } else if (dim == 3) {
        addReading(6, w.field(4), u".");
        watt(w.field(4));
    } else if (dim == 4) {
        addReading(7, w.field(4), u".");
    }
}

void FrameTranslator::thermo(Work &w)
{
    w.icon = 8;
    setFilters(w, 3);
    const LanguageTexts &lang = m_state.lang;
    const QStringView what = w.field(2);
    const QStringView where = w.field(3);
    const double mode = NC::value(what);
    QString &s = w.sentence;

    if (mode < 102 || mode > 315) {
        copyInto(s, entry(lang.thermo, NC::wholeNumber(what)));
        substitute(s, Ph::z, where);
        return;
    }
    // A mode the language file has no word for would leave "Zone 5: " hanging.
    const QString &modeText = entry(lang.thermo, NC::wholeNumber(what));
    if (modeText.isEmpty())
        return;
    // The central unit reports a zone's mode as "#1", and its own as "#0" or "0".
    if (NC::value(dimension(where)) == 0) {
        copyInto(s, entry(lang.whothermo, 0));
        substitute(s, Ph::m, modeText);
    } else {
        copyInto(s, entry(lang.whothermo, 1));
        s += QLatin1Char(' ');
        s += modeText;
        substitute(s, Ph::z, where);
    }
}

// The sentence of one thermoregulation dimension: its language entry, filled in part by part.
// A part that cannot be read, or that the language file has no word for, would leave its
// placeholder in sight: the sentence is then dropped and the frame shown as received.
class FrameTranslator::ZoneSentence
{
public:
    ZoneSentence(QString &sentence, const QStringList &entries) : m_sentence(sentence), m_entries(entries) {}

    void begin(int e)
    {
        step([&] { copyInto(m_sentence, entry(m_entries, e)); });
    }

    template<class Text>
    void fill(const QString &placeholder, const Text &text)
    {
        const qsizetype at = findPlaceholder(m_sentence, placeholder);
        if (at < 0)
            return;
        bool filled = false;
        step([&] {
            const QStringView t = text();
            if (!t.isEmpty()) {
                substitute(m_sentence, placeholder, t, at);
                filled = true;
            }
        });
        m_complete = m_complete && filled;
    }

    // The word `table` has for the number in field `i`.
    static auto word(const Work &w, const QStringList &table, int i)
    {
        return [&w, &table, i] { return QStringView(entry(table, NC::wholeNumber(w.field(i)))); };
    }

    void finish()
    {
        if (!m_complete)
            m_sentence.truncate(0);
    }

private:
    QString &m_sentence;
    const QStringList &m_entries;
    bool m_complete = true;
};

void FrameTranslator::thermoDimension(Work &w)
{
    w.icon = 8;
    setFilters(w, 3);
    const QStringView exactDim = w.lastField() >= 3 ? w.field(3) : QStringView();
    const quint64 dim = shortKey(dimension(exactDim));

    ZoneSentence s(w.sentence, m_state.lang.dimthermo);
    switch (dim) {
    case shortKey(u"0"):
        zoneTemperature(w, s);
        break;
    case shortKey(u"12"):
        zoneSetPoint(w, s, 12);
        break;
    case shortKey(u"14"):
        zoneSetPoint(w, s, 14);
        break;
    case shortKey(u"13"):
        zoneKnob(w, s);
        break;
    case shortKey(u"19"):
        zoneValves(w, s);
        break;
    default:
        break;
    }
    s.fill(Ph::z, [&] { return w.field(2); });
    s.finish();

    if (!w.echo)
        probePush(w, shortKey(exactDim));
}

// Dimension 0: the zone's temperature, which the probe windows show; "---" when the frame
// carries none.
void FrameTranslator::zoneTemperature(Work &w, ZoneSentence &s)
{
    if (w.lastField() < 4) {
        if (!w.echo)
            setProbe(w.field(2), u"---");
        return;
    }
    QString &t = m_temperature;
    bool read = false;
    step([&] {
        temperature(w.field(4), t);
        read = true;
    });
    if (!read)
        return;
    if (!w.echo)
        setProbe(w.field(2), t);
    s.begin(0);
    s.fill(Ph::t, [&] { return QStringView(t); });
}

// Dimensions 12 and 14 (entry `e`): a set temperature and its mode. Without a readable
// temperature there is no sentence at all.
void FrameTranslator::zoneSetPoint(Work &w, ZoneSentence &s, int e)
{
    if (w.lastField() <= 4)
        return;
    QString &t = m_temperature;
    t.truncate(0);
    step([&] { temperature(w.field(4), t); });
    if (t.isEmpty())
        return;
    s.begin(e);
    s.fill(Ph::t, [&] { return QStringView(t); });
    s.fill(Ph::m, ZoneSentence::word(w, m_state.lang.modthermo, 5));
}

// Dimension 13: the position of the zone's knob.
void FrameTranslator::zoneKnob(Work &w, ZoneSentence &s)
{
    if (w.lastField() <= 3)
        return;
    s.begin(13);
    s.fill(Ph::n, ZoneSentence::word(w, m_state.lang.knobthermo, 4));
}

// Dimension 19: the states of the zone's conditioning and heating valves.
void FrameTranslator::zoneValves(Work &w, ZoneSentence &s)
{
    if (w.lastField() <= 4)
        return;
    s.begin(19);
    s.fill(Ph::vc, ZoneSentence::word(w, m_state.lang.valvethermo, 4));
    s.fill(Ph::vr, ZoneSentence::word(w, m_state.lang.valvethermo, 5));
}

// A zone on a local bus ("2#1") keeps no temperature; neither does one beyond the table.
void FrameTranslator::setProbe(QStringView zone, QStringView text)
{
    if (const auto z = NC::tryWholeNumber(zone))
        step([&] { copyInto(slot(m_state.live.TempSonde, *z), text); });
}

void FrameTranslator::probePush(const Work &w, quint64 exactDim)
{
    WindowRegistry &windows = m_out.windows;
    bool open = false;
    step([&] {
        const double zoneValue = NC::numberValue(w.field(2));
        if (zoneValue == std::floor(zoneValue) && std::abs(zoneValue) < 1e9)
            open = windows.probeOpen(qint64(zoneValue));
        else
            open = windows.FormAperto(WindowNames::FrmProbe % QString::number(zoneValue), QString());
    });
    if (!open)
        return;
    // A zone on a local bus ("2#1") is not the zone of a probe window.
    const auto number = NC::tryWholeNumber(w.field(2));
    if (!number)
        return;
    const int zone = *number;

    switch (exactDim) {
    case shortKey(u"0"):
        step([&] { windows.Temperatura(zone, slot(m_state.live.TempSonde, zone)); });
        break;
    case shortKey(u"12"):
        step([&] {
            temperature(w.field(4), m_temperature);
            windows.Tempset(zone, m_temperature + QChar(0x00B0) + QLatin1Char('C'));
        });
        break;
    case shortKey(u"13"):
        step([&] {
            const QStringView knob = w.field(4);
            QString text = knob.left(1) == QLatin1String("0") ? QStringLiteral("+") : QStringLiteral("-");
            text += knob.right(1);
            windows.Knob(zone, text);
        });
        break;
    case shortKey(u"19"):
        if (w.lastField() <= 4)
            break;
        step([&] {
            if (NC::value(w.field(4)) == 0 && NC::value(w.field(5)) == 0)
                windows.pCol(zone, 0);
        });
        step([&] {
            if (active(NC::value(w.field(4))))
                windows.pCol(zone, 1);
        });
        step([&] {
            if (active(NC::value(w.field(5))))
                windows.pCol(zone, 2);
        });
        break;
    default:
        break;
    }
}
