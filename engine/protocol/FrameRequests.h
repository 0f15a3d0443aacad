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

// The requests a probe window's zone answers with its temperature, set point, local knob
// and valves, as one batch.
QString probeZoneRequests(int zone);

} // namespace Frame
