// Playing the real game with the keyboard, read back from the registry dump it prints every
// frame (eye-space positions, so flying shows in the positions of still entities).

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>

namespace {

// Toutatis (index 5) never moves by itself, only the view does: its eye-space z, last dump.
float toutatisZ(e2e::GameSession& game) {
    game.waitFrames(2, game.output().size());
    const std::string out = game.output();
    const std::size_t at = out.rfind("\nind: 5 ", out.rfind("\n fin du print"));
    float x = 0, y = 0, z = -1e9f;
    std::sscanf(out.c_str() + std::min(at, out.size()), "\nind: 5 x: %f y: %f z: %f", &x, &y, &z);
    return z;
}

// Shots leave 3 below and 3.5 (rocket) or 5 (laser) ahead of the cockpit at (0, 3.2, 15.5),
// the eye resting at (0, 3, 20), and are in the dump of the frame that spawned them. Then
// flying forward past the first asteroids brings the ships, which hold still ahead a little
// above the rockets' line, within reach of a volley.
TEST(WorldPlay, shotsLeaveTheCockpitAndAVolleyAfterAFlightDestroysATarget) {
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.waitFrames(200, 0)) << game.describe();
    const std::size_t firing = game.output().size();
    for (const auto& [key, index, ahead, type] :
         {std::tuple("F2", "7", -3.5f, "12"), std::tuple("F3", "8", -5.0f, "13")}) {
        const std::size_t before = game.output().size();
        ASSERT_TRUE(game.keys({key}));
        ASSERT_TRUE(game.waitForOutput(std::string("\n premier dispo: ") + index +
                                           "\n on a reussi a en faire un vertex ajout\xE9",
                                       before))
            << game.describe();
        ASSERT_TRUE(game.waitFrames(3, before));
        const std::string out = game.output(), line = std::string("\nind: ") + index + " ";
        const std::size_t at = out.find(line, before);
        EXPECT_EQ(out.substr(at, out.find('\n', at + 1) - at),
                  line + "x: " + transcript::text(0) + " y: " + transcript::text(3.2f - 6.0f) +
                      " z: " + transcript::text(15.5f + ahead + -20.0f) + " typ: " + type);
    }
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
