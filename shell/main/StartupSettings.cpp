#include "shell/main/StartupSettings.h"

#include "engine/protocol/ConversionError.h"
#include "engine/model/EngineState.h"
#include "engine/config/GatewaySettings.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellOptions.h"
#include "shell/services/WindowUtils.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace NC = NumberConversions;

namespace StartupSettings {

void readNoticePosition(const ProgramSettings &settings, ShellOptions &options)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize px = screen ? screen->geometry().size() : QSize(1024, 768);
    const int screenWidthTw = int(std::lround(px.width() * WindowUtils::twipsPerPixelX()));
    const int screenHeightTw = int(std::lround(px.height() * WindowUtils::twipsPerPixelY()));
    const int taskbarTw = WindowUtils::AltezzaTaskbar();
    // Any whole number will do (a second screen lies far beyond 16 bits of twips); one that is
    // not leaves the position as it was. A position off every screen is the notice's business.
    try {
        const QString y = settings.read(SettingKeys::MsgPosY.sectionName(), SettingKeys::MsgPosY.keyName(),
                                        QString::number(screenHeightTw - 915 - taskbarTw));
        options.MsgPosY = NC::wholeNumber(y);
    } catch (const std::exception &) {
    }
    options.MsgPosX = settings.read(SettingKeys::MsgPosX.sectionName(), SettingKeys::MsgPosX.keyName(),
                                    QString::number(screenWidthTw - 5400));
}

void read(const ProgramSettings &settings, EngineState &state, ShellOptions &options)
{
    Filters &flt = state.filters;
    static const std::array<int, 9> who{1, 1, 0, 1, 1, 1, 1, 0, 1};
    static const std::array<int, 9> whoA{1, 1, 0, 0, 0, 0, 0, 0, 0};
    flt.Who = who;
    flt.WhoA = whoA;
    flt.WhoL.fill(1);

    options.OpzFx = NC::toByte(NC::value(settings.read(SettingKeys::Fx)));
    options.OpzMsgType = settings.read(SettingKeys::MsgType);
    options.OpzMsgTras = NC::toByte(NC::value(settings.read(SettingKeys::MsgTras)));
    LeggiImpostazioniGateway(settings, state.link);
    state.lang.Lingua = settings.read(SettingKeys::Language);

    const QString option = SettingKeys::OptionSection;
    for (int k = 0; k < Filters::GroupCount; ++k) {
        const auto at = size_t(k);
        flt.Who[at] = NC::toByte(NC::value(settings.read(option, SettingKeys::whoKey(k), QString::number(who[at]))));
        flt.WhoA[at] =
            NC::toByte(NC::value(settings.read(option, SettingKeys::whoAKey(k), QString::number(whoA[at]))));
        flt.WhoL[at] = NC::toByte(NC::value(settings.read(option, SettingKeys::whoLKey(k), QStringLiteral("1"))));
    }
}

QString gatewayPort(const QString &stored, QString *bad)
{
    bool ok = false;
    const int port = stored.trimmed().toInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        return QString::number(port);
    if (bad)
        *bad = stored;
    return SettingKeys::ServerPORT.fallback();
}

QString badPortLine(const QString &languageText, const QString &bad)
{
    QString line = languageText.isEmpty()
        ? QStringLiteral("Gateway port not valid: \"\\v\" (1 to 65535 allowed); using port \\p")
        : languageText;
    return line.replace(QStringLiteral("\\v"), bad).replace(QStringLiteral("\\p"), SettingKeys::ServerPORT.fallback());
}

QString noLanguageFileText(const QString &folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    return QStringLiteral("Nessun file di lingua (*.lng) nella cartella \"%1\": il programma si chiude.\n\n"
                          "No language file (*.lng) in the folder \"%1\": the program will close.")
        .arg(shown);
}

QString failureText(const std::exception &e)
{
    const int number = dynamic_cast<const ConversionError *>(&e) ? 13 : 5;
    return QString::number(number) + QStringLiteral(" - ") + QString::fromLocal8Bit(e.what());
}

ConsoleColours readConsoleColours(const ProgramSettings &settings)
{
    const auto colour = [&settings](const SettingKey &key) {
        return quint32(NC::roundHalfEven(NC::value(settings.read(key))));
    };
    return {colour(SettingKeys::ForeCol), colour(SettingKeys::BackCol), colour(SettingKeys::ForeColC),
            colour(SettingKeys::BackColC)};
}

} // namespace StartupSettings
