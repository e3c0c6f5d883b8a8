// The game's window on the desktop: whose it is, as a window manager sees it when it takes the
// window on, full screen with and without one, its 4:3 picture kept whole and centred in a
// window of any shape, and Escape, which ends the game.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using e2e::WindowPlace;

// Whether the window comes to stand at `place` within a hundred frames (GLUT moves it between
// two frames).
bool reaches(e2e::GameSession& game, const WindowPlace& place) {
    for (int frame = 0; frame < 100 && game.windowPlace() != place; ++frame) {
        if (!game.waitFrames(1, game.output().size())) {
            return false;
        }
    }
    return game.windowPlace() == place;
}

// Without a window manager, started with --fullscreen the window covers the screen by the game's
// doing; F11 gives it the size and place it was opened with. Escape then ends the game as
// closing the window does: status 0 and its console, which nothing here unbuffers, written out
// to the end of its last frame.
TEST(DesktopWindow, startsInFullScreenWhenAskedAndEscapeEndsTheGameWithItsWholeConsole) {
    e2e::GameSession game({ZEPH_GAME_EXE, "--fullscreen"}, ZEPH_BUILD_DIR, "1280x1024");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    EXPECT_TRUE(reaches(game, {0, 0, 1280, 1024})) << game.describe();
    ASSERT_TRUE(game.keys({"F11"}));
    EXPECT_TRUE(reaches(game, {250, 250, 640, 480})) << game.describe();
    ASSERT_TRUE(game.keys({"Escape"}));
    EXPECT_EQ(game.exitStatus(30), 0) << game.describe();
    const std::string out = game.output();
    int frames = 0;
    for (std::size_t at = 0; (at = out.find("\n fin du print", at)) != std::string::npos; ++at) {
        ++frames;
    }
    const std::string expected =
        transcript::untouched(readBytes(ZEPH_BUILD_DIR "/bin/models/kanone.3ds"), frames);
    EXPECT_TRUE(out == expected) << out.size() << " bytes of " << expected.size() << ", " << frames
                                 << " frames";
}

using Item = unsigned long; // a 32-bit property's item, as Xlib holds it

// _NET_WM_ICON as the installed icon files make it: for each size its width and height, then
// its pixels as ARGB, decoded by stb_image.
std::vector<Item> iconOfTheFiles() {
    std::vector<Item> icon;
    for (const int size : {48, 64, 128, 256}) {
        const std::string side = std::to_string(size) + "x" + std::to_string(size);
        const e2e::Image file =
            e2e::loadImage(ZEPH_BUILD_DIR "/icon/hicolor/" + side + "/apps/zephrandolinth.png", 4);
        icon.insert(icon.end(), {Item(file.width), Item(file.height)});
        for (std::size_t at = 0; at + 3 < file.bytes.size(); at += 4) {
            const unsigned char* p = &file.bytes[at];
            icon.push_back(Item(p[3]) << 24 | Item(p[0]) << 16 | Item(p[1]) << 8 | p[2]);
        }
    }
    return icon;
}

// Under a window manager (a stand-in of our own) the window carries its class, its process and
// its icon when it asks to be mapped, before it leaves the withdrawn state as the ICCCM wants: a
// task bar that reads them once, as it takes the window on, matches it with the menu entry.
// Full screen, asked for at start and with F11, is then the window manager's to give, and it
// gives the window back its size and place.
TEST(WindowManager, takesTheWindowOnWithItsClassProcessAndIconAndSwitchesItsFullScreen) {
    e2e::GameSession game({"stdbuf", "-o0", ZEPH_GAME_EXE, "--fullscreen"}, ZEPH_BUILD_DIR,
                          "1280x1024", true);
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitFrames(1, 0) &&
                game.manager->waitUntilManaged("Zephrandolinth v0.1", 30) && game.waitForWindow())
        << game.describe();
    e2e::MapRecord taken; // the map that put the game's window under management
    for (const e2e::MapRecord& map : game.manager->maps()) {
        taken = std::to_string(map.window) == game.window ? map : taken;
    }
    EXPECT_EQ(taken.windowClass, (std::vector<std::string>{"zephrandolinth", "Zephrandolinth"}));
    EXPECT_EQ(taken.processId, std::vector<Item>{Item(game.processId())});
    const std::vector<Item> icon = iconOfTheFiles();
    EXPECT_EQ(icon.size(), 2 * 4 + (48 * 48 + 64 * 64 + 128 * 128 + 256 * 256));
    EXPECT_TRUE(taken.icon == icon)
        << taken.icon.size() << " values of " << icon.size() << ", "
        << std::mismatch(taken.icon.begin(), taken.icon.end(), icon.begin(), icon.end()).first -
               taken.icon.begin()
        << " equal before the first difference";
    const WindowPlace fullScreen{0, 0, 1280, 1024}, opened{250, 250, 640, 480};
    EXPECT_TRUE(reaches(game, fullScreen)) << game.describe();
    for (const WindowPlace& next : {opened, fullScreen}) {
        ASSERT_TRUE(game.keys({"F11"}));
        EXPECT_TRUE(reaches(game, next)) << game.describe();
    }
    std::vector<bool> states;
    for (const e2e::FullScreenRecord& request : game.manager->fullScreenRequests()) {
        states.push_back(std::to_string(request.window) == game.window && request.fullScreen);
    }
    EXPECT_EQ(states, (std::vector<bool>{true, false, true}));
}

