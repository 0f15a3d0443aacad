// Lighting (WHO 1, #1) and automation (WHO 2).
#include "engine/translator/FrameTranslator.h"

#include "engine/ports/DisplayClient.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/translator/TranslationTables.h"
#include "engine/protocol/Windows1252.h"

#include <algorithm>
#include <stdexcept>

using namespace TranslationTables;
namespace NC = NumberConversions;

namespace {

// The group number of a group address "#3" (also "#3#4#01" on a local bus): the digits
// after the first "#", up to the next one. Not a number: a translation error.
QStringView groupNumber(QStringView where)
{
    const qsizetype start = indexIn(where, QLatin1Char('#')) + 1;
    const qsizetype end = indexIn(where, QLatin1Char('#'), start);
    const QStringView number = end < 0 ? where.sliced(start) : where.sliced(start, end - start);
    NC::wholeNumber(number);
    return number;
}

// A command relayed from another bus ("1000#0", "1000#31#2"): the command after "1000#"
// decides the sentence.
constexpr QStringView RelayPrefix = u"1000#";

bool isRelayed(QStringView what)
{
    return what.size() >= RelayPrefix.size() && std::equal(RelayPrefix.begin(), RelayPrefix.end(), what.begin());
}

QStringView relayedCommand(QStringView what)
{
    return isRelayed(what) ? what.sliced(RelayPrefix.size()) : what;
}

// [light] entry of the command "down one level": entries 31 and 32 hold the ramp texts.
constexpr int DownOneLevelEntry = 33;
constexpr int NoEntry = -1;

// The [light] entry of a plain command. WHAT 31 has a text of its own; WHAT 32 is no
// lighting command, so there is nothing to say but the frame itself.
int plainEntry(int what)
{
    if (what == 31)
        return DownOneLevelEntry;
    if (what == 32)
        return NoEntry;
    if (what < 0 || what > 32)
        throw std::out_of_range("lighting command beyond the [light] table");
    return what;
}

// The [light] entry and "\v" value of a command WHAT, plain ("1") or with a parameter ("1#30").
struct LightCommand
{
    int entry;
    bool off;
    bool parameter;
    QStringView value;
};

// The [light] entry of a ramp to off or on. Without a speed the ramp texts would end in
// "(speed )": it is said plainly as off or on.
int rampEntry(bool off, bool speed)
{
    if (!speed)
        return off ? 0 : 1;
    return off ? 31 : 32;
}

LightCommand lightCommand(QStringView what)
{
    const qsizetype hash = indexIn(what, QLatin1Char('#'));
    if (hash >= 0) {
        const bool off = NC::numberValue(what) == 0;
        const QStringView value = what.sliced(hash + 1);
        return {rampEntry(off, !value.isEmpty()), off, !value.isEmpty(), value};
    }
    return {plainEntry(NC::wholeNumber(what)), NC::value(what) == 0, false, {}};
}

QStringView lightText(const LanguageTexts &lang, const LightCommand &cmd)
{
    return cmd.entry == NoEntry ? QStringView() : QStringView(entry(lang.light, cmd.entry));
}

// Level of a dimension reply between off (100) and full (200): the dimmer sentence nearest
// to it, 20 % to 100 % (entries 2 to 10). Outside that range it reads as off or full.
int dimensionEntry(double level)
{
    if (level <= 100)
        return 31;
    if (level >= 200)
        return 32;
    const int tens = int((level - 100 + 5) / 10);
    return qBound(2, tens, 10);
}

// "21#4#02" is point 21 on local bus 02, not a group: only a WHERE that starts with "#"
// addresses a group. Such a point is not one of the installation's points.
bool localBusPoint(QStringView where)
{
    return indexIn(where, QLatin1Char('#')) > 0;
}

} // namespace

