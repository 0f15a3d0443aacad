#pragma once

#include "devices/camera/CameraButton.h"
#include "devices/camera/MotionState.h"

#include <array>

// Where the camera window puts its parts, in pixels.
namespace CameraLayout {

constexpr int WindowWidth = 334;
constexpr int PictureLeft = 7;
constexpr int PictureTop = 24;
constexpr int ButtonRow = PictureTop + MotionState::PictureHeight + 4;
constexpr int AdjustRow = ButtonRow + CameraButton::Height + 5;

// Bus parameters of the five adjustment pairs: brightness, contrast, colour, zoom, quality.
constexpr std::array<int, 5> Parameters{5, 6, 7, 2, 8};

} // namespace CameraLayout
