// Starting the game: with no display, with one named on the command line, and installed and
// started from /, where it must find its art and draw its sky and its asteroids.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

using e2e::CommandResult;
using e2e::Image;

TEST(Install, theInstalledGameStartedFromTheRootDrawsItsSkyAndItsAsteroids) {
    const Scratch folder;
    const fs::path prefix = folder.path / "prefix";

    CommandResult install = e2e::runCommand(
        {"cmake", "--install", ZEPH_BUILD_DIR, "--prefix", prefix.string()}, std::nullopt, 120);
    ASSERT_EQ(install.code, 0) << install.out << install.err;
    const fs::path data = prefix / "share" / "zephrandolinth" / "bin";
    for (const fs::path& file :
         {prefix / "bin" / "zephrandolinth", data / "models" / "rocket.3ds",
          data / "models" / "golrock.tga", data / "texture" / "hubble2min.tga",
          prefix / "share" / "applications" / "zephrandolinth.desktop"}) {
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    }
    const Image icon = e2e::loadImage(prefix / "share/icons/hicolor/64x64/apps/zephrandolinth.png");
    EXPECT_TRUE(icon.width == 64 && icon.height == 64) << icon.width << "x" << icon.height;

    e2e::GameSession game((prefix / "bin" / "zephrandolinth").string(), "/");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const Image scene = game.screenshot("installed-sky-on");
    ASSERT_TRUE(game.keys({"F4"}));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const Image noSky = game.screenshot("installed-sky-off");
    EXPECT_EQ(game.errors(), "") << "a mesh or image was not found";
    // The textured sky covers the view in many colours; a game without its art shows one.
    const e2e::ViewLook withSky = e2e::lookThroughTheCockpit(scene);
    EXPECT_GT(withSky.lit, withSky.pixels * 999 / 1000);
    EXPECT_GT(withSky.colours, 200);
    // With the sky off, the asteroids and ships are what is left: some lit pixels, not all.
    const e2e::ViewLook without = e2e::lookThroughTheCockpit(noSky);
    EXPECT_GT(without.lit, 500);
    EXPECT_LT(without.lit, without.pixels / 2);
}

TEST(GameStartup, withoutADisplaySaysSoInOneLineAfterTheBannerAndFailsWithoutCrashing) {
    const e2e::CommandResult run = e2e::runCommand({ZEPH_GAME_EXE}, std::nullopt, 30);
    ASSERT_FALSE(run.timedOut);
    EXPECT_GT(run.code, 0) << "signal " << run.signal << "\n" << run.err;
    EXPECT_TRUE(std::count(run.err.begin(), run.err.end(), '\n') == 1 && run.err.back() == '\n' &&
                run.err.find("DISPLAY") != std::string::npos)
        << run.err;
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
