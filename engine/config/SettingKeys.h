#pragma once

#include "engine/config/SettingKey.h"

#include <QString>

// The one place that names the keys of the settings store.
namespace SettingKeys {

inline constexpr SettingKey Gateway{"Option", "Gateway", "0"};        // 0 Ethernet, 1 serial
inline constexpr SettingKey Com{"Option", "Com", "3"};                // serial port, see SerialPortName
inline constexpr SettingKey ServerIP{"Option", "ServerIP", "192.168.1.35"};
inline constexpr SettingKey ServerPORT{"Option", "ServerPORT", "20000"};
inline constexpr SettingKey Password{"Option", "Password", ""};       // the gateway's OPEN password
inline constexpr SettingKey Language{"Option", "Language", "italian"};
inline constexpr SettingKey Fx{"Option", "fx", "1"};
// Start-up reads 0 (blue); the options dialog reads 1 (gray). Both defaults are kept.
inline constexpr SettingKey MsgType{"Option", "msgtype", "0"};
inline constexpr SettingKey MsgTypeDialog{"Option", "msgtype", "1"};
inline constexpr SettingKey MsgTras{"Option", "msgtras", "255"};
inline constexpr SettingKey ForeCol{"Option", "forecol", "0"};
inline constexpr SettingKey BackCol{"Option", "backcol", "16777215"};
inline constexpr SettingKey ForeColC{"Option", "forecolC", "0"};
inline constexpr SettingKey BackColC{"Option", "backcolC", "16777215"};
inline constexpr SettingKey WsChum{"Option", "wschum", "0"};
inline constexpr SettingKey Monitor{"Option", "Monitor", "0"};
inline constexpr SettingKey StartChk{"Option", "Start_chk", "0"};
inline constexpr SettingKey Minimized{"Option", "Minimized", "0"};
inline constexpr SettingKey Hlet{"Option", "hlet", "0"};
inline constexpr SettingKey AgSound{"Option", "agsound", "0"};
inline constexpr SettingKey Agent{"Option", "Agent", ""};
// Their defaults depend on the screen; readers compute them (empty here means "compute").
inline constexpr SettingKey MsgPosX{"Option", "msg_posx", ""};
inline constexpr SettingKey MsgPosY{"Option", "msg_posy", ""};
inline constexpr SettingKey Tcic{"Option", "tcic", "10000"};
inline constexpr SettingKey RecentCmd{"Recent", "Cmd", ""};
inline constexpr SettingKey AuxOnTop{"FrmAux", "ontop", "0"};
inline constexpr SettingKey CameraExpand{"Optcamera", "expand", "0"};

// Filters by WHO group k = 0..8: "Who" & k, "WhoA" & k, "WhoL" & k in section Option.
QString whoKey(int group);
QString whoAKey(int group);
QString whoLKey(int group);
inline const QString OptionSection = QStringLiteral("Option");

// Launch slots n = 1, 2: "path" & n (default empty) and "prog" & n (default 0).
inline const QString LaunchSection = QStringLiteral("Launch");
QString launchPathKey(int slot);
QString launchProgKey(int slot);

// Window positions: a section per window ("FrmAux", "FrmProbe" & zone, "FrmBut" & n, "FrmAi"),
// keys "x" and "y" in twips.
inline const QString PosX = QStringLiteral("x");
inline const QString PosY = QStringLiteral("y");

} // namespace SettingKeys
