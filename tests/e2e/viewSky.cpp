// What the player sees around the cockpit: the sky behind everything, switched off and on with
// F4. The screenshots are kept in build/screenshots/viewSky/ for a person to look at.

#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using e2e::GameSession;
using e2e::Image;

struct Region {
    int x, y, width, height;
};

// Inside the cockpit's window frame, above the dashboard: sky or scene, nothing of the cockpit.
const Region view = {70, 40, 500, 310};
// The cockpit's dashboard along the bottom of the window, and a piece of its left window post.
const Region dashboard = {40, 380, 560, 90};
const Region windowPost = {5, 150, 25, 150};

bool black(const Image& shot, int x, int y) {
    const unsigned char* p = shot.pixel(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Pixels where nothing at all was drawn: the sky, when on, covers every one of them.
std::vector<std::pair<int, int>> emptySpace(const Image& shot, const Region& r) {
    std::vector<std::pair<int, int>> found;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            if (black(shot, x, y)) {
                found.emplace_back(x, y);
            }
        }
    }
    return found;
}

double share(std::size_t part, const Region& r) { return double(part) / double(r.width * r.height); }

struct SkyLook {
    double covered = 0;   // share of the given pixels that are not black
    double brightness = 0; // mean of R, G and B over them
    int colours = 0;      // distinct colours among them, at 5 bits a channel
};

SkyLook lookAt(const Image& shot, const std::vector<std::pair<int, int>>& pixels) {
    SkyLook look;
    if (pixels.empty()) {
        return look;
    }
    std::vector<bool> seen(1 << 15, false);
    std::size_t lit = 0;
    double sum = 0;
    for (const auto& [x, y] : pixels) {
        const unsigned char* p = shot.pixel(x, y);
        lit += black(shot, x, y) ? 0 : 1;
        sum += (p[0] + p[1] + p[2]) / 3.0;
        const int key = ((p[0] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[2] >> 3);
        if (!seen[std::size_t(key)]) {
            seen[std::size_t(key)] = true;
            ++look.colours;
        }
    }
    look.covered = double(lit) / double(pixels.size());
    look.brightness = sum / double(pixels.size());
    return look;
}

int litIn(const Image& shot, const Region& r) {
    int lit = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            lit += black(shot, x, y) ? 0 : 1;
        }
    }
    return lit;
}

struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour meanColour(const Image& shot, const Region& area) {
    Colour mean;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const unsigned char* p = shot.pixel(x, y);
            mean.r += p[0];
            mean.g += p[1];
            mean.b += p[2];
        }
    }
    const double n = double(area.width * area.height);
    return {mean.r / n, mean.g / n, mean.b / n};
}

void keepAs(const std::string& directory, int shot, const std::string& name) {
    std::error_code ignored;
    std::filesystem::rename(directory + "/shot" + std::to_string(shot) + ".png",
                            directory + "/" + name + ".png", ignored);
}

} // namespace

TEST(ViewSky, skyFillsTheBackgroundAroundTheCockpitAndF4SwitchesItOffAndOnAgain) {
    const std::string kept = e2e::buildDirectory() + "/screenshots/viewSky";
    std::error_code ignored;
    std::filesystem::remove_all(kept, ignored);

    GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    ASSERT_TRUE(game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.focus()) << game.describe();
    game.keepScreenshotsIn(kept);
    // Let the ships close in and settle first, so the three pictures show the same scene.
    GameSession::pause(4.0);

    const Image withSky = game.screenshot();
    ASSERT_EQ(withSky.width, 640) << game.describe();
    ASSERT_EQ(withSky.height, 480);
    keepAs(kept, 1, "1-sky-and-cockpit");
    EXPECT_LT(share(emptySpace(withSky, view).size(), view), 0.001)
        << "the sky leaves no pixel of the view undrawn";
    EXPECT_GT(share(std::size_t(litIn(withSky, dashboard)), dashboard), 0.5) << "the cockpit";

    ASSERT_TRUE(game.key("F4"));
    GameSession::pause(1.0);
    const Image withoutSky = game.screenshot();
    ASSERT_FALSE(withoutSky.empty()) << game.describe();
    keepAs(kept, 2, "2-sky-off-after-F4");
    const auto space = emptySpace(withoutSky, view);
    EXPECT_GT(share(space.size(), view), 0.2) << "black space shows behind the scene";
    EXPECT_GT(share(std::size_t(litIn(withoutSky, dashboard)), dashboard), 0.5)
        << "the cockpit stays";
    // The cockpit keeps its own colours without the sky (no tint from the frame-rate text).
    const Colour postWithSky = meanColour(withSky, windowPost);
    const Colour postWithoutSky = meanColour(withoutSky, windowPost);
    EXPECT_NEAR(postWithoutSky.r, postWithSky.r, 10.0);
    EXPECT_NEAR(postWithoutSky.g, postWithSky.g, 10.0);
    EXPECT_NEAR(postWithoutSky.b, postWithSky.b, 10.0);

    ASSERT_TRUE(game.key("F4"));
    GameSession::pause(1.0);
    const Image skyAgain = game.screenshot();
    ASSERT_FALSE(skyAgain.empty()) << game.describe();
    keepAs(kept, 3, "3-sky-back-after-second-F4");
    EXPECT_LT(share(emptySpace(skyAgain, view).size(), view), 0.001);
    // Where space was black, the sky image is back: dark, starry and varied, not a flat fill.
    const SkyLook sky = lookAt(skyAgain, space);
    EXPECT_GT(sky.covered, 0.95);
    EXPECT_LT(sky.brightness, 80.0);
    EXPECT_GT(sky.colours, 40);

    EXPECT_TRUE(game.running()) << game.describe();
}
