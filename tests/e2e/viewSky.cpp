// The sky behind everything around the cockpit, switched off and on with F4, in the pixels of
// a 640x480 window standing where the game put it (no window manager moves it here).

#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using e2e::Image;

TEST(ViewSky, skyFillsTheViewAroundTheCockpitAndF4SwitchesItOffAndOnAgain) {
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    EXPECT_NE(e2e::runCommand({"xdotool", "getwindowgeometry", "--shell", game.window},
                              game.display.name, 10)
                  .out.find("\nX=250\nY=250\nWIDTH=640\nHEIGHT=480\n"),
              std::string::npos);
    const auto settle = [] { std::this_thread::sleep_for(std::chrono::seconds(1)); };
    ASSERT_TRUE(game.waitFrames(100, 0)); // the ships close in and settle first

    const Image withSky = game.screenshot("sky-1-on");
    ASSERT_TRUE(withSky.width == 640 && withSky.height == 480) << game.describe();
    const e2e::ViewLook on = e2e::lookThroughTheCockpit(withSky);
    EXPECT_GT(on.lit, on.pixels * 999 / 1000) << "the sky leaves no pixel of the view undrawn";

    ASSERT_TRUE(game.keys({"F4"}));
    settle();
    const Image withoutSky = game.screenshot("sky-2-off");
    ASSERT_EQ(withoutSky.width, 640) << game.describe();
    const e2e::ViewLook off = e2e::lookThroughTheCockpit(withoutSky);
    EXPECT_LT(off.lit, off.pixels * 8 / 10) << "black space shows behind the scene";

    // A wider window widens the view instead of stretching it: the cockpit keeps its size in
    // the middle, with space beside its window post.
    const auto resize = [&](const char* width) {
        return e2e::runCommand({"xdotool", "windowsize", "--sync", game.window, width, "480"},
                               game.display.name, 10)
            .code;
    };
    ASSERT_EQ(resize("760"), 0);
    settle();
    const Image wide = game.screenshot("sky-2-off-wide");
    ASSERT_EQ(wide.width, 760) << game.describe();
    const unsigned char *side = wide.pixel(15, 300), *dashboard = wide.pixel(380, 470);
    EXPECT_EQ(side[0] + side[1] + side[2], 0);
    EXPECT_GT(dashboard[0] + dashboard[1] + dashboard[2], 0);
    ASSERT_EQ(resize("640"), 0);

    ASSERT_TRUE(game.keys({"F4"}));
    settle();
    const Image skyAgain = game.screenshot("sky-3-on-again");
    ASSERT_EQ(skyAgain.width, 640) << game.describe();
    // Where space was black the sky is back: drawn, and varied, not a flat fill.
    const e2e::ViewLook back = e2e::lookThroughTheCockpit(skyAgain, &withoutSky);
    EXPECT_GT(back.lit, back.pixels * 95 / 100);
    EXPECT_GT(back.colours, 40);
    EXPECT_TRUE(game.running()) << game.describe();
}

} // namespace
