// Burglar alarm (WHO 5), door entry (7), auxiliary channels (9), gateway management (#13)
// and sound system (16).
#include "engine/translator/FrameTranslator.h"

#include "engine/model/EngineState.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/ports/StatusBar.h"
#include "engine/translator/TranslationTables.h"
#include "engine/model/WindowNames.h"
#include "engine/ports/WindowRegistry.h"

#include <QStringBuilder>

#include <algorithm>
#include <stdexcept>

using namespace TranslationTables;
namespace NC = NumberConversions;

namespace {

const QString &AuxWindow = WindowNames::FrmAux;

// The parts joined by `separator`, appended to `text`.
void appendJoined(QString &text, std::initializer_list<QStringView> parts, QChar separator)
{
    bool first = true;
    for (const QStringView part : parts) {
        if (!first)
            text += separator;
        text += part;
        first = false;
    }
}

void appendColonTime(QString &text, QStringView h, QStringView m, QStringView s)
{
    appendJoined(text, {h, m, s}, QLatin1Char(':'));
}

// "001" is GMT+1, "101" GMT-1: the first digit is the sign. Some gateways send no zone, or
// an empty field, or a value that is no zone at all ("999"): the time then stands alone.
void appendTimeZone(QString &time, QStringView z)
{
    // The sign digit, then the hours: "001" is +01; a short "0" is +0, as written.
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (z.isEmpty() || z.size() > 3 || (z[0] != QLatin1Char('0') && z[0] != QLatin1Char('1'))
        || !std::all_of(z.begin(), z.end(), digit))
        return;
    time += QLatin1Char(' ');
    time += z[0] == QLatin1Char('0') ? QLatin1Char('+') : QLatin1Char('-');
    time += z.right(2);
}

} // namespace

void FrameTranslator::alarm(Work &w)
{
    setFilters(w, 4);
    const LanguageTexts &lang = m_state.lang;
    const QStringView what = w.field(2);
    const QStringView where = w.field(3);
    const double v = NC::value(what);
    w.icon = v == 2 || v == 4 || v == 6 ? 9 : 10;
    if (v == 18)
        w.icon = 9;

    withoutHashes(where, m_field);
    const QString &zoneNumber = m_field;
    QString &s = w.sentence;
    QString &zone = m_part;
    if (v == 14) {
        // No reception: WHERE is the zone followed by the sensor.
        if (where.size() == 1) {
            copyInto(s, entry(lang.security, 14));
            substitute(s, Ph::c, QStringView());
            substitute(s, Ph::n, where);
        } else {
            copyInto(zone, entry(lang.whosecurity, 0));
            substitute(zone, Ph::z, where.left(1));
            copyInto(s, entry(lang.security, 14));
            substitute(s, Ph::c, zone);
            substitute(s, Ph::n, where.right(1));
        }
    } else {
        copyInto(zone, entry(lang.whosecurity, 0));
        substitute(zone, Ph::z, zoneNumber);
        copyInto(s, entry(lang.security, NC::wholeNumber(what)));
        substitute(s, Ph::c, zone);
    }

    if (w.echo)
        return;
    LiveState &live = m_state.live;
    struct Change
    {
        const char *what;
        int entry;
        int value;
    };
    static const Change changes[] = {
        {"0", 0, 0}, {"1", 0, 1}, {"8", 1, 1}, {"9", 1, 0}, {"4", 2, 0},
        {"5", 2, 1}, {"10", 2, 2}, {"6", 3, 0}, {"7", 3, 1},
    };
    for (const Change &c : changes) {
        if (what == QLatin1String(c.what)) {
            live.StatoAllarme[std::size_t(c.entry)] = c.value;
            return;
        }
    }
    if (what == QLatin1String("11"))
        slot(live.ZoneAllarme, NC::wholeNumber(zoneNumber))[0] = QStringLiteral("1");
    else if (what == QLatin1String("18"))
        slot(live.ZoneAllarme, NC::wholeNumber(zoneNumber))[0] = QStringLiteral("0");
}

void FrameTranslator::doorEntry(Work &w)
{
    w.icon = 14;
    setFilters(w, 5);
    const LanguageTexts &lang = m_state.lang;
    const QStringView what = w.field(2);
    const double v = NC::value(what);

    QString &s = w.sentence;
    if (v >= 300) {
        copyInto(s, entry(lang.video, 300));
        substitute(s, Ph::x, what.mid(1, 1));
        substitute(s, Ph::y, what.mid(2, 1));
        return;
    }
    copyInto(s, entry(lang.video, NC::wholeNumber(what)));
    if (v <= 9) {
        if (v == 8 || v == 9)
            w.icon = 13;
        const QStringView where = w.field(3);
        if (where.isEmpty())
            throw std::invalid_argument("door entry without an address");
        // A camera 4000 + i is named by entry i and the unit 5000 by entry 500; any other
        // address ("4012#2", 3012, 4500, 5012, a blank entry) is shown as received.
        QString name;
        const auto address = NC::tryValue(where);
        if (address && *address == 5000) {
            name = entry(lang.whovideo, 500);
        } else if (address && *address >= 4000 && *address < 4500) {
            if (const auto i = NC::tryValue(where.right(3)); i && *i >= 0 && *i < 500)
                name = lang.whovideo.value(NC::roundHalfEven(*i));
        }
        substitute(s, Ph::n, name.isEmpty() ? where : QStringView(name));
    }
}

