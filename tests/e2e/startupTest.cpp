// Start-up where no window can open, and with the display named on the command line.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(GameStartup, withoutADisplaySaysSoInOneLineAfterTheBannerAndFailsWithoutCrashing) {
    const e2e::CommandResult run = e2e::runCommand({ZEPH_GAME_EXE}, std::nullopt, 30);
    ASSERT_FALSE(run.timedOut);
    EXPECT_GT(run.code, 0) << "signal " << run.signal << "\n" << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << run.err;
    // The banner and key help still go out first, and nothing of the world follows.
    EXPECT_EQ(run.out, transcript::banner());
}

// The arguments go to GLUT: -display opens that display even with DISPLAY unset.
TEST(GameStartup, aDisplayNamedOnTheCommandLineIsOpenedWithoutTheDisplayVariable) {
    e2e::VirtualDisplay screen;
    ASSERT_TRUE(screen.ok());
    const e2e::CommandResult run = e2e::runCommand(
        {"stdbuf", "-o0", ZEPH_GAME_EXE, "-display", screen.name}, std::nullopt, 20);
    EXPECT_TRUE(run.timedOut) << "ended on its own, code " << run.code << "\n" << run.err;
    EXPECT_NE(run.out.find("on a reussi a init la scene"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("DISPLAY"), std::string::npos) << run.err;
}

} // namespace
