#include "scene/frameClock.h"

#include <chrono>

namespace {

std::int64_t steadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

std::int64_t steadyFrequency() {
    using period = std::chrono::steady_clock::period;
    return period::den / period::num;
}

FrameClock currentClock = {steadyNow, steadyFrequency};

} // namespace

FrameClock steadyFrameClock() { return {steadyNow, steadyFrequency}; }

FrameClock setFrameClock(FrameClock clock) {
    FrameClock previous = currentClock;
    currentClock = clock;
    return previous;
}

const FrameClock& frameClock() { return currentClock; }