// ImageMagick's one number about build/screenshots/<name>.png after `steps`; -1 when none.
double magick(const std::string& name, std::vector<std::string> steps) {
    steps.insert(steps.begin(),
                 {"convert", std::string(ZEPH_BUILD_DIR "/screenshots/") + name + ".png"});
    const e2e::CommandResult result = e2e::runCommand(steps, std::nullopt, 60);
    return result.code == 0 && !result.out.empty() ? std::atof(result.out.c_str()) : -1;
}

std::string rectangle(const WindowPlace& area) {
    return "rectangle " + std::to_string(area[0]) + "," + std::to_string(area[1]) + " " +
           std::to_string(area[0] + area[2] - 1) + "," + std::to_string(area[1] + area[3] - 1);
}

// The brightest channel of the shot outside `area`, 0 when all black.
double litOutside(const std::string& name, const WindowPlace& area) {
    return magick(name, {"-fill", "black", "-draw", rectangle(area), "-format", "%[max]", "info:"});
}

// The shot's `area` scaled to 640x480 (kept as <name>-picture.png) against the opening picture:
// the mean difference of a channel, in steps of 1/255, where the picture stands still while no
// key is pressed: the cockpit (roof, pillars, dashboard) and the sky around it; the view inside,
// where the asteroids tumble and drift, is left out. Scaling the picture down and back smooths
// the sky's one-pixel stars: a whole picture comes within 4 (400x700, the smallest, about 3.6),
// while the same picture moved by two pixels is past 6 and one scaled by 3% past 20.
double stillDifference(const std::string& name, const WindowPlace& area) {
    const std::string shots = ZEPH_BUILD_DIR "/screenshots/";
    const std::string geometry = std::to_string(area[2]) + "x" + std::to_string(area[3]) + "+" +
                                 std::to_string(area[0]) + "+" + std::to_string(area[1]);
    return magick(name, {"-crop", geometry, "+repage", "-resize", "640x480!", "-write",
                         shots + name + "-picture.png", shots + "shape-640x480.png", "-compose",
                         "difference", "-composite", "-fill", "black", "-draw",
                         rectangle({70, 40, 500, 310}), "-format",
                         "%[fx:mean*255*640*480/(640*480-500*310)]", "info:"});
}

// In a window wider or taller than 4:3, and in full screen, the picture is the 640x480 one
// scaled into the largest centred 4:3 area, with black bars beside or above and below it. The
// sky stays on: it would show in the bars if anything drew there. Leaving full screen gives the
// window back its size and place.
TEST(PictureShape, keepsItsWhole4by3PictureCentredWithBlackBarsAtEveryShapeAndInFullScreen) {
    e2e::GameSession game({"stdbuf", "-o0", ZEPH_GAME_EXE}, ZEPH_BUILD_DIR, "1280x1024");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    // The ships and the drifting asteroid pass the cockpit's frame on their way to the point
    // behind the eye they close in on; there they stay, out of sight.
    ASSERT_TRUE(game.waitFrames(e2e::shipsPassed, 0)) << game.describe();
    ASSERT_EQ(game.screenshot("shape-640x480").width, 640) << game.describe();
    const struct {
        const char* name;
        WindowPlace window, area;
    } shapes[] = {{"shape-1024x576", {0, 0, 1024, 576}, {128, 0, 768, 576}},
                  {"shape-400x700", {30, 20, 400, 700}, {0, 200, 400, 300}},
                  {"shape-full-screen", {0, 0, 1280, 1024}, {0, 32, 1280, 960}}};
    for (const auto& shape : shapes) {
        const bool fullScreen = shape.window[2] == 1280; // from the 400x700 window
        ASSERT_TRUE(fullScreen ? game.keys({"F11"}) : game.placeWindow(shape.window));
        ASSERT_TRUE(reaches(game, shape.window)) << shape.name << "\n" << game.describe();
        ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe(); // drawn so
        ASSERT_EQ(game.screenshot(shape.name).width, shape.window[2]) << shape.name;
        EXPECT_EQ(litOutside(shape.name, shape.area), 0) << shape.name;
        EXPECT_LT(stillDifference(shape.name, shape.area), 5.0) << shape.name;
    }
    ASSERT_TRUE(game.keys({"F11"}));
    EXPECT_TRUE(reaches(game, shapes[1].window)) << game.describe();
}

} // namespace
