// Playing the real game with the keyboard: shots leave from the cockpit, the arrows turn the
// view, Page Up and Page Down change speed, and a run that turns, flies and fires destroys a
// target. What the player does is read back from the registry dump the game prints every
// frame: eye-space positions, so turning and flying show in the positions of still entities.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

using e2e::GameSession;

const std::string frameEnd = "\n fin du print";
constexpr int toutatisIndex = 5; // never moves by itself: only the view moves it

struct Seen {
    float x = 0, y = 0, z = 0;
    int type = 0;
};

// The records of the last complete dump that carry a measured position, by index.
std::map<int, Seen> lastDump(const std::string& out) {
    std::map<int, Seen> records;
    const std::size_t end = out.rfind(frameEnd);
    if (end == std::string::npos) {
        return records;
    }
    const std::size_t begin = out.rfind("\n on print", end);
    std::size_t at = out.find("\nind: ", begin);
    while (at != std::string::npos && at < end) {
        int index = 0, type = 0;
        float x = 0, y = 0, z = 0;
        if (std::sscanf(out.c_str() + at, "\nind: %d x: %f y: %f z: %f typ: %d", &index, &x, &y,
                        &z, &type) == 5) {
            records[index] = {x, y, z, type};
        }
        at = out.find("\nind: ", at + 1);
    }
    return records;
}

// Waits until `count` more frames have ended.
bool waitFrames(GameSession& game, int count, double timeoutSeconds = 60) {
    std::size_t from = game.output().size();
    for (int frame = 0; frame < count; ++frame) {
        if (!game.waitForOutput(frameEnd, timeoutSeconds, from)) {
            return false;
        }
        from = game.output().find(frameEnd, from) + frameEnd.size();
    }
    return true;
}

Seen toutatisNow(GameSession& game) {
    waitFrames(game, 2);
    return lastDump(game.output())[toutatisIndex];
}

// The game up, focused, and past its first frames: by then the ships and the following
// asteroid have closed in on the player and hold still behind the eye.
void startPlaying(GameSession& game) {
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.focus()) << game.describe();
    ASSERT_TRUE(waitFrames(game, 200)) << game.describe();
}

// The first record line of `index` written after byte `from`.
std::string firstRecordLine(const std::string& out, int index, std::size_t from) {
    const std::string head = "\nind: " + std::to_string(index) + " ";
    const std::size_t at = out.find(head, from);
    if (at == std::string::npos) {
        return "";
    }
    return out.substr(at, out.find('\n', at + 1) - at);
}

std::string positionLine(int index, float x, float y, float z, int type) {
    return "\nind: " + std::to_string(index) + " x: " + transcript::text(x) +
           " y: " + transcript::text(y) + " z: " + transcript::text(z) +
           " typ: " + std::to_string(type);
}

void keepScreenshot(GameSession& game, const std::string& name) {
    const std::string directory = e2e::buildDirectory() + "/screenshots";
    const std::filesystem::path kept = directory + "/" + name;
    game.keepScreenshotsIn(directory + "/.incoming");
    const e2e::Image shot = game.screenshot();
    EXPECT_FALSE(shot.empty()) << game.describe();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory + "/.incoming", ignored)) {
        std::filesystem::rename(entry.path(), kept, ignored);
    }
    std::filesystem::remove_all(directory + "/.incoming", ignored);
    // Some of the scene is lit and the frame rate is written in red.
    EXPECT_GT(shot.countLit(), shot.width * shot.height / 50) << kept;
    EXPECT_GT(shot.countNear(255, 0, 0, 60), 10) << kept;
}

} // namespace

// The cockpit stands at (0, 3.2, 15.5) while the eye (0, 3, 20) keeps still; a rocket leaves 3
// below and 3.5 ahead of it, a laser 3 below and 5 ahead, and each is drawn in the frame that
// spawned it.
TEST(WorldPlay, f2AndF3SpawnTheirShotsUnderAndAheadOfTheCockpit) {
    GameSession game;
    startPlaying(game);
    const float launchY = (3.0f + 0.2f) + -3.0f;
    const std::size_t beforeRocket = game.output().size();
    ASSERT_TRUE(game.key("F2"));
    ASSERT_TRUE(game.waitForOutput("\n premier dispo: 7\n on a reussi a en faire un vertex ajout\xE9",
                                   30, beforeRocket))
        << game.describe();
    ASSERT_TRUE(waitFrames(game, 3));
    EXPECT_EQ(firstRecordLine(game.output(), 7, beforeRocket),
              positionLine(7, 0, launchY + -3.0f, (15.5f + -3.5f) + -20.0f, 12));

    const std::size_t beforeLaser = game.output().size();
    ASSERT_TRUE(game.key("F3"));
    ASSERT_TRUE(game.waitForOutput("\n premier dispo: 8\n on a reussi a en faire un vertex ajout\xE9",
                                   30, beforeLaser))
        << game.describe();
    ASSERT_TRUE(waitFrames(game, 3));
    EXPECT_EQ(firstRecordLine(game.output(), 8, beforeLaser),
              positionLine(8, 0, launchY + -3.0f, (15.5f + -5.0f) + -20.0f, 13));
}