void FrameTranslator::lighting(Work &w)
{
    setFilters(w, 0);
    const bool relayed = isRelayed(w.field(2));
    const QStringView what = relayedCommand(w.field(2));
    const QStringView where = w.field(3);
    const LanguageTexts &lang = m_state.lang;
    const LightCommand cmd = lightCommand(what);
    QString &s = w.sentence;
    copyInto(s, lightText(lang, cmd));

    const LightingTarget target = lightingTarget(where);
    substitute(s, Ph::n, target.name);
    substitute(s, Ph::c, target.category);
    if (cmd.parameter)
        substitute(s, Ph::v, cmd.value);
    if (target.kind == LightingTarget::Group)
        w.icon = cmd.off ? 1 : 2;
    if (target.kind != LightingTarget::Point)
        return;
    // The client hears of plain commands only; a relayed one is followed by the command itself.
    if (!cmd.parameter && !relayed && !s.isEmpty() && !w.echo && m_out.display.ClienteConnesso()) {
        Windows1252::encode(s, m_displayBytes);
        m_displayBytes.append('\0');
        m_out.display.write(m_displayBytes);
    }
    Dispositivo &d = slot(m_state.model.Dispositivi, NC::wholeNumber(where));
    if (d.configured()) {
        if (!w.echo)
            d.state = cmd.off ? 0 : 1;
        w.icon = cmd.off ? 1 : 2;
    }
}

void FrameTranslator::lightingDimension(Work &w)
{
    w.notice = m_state.filters.Who[0] == 1;
    // Only the level dimension reads as off, on or a dimmer level; the others (timers,
    // status details) have no [light] text and are shown as received.
    if (dimension(w.field(3)) != QLatin1String("1"))
        return;
    const QStringView where = w.field(2);
    const double level = NC::value(w.field(4));
    const LanguageTexts &lang = m_state.lang;
    withoutHashes(w.field(5), m_field);
    const QString &speed = m_field;

    const LightingTarget target = lightingTarget(where);
    QString &s = w.sentence;
    if (level == 100 || level == 200) {
        copyInto(s, entry(lang.light, rampEntry(level == 100, !speed.isEmpty())));
        substitute(s, Ph::c, target.category);
        substitute(s, Ph::n, target.name);
    } else {
        copyInto(s, entry(lang.light, dimensionEntry(level)));
        substitute(s, Ph::n, target.name);
        substitute(s, Ph::c, target.category);
    }
    substitute(s, Ph::v, speed);
}

FrameTranslator::LightingTarget FrameTranslator::lightingTarget(QStringView where)
{
    const QString &pointCategory = entry(m_state.lang.wholight, 0);
    if (localBusPoint(where))
        return {where, pointCategory, LightingTarget::OtherBus};
    if (indexIn(where, QLatin1Char('#')) >= 0) {
        const QStringView number = groupNumber(where);
        const int g = NC::wholeNumber(number);
        const auto &groups = m_state.model.Gruppi;
        if (g >= 1 && g < int(groups.size()) && !groups[std::size_t(g)].isEmpty())
            return {groups[std::size_t(g)], QStringView(), LightingTarget::Group};
        return {number, entry(m_state.lang.wholight, 1), LightingTarget::Group};
    }
    return {pointName(where, m_address), pointCategory, LightingTarget::Point};
}

void FrameTranslator::automation(Work &w)
{
    setFilters(w, 1);
    const QStringView what = relayedCommand(w.field(2));
    const QStringView where = w.field(3);
    const LanguageTexts &lang = m_state.lang;
    QString &s = w.sentence;
    copyInto(s, entry(lang.automation, NC::wholeNumber(what)));

    if (localBusPoint(where)) {
        substitute(s, Ph::n, where);
        substitute(s, Ph::c, entry(lang.wholight, 2));
        return;
    }

    if (indexIn(where, QLatin1Char('#')) >= 0) {
        substitute(s, Ph::n, groupNumber(where));
        substitute(s, Ph::c, entry(lang.wholight, 3));
        w.icon = NC::value(what) == 0 ? 3 : 4;
        return;
    }

    substitute(s, Ph::n, pointName(where, m_address));
    substitute(s, Ph::c, entry(lang.wholight, 2));
    Dispositivo &d = slot(m_state.model.Dispositivi, NC::wholeNumber(where));
    if (d.configured()) {
        const quint8 state = NC::toByte(what);
        if (!w.echo)
            d.state = state;
        w.icon = NC::value(what) == 0 ? 3 : 4;
    }
}
