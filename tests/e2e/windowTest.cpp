// The game's window on the desktop: whose it is (read back with xprop), its 4:3 picture kept
// whole and centred in a window of any shape and in full screen, and Escape, which ends the game.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using e2e::Image;
using e2e::WindowPlace;

// Every window property the desktop reads, with the icon whole (xprop cuts long values short).
std::string windowProperties(e2e::GameSession& game) {
    return e2e::runCommand({"xprop", "-len", "1000000", "-id", game.window}, game.display.name, 30)
        .out;
}

TEST(DesktopWindow, namesItsClassItsProcessAndItsIconToTheDesktop) {
    e2e::GameSession game;
    // GLUT shows the window before the game can name it: by its first frame it has.
    ASSERT_TRUE(game.ok() && game.waitForWindow() && game.waitFrames(1, 0)) << game.describe();
    const std::string properties = windowProperties(game);
    for (const std::string& expected :
         {std::string("WM_CLASS(STRING) = \"zephrandolinth\", \"Zephrandolinth\"\n"),
          "_NET_WM_PID(CARDINAL) = " + std::to_string(game.processId()) + "\n",
          std::string("Icon (48 x 48):"), std::string("Icon (64 x 64):"),
          std::string("Icon (128 x 128):"), std::string("Icon (256 x 256):")}) {
        EXPECT_NE(properties.find(expected), std::string::npos) << expected << " in\n"
                                                                << properties.substr(0, 2000);
    }
}

// Whether the window comes to stand at `place` within a hundred frames (GLUT moves it between
// two frames).
bool reaches(e2e::GameSession& game, const WindowPlace& place) {
    for (int frame = 0; frame < 100 && !(game.windowPlace() == place); ++frame) {
        if (!game.waitFrames(1, game.output().size())) {
            return false;
        }
    }
    return game.windowPlace() == place;
}

// Started with --fullscreen the window covers the screen; F11 gives it the size and place it was
// opened with. Escape then ends the game as closing the window does: status 0 and its console,
// which nothing here unbuffers, written out to the end of its last frame.
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
    const std::size_t counted = std::min(out.size(), out.find("nbTextureKan : ") + 15);
    const std::string expected = transcript::banner() +
                                 transcript::startUp(std::atoi(out.c_str() + counted)) +
                                 transcript::frames(frames);
    EXPECT_TRUE(out == expected) << out.size() << " bytes of " << expected.size()
                                 << " through frame " << frames << ", the last of them:\n"
                                 << out.substr(out.size() - std::min<std::size_t>(out.size(), 300));
}

// The cockpit (its roof, pillars and dashboard) and the sky around it stand still while no key
// is pressed, in a 640x480 picture; the view inside is left out, since the asteroids tumble and
// drift there from one shot to the next.
bool standsStill(int x, int y) {
    return x < 70 || x >= 570 || y < 40 || y >= 350;
}

// The mean difference of a channel between two 640x480 pictures where they stand still, in
// steps of 1/255; 255 when either is missing. Scaling the picture down and back smooths the sky's
// one-pixel stars: a whole picture comes within 4 (400x700, the smallest, about 3.6), while the
// same picture moved by two pixels is past 6 and one scaled by 3% past 20.
double stillDifference(const Image& a, const Image& b) {
    if (a.width != 640 || a.height != 480 || b.width != 640 || b.height != 480) {
        return 255;
    }
    double sum = 0;
    int counted = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            for (int c = 0; c < 3 && standsStill(x, y); ++c, ++counted) {
                sum += std::abs(int(a.pixel(x, y)[c]) - int(b.pixel(x, y)[c]));
            }
        }
    }
    return sum / counted;
}

// Pixels of the shot outside `area` that are not black, and the area scaled to 640x480 by
// ImageMagick (kept beside the shot as <name>-picture.png).
struct Framing {
    int litOutside = -1;
    Image picture;
};
Framing framing(e2e::GameSession& game, const std::string& name, const WindowPlace& area) {
    const Image shot = game.screenshot(name);
    Framing seen;
    if (shot.width == 0) {
        return seen;
    }
    seen.litOutside = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const bool inside =
                x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
            const unsigned char* p = shot.pixel(x, y);
            seen.litOutside += !inside && p[0] + p[1] + p[2] > 0 ? 1 : 0;
        }
    }
    const std::string shots = std::string(ZEPH_BUILD_DIR) + "/screenshots/";
    const std::string geometry = std::to_string(area.width) + "x" + std::to_string(area.height) +
                                 "+" + std::to_string(area.x) + "+" + std::to_string(area.y);
    const std::string scaled = shots + name + "-picture.png";
    if (e2e::runCommand({"convert", shots + name + ".png", "-crop", geometry, "+repage", "-resize",
                         "640x480!", scaled},
                        std::nullopt, 60)
            .code == 0) {
        seen.picture = e2e::loadImage(scaled);
    }
    return seen;
}

// Frames drawn after now, so that a new shape or place has been drawn.
void drawnAgain(e2e::GameSession& game) {
    ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe();
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
    ASSERT_TRUE(game.waitFrames(200, 0)) << game.describe();
    const Framing opening = framing(game, "shape-640x480", {0, 0, 640, 480});
    ASSERT_EQ(opening.picture.width, 640) << game.describe();
    const struct {
        const char* name;
        WindowPlace window, area;
    } shapes[] = {{"shape-1024x576", {0, 0, 1024, 576}, {128, 0, 768, 576}},
                  {"shape-400x700", {30, 20, 400, 700}, {0, 200, 400, 300}},
                  {"shape-full-screen", {0, 0, 1280, 1024}, {0, 32, 1280, 960}}};
    for (const auto& shape : shapes) {
        const bool fullScreen = shape.window.width == 1280; // from the 400x700 window
        ASSERT_TRUE(fullScreen ? game.keys({"F11"}) : game.placeWindow(shape.window));
        ASSERT_TRUE(reaches(game, shape.window)) << shape.name << "\n" << game.describe();
        drawnAgain(game);
        const Framing seen = framing(game, shape.name, shape.area);
        EXPECT_EQ(seen.litOutside, 0) << shape.name;
        EXPECT_LT(stillDifference(seen.picture, opening.picture), 5.0) << shape.name;
    }
    ASSERT_TRUE(game.keys({"F11"}));
    EXPECT_TRUE(reaches(game, shapes[1].window)) << game.describe();
}

} // namespace
