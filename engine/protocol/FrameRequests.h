#pragma once

#include <QString>

// The frames the program builds itself: commands, status requests and dimension requests.
// Fields are taken as given; what the user types is checked by the frame unit instead.
namespace Frame {

// "*WHO*WHAT*WHERE##"
QString command(int who, const QString &what, const QString &where);
// "*#WHO*WHERE##", or "*#WHO##" for the whole family (an empty WHERE).
QString statusRequest(int who, const QString &where = QString());
// "*#WHO*WHERE*DIM##"
QString dimensionRequest(int who, const QString &where, int dimension);
// The gateway's model ("*#13**15##"): a serial port that answers it has a gateway behind it.
inline QString gatewayModelRequest() { return dimensionRequest(13, QString(), 15); }

// The requests a probe window's zone answers with its temperature, set point, local knob
// and valves, as one batch.
QString probeZoneRequests(int zone);

// The door-entry camera at that bus address switched on ("*6*0*4001*##"), and every camera
// switched off.
QString cameraOn(const QString &address);
QString cameraOff();
// One step of a camera picture parameter (2 zoom, 5 brightness, 6 contrast, 7 colour,
// 8 quality) up or down: "*6*150*##" / "*6*151*##".
QString cameraAdjustment(int parameter, bool up);

} // namespace Frame
