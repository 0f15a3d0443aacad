#pragma once

#include <array>

// Per WHO group (0 lighting .. 8 sound): notice pop-up, speech, monitor log line.
struct Filters
{
    static constexpr int GroupCount = 9;
    std::array<int, GroupCount> Who{};
    std::array<int, GroupCount> WhoA{};
    std::array<int, GroupCount> WhoL{1, 1, 1, 1, 1, 1, 1, 1, 1};
};
