// A programme that a recording application holds a reservation for, as the
// guide frames it. The reservation records themselves belong to reserve/,
// which turns them into frames whenever they are collected again.
#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

// Colour families of the reservation frames.
enum class FrameColor : uint8_t { green, blue, orange, red };

struct ReservationFrame {
    int serviceId = 0;
    int networkClass = 0;  // of the matched service
    int64_t start = 0;
    int64_t end = 0;
    FrameColor color = FrameColor::green;
    bool solid = true;     // a solid 2 px frame; otherwise dotted 1 px
};

// In the order of the reservation list.
using ReservationFrames = std::vector<ReservationFrame>;

}  // namespace corvane
