// The running game in its window: an untouched session's console against the model of the
// rules, the sky in the pixels, and play read back from the registry dump it prints every
// frame (eye-space positions, so flying shows in the positions of still entities).

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// From its first byte through its fiftieth frame, exactly what the model of the rules predicts.
TEST(WorldTranscript, fiftyUntouchedFramesWriteExactlyWhatTheRulesPredict) {
    const int cannonTextures =
        transcript::textureMapsNamedIn(std::string(ZEPH_BUILD_DIR) + "/bin/models/kanone.3ds");
    ASSERT_GE(cannonTextures, 0) << "the cannon's mesh is missing from the build";
    const std::string expected =
        transcript::banner() + transcript::startUp(cannonTextures) + transcript::frames(50);
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    // Frame 50 ends with its collision lines, which only the dump of frame 51 closes off.
    ASSERT_TRUE(game.waitFrames(51, 0)) << game.describe();
    const std::string out = game.output();
    const std::size_t at =
        std::size_t(std::mismatch(expected.begin(), expected.end(), out.begin(), out.end()).first -
                    expected.begin());
    const std::size_t from = at < 200 ? 0 : at - 200;
    EXPECT_EQ(at, expected.size()) << "--- expected ---\n"
                                   << expected.substr(from, 400) << "\n--- actual ---\n"
                                   << out.substr(from, 400);
    EXPECT_EQ(out.compare(expected.size(), 10, "\n on print"), 0)
        << "frame 51 begins right after frame 50's collision lines";
}

using e2e::Image;

// The window stands where the game put it: no window manager moves it here.
TEST(ViewSky, skyFillsTheViewAroundTheCockpitAndF4SwitchesItOffAndOnAgain) {
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    const auto xdotool = [&](std::vector<std::string> argv) {
        argv.insert(argv.begin(), "xdotool");
        return e2e::runCommand(argv, game.display.name, 10);
    };
    EXPECT_NE(xdotool({"getwindowgeometry", "--shell", game.window})
                  .out.find("\nX=250\nY=250\nWIDTH=640\nHEIGHT=480\n"),
              std::string::npos);
    ASSERT_TRUE(game.waitFrames(100, 0)); // the ships close in and settle first
    // A picture once the game had a second to draw what the last command changed.
    const auto shot = [&](const char* name) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return game.screenshot(name);
    };
    const e2e::ViewLook on = e2e::lookThroughTheCockpit(shot("sky-1-on"));
    EXPECT_GT(on.lit, on.pixels * 999 / 1000) << "the sky leaves no pixel of the view undrawn";

    ASSERT_TRUE(game.keys({"F4"}));
    const Image withoutSky = shot("sky-2-off");
    const e2e::ViewLook off = e2e::lookThroughTheCockpit(withoutSky);
    EXPECT_LT(off.lit, off.pixels * 8 / 10) << "black space shows behind the scene";

    // A wider window widens the view instead of stretching it: the cockpit keeps its size in
    // the middle, with space beside its window post.
    ASSERT_EQ(xdotool({"windowsize", "--sync", game.window, "760", "480"}).code, 0);
    const Image wide = shot("sky-2-off-wide");
    ASSERT_EQ(wide.width, 760) << game.describe();
    const unsigned char *side = wide.pixel(15, 300), *dashboard = wide.pixel(380, 470);
    EXPECT_EQ(side[0] + side[1] + side[2], 0);
    EXPECT_GT(dashboard[0] + dashboard[1] + dashboard[2], 0);
    ASSERT_EQ(xdotool({"windowsize", "--sync", game.window, "640", "480"}).code, 0);

    ASSERT_TRUE(game.keys({"F4"}));
    // Where space was black the sky is back: drawn, and varied, not a flat fill.
    const e2e::ViewLook back = e2e::lookThroughTheCockpit(shot("sky-3-on-again"), &withoutSky);
    EXPECT_GT(back.lit, back.pixels * 95 / 100);
    EXPECT_GT(back.colours, 40);
    EXPECT_TRUE(game.running()) << game.describe();
}

// Toutatis (index 5) never moves by itself, only the view does: its eye-space z, last dump.
float toutatisZ(e2e::GameSession& game) {
    game.waitFrames(2, game.output().size());
    const std::string out = game.output();
    const std::size_t at = out.rfind("\nind: 5 ", out.rfind("\n fin du print"));
    float x = 0, y = 0, z = -1e9f;
    std::sscanf(out.c_str() + std::min(at, out.size()), "\nind: 5 x: %f y: %f z: %f", &x, &y, &z);
    return z;
}

// A laser leaves 3 below and 5 ahead of the cockpit at (0, 3.2, 15.5), the eye resting at
// (0, 3, 20), and is in the dump of the frame that spawned it (where a rocket leaves, the frame
// cycle's tests pin). Then flying forward past the first asteroids brings the ships, which hold
// still ahead a little above the rockets' line, within reach of a volley.
TEST(WorldPlay, shotsLeaveTheCockpitAndAVolleyAfterAFlightDestroysATarget) {
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.waitFrames(200, 0)) << game.describe();
    const std::size_t firing = game.output().size();
    ASSERT_TRUE(game.keys({"F3"}));
    const char* const spawned = "\n premier dispo: 7\n on a reussi a en faire un vertex ajout\xE9";
    ASSERT_TRUE(game.waitForOutput(spawned, firing)) << game.describe();
    ASSERT_TRUE(game.waitFrames(3, firing));
    const std::string out = game.output();
    const std::size_t at = out.find("\nind: 7 ", firing);
    EXPECT_EQ(out.substr(at, out.find('\n', at + 1) - at),
              "\nind: 7 x: " + transcript::text(0) + " y: " + transcript::text(3.2f - 6.0f) +
                  " z: " + transcript::text(15.5f - 5.0f + -20.0f) + " typ: 13");
    ASSERT_TRUE(
        game.keys({"Left", "Left", "Right", "Right", "Prior", "Prior", "Prior", "Prior", "Prior"}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (toutatisZ(game) < -1.0f) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << game.describe();
    }
    ASSERT_TRUE(game.keys({"Next", "Next", "Next", "Next", "Next"}));
    ASSERT_TRUE(game.waitFrames(100, game.output().size()));
    EXPECT_FALSE(game.screenshot("world-ships-ahead").rgb.empty());

    const auto destroyed = [&](const std::string& out) {
        return out.find("\n life: 0\non set un existe a false", firing) != std::string::npos ||
               out.find("\n life: -1\non set un existe a false", firing) != std::string::npos;
    };
    for (int volley = 0; volley < 60 && !destroyed(game.output()); ++volley) {
        ASSERT_TRUE(game.keys({"F2", "F2", "F2", "F2", "F2"}));
    }
    EXPECT_TRUE(destroyed(game.output())) << game.output().substr(firing, 3000);
    EXPECT_TRUE(game.running()) << game.describe();
}

} // namespace
