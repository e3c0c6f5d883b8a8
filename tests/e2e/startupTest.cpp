// Start-up as a player sees it: the console banner and key help, the one window, and a clean
// refusal where no window can be opened.

#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using e2e::GameSession;

// Written before the window opens, byte for byte: no newline after the F2 line, and no help
// for F3 and F4.
const std::string stars = std::string(34, '*') + "\n";
const std::string bannerAndHelp = stars + "*       Zephrandolinth v0.1      *\n" + stars +
                                  "\n    Arrow Up:    Turn up"
                                  "\n    Arrow Down:  Turn down"
                                  "\n    Arrow Left:  Turn left"
                                  "\n    Arrow Right: Turn right"
                                  "\n    Page Up:     Increase speed"
                                  "\n    Page Down:   Reduce speed"
                                  "\n    F2:          Fire rocket";
const std::string sceneReady = "on a reussi a init la scene";

std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

TEST(GameStartup, bannerAndKeyHelpComeFirstThenTheWorldThenTheReadyLine) {
    GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForOutput(sceneReady)) << game.describe() << "\nstdout:\n"
                                                << game.output();
    const std::string out = game.output();
    ASSERT_GE(out.size(), bannerAndHelp.size());
    EXPECT_EQ(out.substr(0, bannerAndHelp.size()), bannerAndHelp);
    // The world's own start-up lines, whatever they are, lie between the help and this line.
    EXPECT_GE(out.find(sceneReady), bannerAndHelp.size());
    EXPECT_EQ(occurrences(out, sceneReady), 1u);
}

TEST(GameStartup, opensOne640By480WindowWithTheGameTitleWhereAsked) {
    GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    EXPECT_EQ(game.windowName(), "Zephrandolinth v0.1");
    const auto geometry = game.windowGeometry();
    ASSERT_TRUE(geometry.has_value()) << game.describe();
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 480);
    // No window manager moves it here, so it stands where the game asked.
    EXPECT_EQ(geometry->x, 250);
    EXPECT_EQ(geometry->y, 250);
    const e2e::Image shot = game.screenshot();
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 480);
}

TEST(GameStartup, keepsRunningThroughEveryKeyAndClosesCleanlyWithItsWindow) {
    GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.focus()) << game.describe();
    ASSERT_TRUE(game.keys(
        {"Up", "Down", "Left", "Right", "Prior", "Next", "F4", "F4", "a", "Escape", "F1", "Home"}));
    GameSession::pause(0.5);
    EXPECT_TRUE(game.running()) << game.describe();
    const e2e::ExitStatus status = game.stop();
    EXPECT_TRUE(status.exited) << game.describe();
    EXPECT_EQ(status.code, 0) << game.describe();
    EXPECT_EQ(game.output().substr(0, bannerAndHelp.size()), bannerAndHelp);
}

TEST(GameStartup, withoutADisplaySaysSoInOneLineAndFailsWithoutCrashing) {
    const e2e::CommandResult run =
        e2e::runCommand({e2e::gameExecutable()}, std::nullopt, 30, e2e::buildDirectory());
    ASSERT_FALSE(run.timedOut);
    ASSERT_TRUE(run.status.exited) << "ended by signal " << run.status.signal << "\n" << run.err;
    EXPECT_NE(run.status.code, 0);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << run.err;
    // The banner still goes out first, and nothing of the world follows it.
    EXPECT_EQ(run.out, bannerAndHelp);
}

} // namespace