// Turning left brings what lay ahead to the right of the view, turning up brings it lower.
TEST(WorldPlay, arrowsTurnTheView) {
    GameSession game;
    startPlaying(game);
    const Seen ahead = toutatisNow(game);
    ASSERT_EQ(ahead.type, transcript::toutatis);
    EXPECT_EQ(ahead.x, 3.0f);
    EXPECT_EQ(ahead.y, 0.0f);
    EXPECT_EQ(ahead.z, -30.0f);

    ASSERT_TRUE(game.keys({"Left", "Left", "Left"}));
    const Seen afterLeft = toutatisNow(game);
    EXPECT_GT(afterLeft.x, ahead.x);
    ASSERT_TRUE(game.keys({"Right", "Right", "Right", "Right", "Right", "Right"}));
    const Seen afterRight = toutatisNow(game);
    EXPECT_LT(afterRight.x, afterLeft.x);

    ASSERT_TRUE(game.keys({"Up", "Up", "Up"}));
    const Seen afterUp = toutatisNow(game);
    EXPECT_LT(afterUp.y, afterRight.y);
    ASSERT_TRUE(game.keys({"Down", "Down", "Down", "Down", "Down", "Down"}));
    const Seen afterDown = toutatisNow(game);
    EXPECT_GT(afterDown.y, afterUp.y);
}

// Page Up gives a negative speed, which carries the eye forward; Page Down takes it back.
TEST(WorldPlay, pageUpFliesForwardAndPageDownBackward) {
    GameSession game;
    startPlaying(game);
    const Seen atRest = toutatisNow(game);
    EXPECT_EQ(atRest.z, -30.0f) << "no key, no motion";

    ASSERT_TRUE(game.key("Prior"));
    GameSession::pause(0.5);
    const Seen flying = toutatisNow(game);
    EXPECT_GT(flying.z, atRest.z);
    GameSession::pause(0.5);
    const Seen nearer = toutatisNow(game);
    EXPECT_GT(nearer.z, flying.z) << "the speed stays without a key held";

    ASSERT_TRUE(game.keys({"Next", "Next"}));
    const Seen reversing = toutatisNow(game);
    GameSession::pause(0.5);
    const Seen backAgain = toutatisNow(game);
    EXPECT_LT(backAgain.z, reversing.z);
}

// Flying forward past the first asteroids puts the point the ships close in on ahead of the
// eye: they then hold still in front, a little above the line the rockets fly along, close
// enough for the rockets to touch them.
TEST(WorldPlay, turningFlyingAndFiringDestroysATarget) {
    GameSession game;
    startPlaying(game);
    keepScreenshot(game, "world-start.png");
    ASSERT_TRUE(game.keys({"Left", "Left", "Right", "Right"}));
    ASSERT_TRUE(game.keys({"Prior", "Prior", "Prior", "Prior", "Prior"}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (toutatisNow(game).z < -1.0f) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << game.describe();
        GameSession::pause(0.1);
    }
    ASSERT_TRUE(game.keys({"Next", "Next", "Next", "Next", "Next"}));
    ASSERT_TRUE(waitFrames(game, 100));
    keepScreenshot(game, "world-ships-ahead.png");

    const std::size_t firing = game.output().size();
    bool destroyed = false;
    for (int volley = 0; volley < 60 && !destroyed; ++volley) {
        ASSERT_TRUE(game.keys({"F2", "F2", "F2", "F2", "F2"}));
        const std::string out = game.output().substr(firing);
        destroyed = out.find("\n life: 0\non set un existe a false") != std::string::npos ||
                    out.find("\n life: -1\non set un existe a false") != std::string::npos;
    }
    const std::string out = game.output().substr(firing);
    EXPECT_TRUE(destroyed) << out.substr(0, 3000);
    EXPECT_NE(out.find("\n life: "), std::string::npos);
    EXPECT_NE(out.find("\non set un existe a false"), std::string::npos);
    EXPECT_TRUE(game.running()) << game.describe();
}
