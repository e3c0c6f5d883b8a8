// The game's own options through the real executable: they act before any display is needed.

#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// --version stops the game before its banner, with status 0; -q keeps the banner off stdout
// while the missing display is still reported on stderr.
TEST(GameOptionsRun, versionExitsAtOnceAndQuietSilencesEvenTheBanner) {
    const e2e::CommandResult version =
        e2e::runCommand({ZEPH_GAME_EXE, "--version"}, std::nullopt, 30);
    EXPECT_EQ(version.code, 0) << version.err;
    EXPECT_EQ(version.out, "Zephrandolinth 0.1\n");
    EXPECT_EQ(version.err, "");
    const e2e::CommandResult quiet = e2e::runCommand({ZEPH_GAME_EXE, "-q"}, std::nullopt, 30);
    EXPECT_GT(quiet.code, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");
    EXPECT_NE(quiet.err.find("DISPLAY"), std::string::npos) << quiet.err;
}

} // namespace
