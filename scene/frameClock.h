#pragma once
// The frame clock: a 64-bit monotonic tick count and its rate in ticks per second. The game
// reads std::chrono::steady_clock; tests install their own source to make frame times exact.

#include <cstdint>

struct FrameClock {
    std::int64_t (*now)();            // current tick count
    std::int64_t (*ticksPerSecond)(); // rate of now()
};

FrameClock steadyFrameClock();
// The clock the world reads from now on; returns the one it replaces.
FrameClock setFrameClock(FrameClock clock);
const FrameClock& frameClock();
