#pragma once

#include "devices/camera/MotionState.h"

#include <QString>

class QImage;

// Compares a shown camera picture with the references kept from earlier ones, marks changed
// points red and "real" movement (a changed point whose four neighbours changed too) green on
// the picture, and adapts the tolerance. No window needed: the camera window beeps and
// colours its read-out from the result.
namespace MotionDetector {

struct Result
{
    int percent = 0;   // whole percentage of changed points
    bool alarm = false; // more than 5 % outside the settle phase
    QString readout;   // the three lines of the read-out label
};

// The picture must be PictureWidth x PictureHeight in a 32-bit format; it is painted on.
Result RilevaMovimento(QImage &picture, MotionState &state);

} // namespace MotionDetector
