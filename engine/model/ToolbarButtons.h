#pragma once

// Positions on the main window's toolbar "barra" (1-based; 2, 4 and 10 are separators), as
// the click handler, the pictures and the tool tips address them.
namespace ToolbarButtons {

enum Button : int {
    Monitor = 1,
    Save = 3,
    Aux = 5,
    Probe = 6,
    Camera = 7,
    Meters = 8,
    Scenarios = 9,
    Options = 11,
};

inline constexpr int Count = 11;

inline constexpr bool isSeparator(int position) { return position == 2 || position == 4 || position == 10; }

} // namespace ToolbarButtons
