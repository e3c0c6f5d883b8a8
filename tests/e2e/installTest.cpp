// An installed game starts from any directory: `cmake --install` into a scratch prefix, then
// the installed executable is started from / and must draw its sky and its asteroids, where a
// game without its art shows one flat frame.

#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

using e2e::CommandResult;
using e2e::Image;

// Starts the game from / and keeps two pictures of its window: the scene as it opens, then with
// the sky switched off (F4), so that what is left in the view is the asteroids and ships.
const char* const kStartFromRoot = R"(
"$1" >"$2/out" 2>"$2/err" &
game=$!
window=$(xdotool search --sync --onlyvisible --name 'Zephrandolinth v0.1' | head -n 1)
sleep 3
import -window "$window" "png:$2/scene.png" || exit 4
xdotool windowfocus --sync "$window" key F4
sleep 2
import -window "$window" "png:$2/nosky.png" || exit 5
kill "$game"
wait "$game"
exit 0
)";

TEST(Install, theInstalledGameStartedFromTheRootDrawsItsSkyAndItsAsteroids) {
    char pattern[] = "/tmp/zephinstallXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path scratch = pattern;
    const fs::path prefix = scratch / "prefix";

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
    const Image icon = e2e::loadImage(
        (prefix / "share" / "icons" / "hicolor" / "64x64" / "apps" / "zephrandolinth.png")
            .string());
    EXPECT_EQ(icon.width, 64);
    EXPECT_EQ(icon.height, 64);

    e2e::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    CommandResult run =
        e2e::runCommand({"sh", "-c", kStartFromRoot, "sh",
                         (prefix / "bin" / "zephrandolinth").string(), scratch.string()},
                        display.name, 90, "/");
    ASSERT_EQ(run.code, 0) << run.out << run.err;

    // Every mesh and image was found: the readers said nothing.
    std::ifstream errors(scratch / "err");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(errors), {}), "");
    const Image scene = e2e::loadImage((scratch / "scene.png").string());
    const Image noSky = e2e::loadImage((scratch / "nosky.png").string());
    ASSERT_EQ(scene.width, 640);
    ASSERT_EQ(noSky.width, 640);
    // The textured sky covers the view in many colours; a game without its art shows one.
    const e2e::ViewLook withSky = e2e::lookThroughTheCockpit(scene);
    EXPECT_GT(withSky.lit, withSky.pixels * 999 / 1000);
    EXPECT_GT(withSky.colours, 200);
    // With the sky off, the asteroids and ships are what is left: some lit pixels, not all.
    const e2e::ViewLook without = e2e::lookThroughTheCockpit(noSky);
    EXPECT_GT(without.lit, 500);
    EXPECT_LT(without.lit, without.pixels / 2);
    fs::remove_all(scratch);
}

} // namespace
