#pragma once

#include <QString>

// Option/"Com" holds either a port number n or a port's system name.
//  - A number n is "COMn" on Windows and "ttySn-1" elsewhere (COM1 is ttyS0 on Linux).
//  - Any other text is the system name as the port list gives it ("ttyUSB0", "COM12")
//    or a device path ("/dev/ttyACM0", a pseudo-terminal in tests), used as it is.
// The port list stores SerialPortSetting of each port, so detection stores what the user
// would pick, and the "comdetect" message shows that stored value (a number on Windows,
// the port's name elsewhere).
namespace SerialPorts {

// The name to hand to QSerialPort.
QString SerialPortName(const QString &comSetting);
// What Option/"Com" stores for a port of the list: "COM3" gives "3" on Windows; the
// system name elsewhere.
QString SerialPortSetting(const QString &systemName);
// The setting is a port number (the log lines then read "COM" n, the name the user
// picked from the options list).
bool isPortNumber(const QString &comSetting);
// A language text that ends in "COM" for a Windows port number ("Gateway found on port
// COM"), completed with the port: "COM3" for a number, else the text without its "COM"
// and the port as this system names it ("... port ttyUSB0", "... port /dev/ttyACM0").
QString withPort(const QString &text, const QString &comSetting);

} // namespace SerialPorts
