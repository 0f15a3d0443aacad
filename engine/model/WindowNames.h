#pragma once

#include <QString>

// The names of the program's windows, as the translator, the main window and the device
// host find them. A probe window carries its zone in its caption.
namespace WindowNames {

inline const QString FrmMain = QStringLiteral("FrmMain");
inline const QString FrmAux = QStringLiteral("FrmAux");
inline const QString FrmCamera = QStringLiteral("FrmCamera");
inline const QString FrmVolt = QStringLiteral("FrmVolt");
inline const QString FrmAmp = QStringLiteral("FrmAmp");
inline const QString FrmWatt = QStringLiteral("FrmWatt");
inline const QString FrmScen = QStringLiteral("FrmScen");
inline const QString FrmAI = QStringLiteral("FrmAI");
inline const QString FrmOpt = QStringLiteral("FrmOpt");
inline const QString FrmAbout = QStringLiteral("frmAbout");
inline const QString FrmUpd = QStringLiteral("FrmUpd");
inline const QString FrmBut = QStringLiteral("FrmBut");
inline const QString FrmMsg = QStringLiteral("FrmMsg");
inline const QString FrmWS = QStringLiteral("FrmWS");
inline const QString FrmProbe = QStringLiteral("FrmProbe");

// "FrmProbe" followed by the zone number: the caption the translator pushes to.
inline QString probeCaption(int zone) { return FrmProbe + QString::number(zone); }

} // namespace WindowNames
