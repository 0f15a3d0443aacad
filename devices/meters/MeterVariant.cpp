#include "devices/meters/MeterVariant.h"

#include "engine/model/LiveState.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/model/WindowNames.h"

namespace {

// Dial position 0 is upright; the printed scale runs from -125 to +125.
constexpr double Upright = 125;

std::optional<double> voltTarget(const LiveState &live)
{
    const auto v = NumberConversions::tryValue(live.VoltValue);
    return v ? std::optional<double>(*v - Upright) : std::nullopt;
}

std::optional<double> ampTarget(const LiveState &live)
{
    const auto v = NumberConversions::tryValue(live.AmpValue);
    return v ? std::optional<double>(*v * 10 - Upright) : std::nullopt;
}

std::optional<double> wattTarget(const LiveState &live) { return live.WattValue / 20.0 - Upright; }

QString voltStored(const LiveState &live) { return live.VoltValue; }
QString ampStored(const LiveState &live) { return live.AmpValue; }
QString wattStored(const LiveState &live) { return QString::number(live.WattValue); }

} // namespace

const MeterVariant &MeterVariant::volt()
{
    static const MeterVariant v{WindowNames::FrmVolt, QStringLiteral("Lv"), QStringLiteral("000"),
                                QStringLiteral("*#3*10*1##"), 1, true, QStringLiteral(":/ombrix/meters/dial-volt.svg"),
                                voltTarget, voltStored, QStringLiteral("Voltmeter")};
    return v;
}

const MeterVariant &MeterVariant::amp()
{
    static const MeterVariant v{WindowNames::FrmAmp, QStringLiteral("La"), QStringLiteral("00"),
                                QStringLiteral("*#3*10*2##"), 2, false, QStringLiteral(":/ombrix/meters/dial-amp.svg"),
                                ampTarget, ampStored, QStringLiteral("Ammeter")};
    return v;
}

const MeterVariant &MeterVariant::watt()
{
    static const MeterVariant v{WindowNames::FrmWatt, QStringLiteral("Lw"), QStringLiteral("0000"),
                                QStringLiteral("*#3*10*3##"), 3, true, QStringLiteral(":/ombrix/meters/dial-watt.svg"),
                                wattTarget, wattStored, QStringLiteral("Wattmeter")};
    return v;
}
