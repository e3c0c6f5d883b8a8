// The frame clock: a monotonic count with its rate, and the seam that lets tests set time.

#include "scene/frameClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

std::int64_t fixedNow() {
    return 42;
}
std::int64_t fixedRate() {
    return 7;
}

TEST(FrameClock, theGameClockCountsForwardAtItsStatedRate) {
    const FrameClock clock = steadyFrameClock();
    const std::int64_t rate = clock.ticksPerSecond();
    ASSERT_GE(rate, 1000) << "at least millisecond resolution";
    const std::int64_t first = clock.now();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::int64_t second = clock.now();
    EXPECT_GE(second, first);
    const double seconds = double(second - first) / double(rate);
    EXPECT_GE(seconds, 0.029);
    EXPECT_LT(seconds, 30.0); // a loaded machine may sleep long, but not this long
}

TEST(FrameClock, replacingTheClockHandsBackTheOneItReplaces) {
    const FrameClock game = setFrameClock({fixedNow, fixedRate});
    EXPECT_EQ(frameClock().now(), 42);
    EXPECT_EQ(frameClock().ticksPerSecond(), 7);
    const FrameClock fake = setFrameClock(game);
    EXPECT_EQ(fake.now, &fixedNow);
    EXPECT_EQ(fake.ticksPerSecond, &fixedRate);
    EXPECT_EQ(frameClock().ticksPerSecond(), steadyFrameClock().ticksPerSecond());
    const std::int64_t before = frameClock().now();
    EXPECT_GE(steadyFrameClock().now(), before);
}

} // namespace