void FrameTranslator::auxiliary(Work &w)
{
    setFilters(w, 6);
    const QStringView what = w.field(2);
    withoutHashes(w.field(3), m_field);
    const int c = NC::wholeNumber(m_field);
    LiveState &live = m_state.live;
    auto &known = slot(live.StatoAux, c);
    const double v = NC::value(what);
    w.icon = v == 0 ? 9 : 10;
    if (!w.echo) {
        if (v == 0)
            known = false;
        else if (v == 1)
            known = true;
    }

    copyInto(w.sentence, entry(m_state.lang.aux, NC::wholeNumber(what)));
    const QString &name = slot(m_state.model.NomiAux, c);
    substitute(w.sentence, Ph::n, name.isEmpty() ? QString::number(c) : name);

    if (w.echo)
        return;
    WindowRegistry &windows = m_out.windows;
    if (!live.RichiestaStato) {
        if (windows.windowOpen(AuxWindow))
            windows.AggiornaAux(false);
        return;
    }
    // Replies to a status request for every channel fill the window silently; the one
    // for channel 8 or above closes the request.
    w.heldBack = true;
    if (c >= 8) {
        live.RichiestaStato = false;
        live.AuxLetti = true;
        windows.AggiornaAux(true);
    }
}

void FrameTranslator::gateway(Work &w)
{
    setFilters(w, 7);
    const LanguageTexts &lang = m_state.lang;
    withoutHashes(w.field(4), m_field);
    const QStringView f4 = m_field;
    const QStringView dim = dimension(w.field(3));
    QString &s = w.sentence;
    copyInto(s, entry(lang.device, NC::roundHalfEven(NC::numberValue(dim))));
    // A part of the sentence, put together before it takes its place.
    QString &part = m_part;
    part.truncate(0);

    switch (shortKey(dim)) {
    case shortKey(u"15"): {
        // Models the table does not name (newer gateways) are shown by their number.
        const QString model = lang.devmodel.value(NC::wholeNumber(f4));
        substitute(s, Ph::m, model.isEmpty() ? f4 : QStringView(model));
        if (!w.echo)
            m_out.statusBar.setStatusText(s);
        break;
    }
    case shortKey(u"0"):
        appendColonTime(part, f4, w.field(5), w.field(6));
        appendTimeZone(part, w.fields.value(7));
        substitute(s, Ph::h, part);
        break;
    case shortKey(u"1"):
        substitute(s, Ph::ww, entry(lang.daydevice, NC::wholeNumber(f4)));
        substitute(s, Ph::dd, w.field(5));
        substitute(s, Ph::mm, w.field(6));
        substitute(s, Ph::aa, w.field(7));
        break;
    case shortKey(u"10"):
    case shortKey(u"11"):
        appendJoined(part, {f4, w.field(5), w.field(6), w.field(7)}, QLatin1Char('.'));
        substitute(s, Ph::n, part);
        break;
    case shortKey(u"12"): {
        QStringList bytes;
        for (int i = 4; i <= 9; ++i) {
            const int b = NC::wholeNumber(i == 4 ? f4 : w.field(i));
            bytes << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        }
        substitute(s, Ph::n, bytes.join(QLatin1Char(':')));
        break;
    }
    case shortKey(u"16"):
    case shortKey(u"23"):
    case shortKey(u"24"):
        appendJoined(part, {f4, w.field(5), w.field(6)}, QLatin1Char('.'));
        substitute(s, Ph::n, part);
        break;
    case shortKey(u"19"):
        part += f4;
        part += QLatin1Char(' ');
        appendColonTime(part, w.field(5), w.field(6), w.field(7));
        substitute(s, Ph::n, part);
        break;
    case shortKey(u"22"):
        appendColonTime(part, f4, w.field(5), w.field(6));
        appendTimeZone(part, w.field(7));
        substitute(s, Ph::h, part);
        substitute(s, Ph::ww, entry(lang.daydevice, NC::wholeNumber(w.field(8))));
        substitute(s, Ph::dd, w.field(9));
        substitute(s, Ph::mm, w.field(10));
        substitute(s, Ph::aa, w.field(11));
        break;
    default:
        // A dimension with no fields to fill in ("17", or one written with sub-fields such
        // as "16#5#4") keeps its text only when nothing in it waits for a value.
        for (const QString *p : {&Ph::n, &Ph::m, &Ph::h, &Ph::ww, &Ph::dd, &Ph::mm, &Ph::aa}) {
            if (findPlaceholder(s, *p) >= 0) {
                s.truncate(0);
                break;
            }
        }
        break;
    }
}

void FrameTranslator::sound(Work &w)
{
    w.icon = 12;
    setFilters(w, 8);
    const QStringView what = w.field(2);
    copyInto(w.sentence, entry(m_state.lang.audio, NC::roundHalfEven(NC::numberValue(what))));
    const double v = NC::value(what);
    if (v == 10 || v == 13)
        w.icon = 11;
    substitute(w.sentence, Ph::n, w.field(3));
}
