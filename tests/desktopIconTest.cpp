// The game's desktop icon held by what it must show, measured on what app/desktopIcon.cpp draws
// (the window's icon and the icon files are those bytes): a starry sky, an asteroid lit from the
// upper left and grained with noise, a red shot with a bright head, the same picture at every
// size. And the noise itself, which grains the asteroid and the art's textures.

#include "app/desktopIcon.h"
#include "assets/artMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

// The icon at one size; places in sides of the icon, y downwards, as it is drawn.
struct Icon {
    int size;
    std::vector<unsigned char> rgba;
    const unsigned char* pixel(int x, int y) const {
        return &rgba[(std::size_t(y) * size + x) * 4];
    }
    // The pixel holding the point (x, y).
    const unsigned char* at(double x, double y) const {
        return pixel(std::min(size - 1, int(x * size)), std::min(size - 1, int(y * size)));
    }
};

const Icon& icon(int size) {
    static std::map<int, Icon> drawn;
    if (drawn.count(size) == 0) {
        drawn[size] = {size, art::iconPixels(size)};
    }
    return drawn[size];
}

double luminance(const unsigned char* p) {
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

// Where the asteroid stands and how far its rim may reach in or out, in sides of the icon.
constexpr double kCentre = 0.55, kRadius = 0.34;
// The shot's axis: y = kSlope x + kOffset, from the left edge to its head's tip.
constexpr double kSlope = 0.35, kOffset = 0.0625, kTip = 0.4375;

// The large icon scaled to `size` by averaging the area each pixel covers (a box filter): what
// the same drawing should look like there.
std::vector<double> scaledFromLargest(int size) {
    const Icon& large = icon(256);
    const double step = 256.0 / size;
    std::vector<double> scaled(std::size_t(size) * size * 3, 0.0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            for (int sy = int(y * step); sy < std::min(256, int(std::ceil((y + 1) * step))); ++sy) {
                const double wy =
                    std::min(sy + 1.0, (y + 1) * step) - std::max(double(sy), y * step);
                for (int sx = int(x * step); sx < std::min(256, int(std::ceil((x + 1) * step)));
                     ++sx) {
                    const double wx =
                        std::min(sx + 1.0, (x + 1) * step) - std::max(double(sx), x * step);
                    for (int c = 0; c < 3; ++c) {
                        scaled[(std::size_t(y) * size + x) * 3 + c] +=
                            wx * wy * large.pixel(sx, sy)[c] / (step * step);
                    }
                }
            }
        }
    }
    return scaled;
}

// Each size is drawn afresh from one drawing in the icon's own measures: scaled down, the
// largest is each smaller one, but for the finer detail that the smaller ones smooth (about half
// a step of 255 a channel on average; 40 at worst, a star's edge). Opaque everywhere.
TEST(DesktopIcon, isTheSamePictureAtEverySize) {
    for (const int size : {48, 64, 128}) {
        const std::vector<double> expected = scaledFromLargest(size);
        const Icon& small = icon(size);
        double total = 0, worst = 0;
        int opaque = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const double off = std::fabs(small.pixel(x, y)[c] -
                                                 expected[(std::size_t(y) * size + x) * 3 + c]);
                    total += off;
                    worst = std::max(worst, off);
                }
                opaque += small.pixel(x, y)[3] == 255 ? 1 : 0;
            }
        }
        EXPECT_LT(total / (size * size * 3), 1.0) << size;
        EXPECT_LT(worst, 60) << size;
        EXPECT_EQ(opaque, size * size) << size;
    }
}

// Small round dots scattered over the sky. Away from the asteroid and the shot, each group of
// touching lit pixels is a star: the light it adds to the dark sky, over a star's own
// brightness, is the area it covers, which for most of them (some are cut by the edge of what
// is measured here) is a disc's of 0.009 of the side in radius, 16.6 pixels at 256.
TEST(DesktopIcon, showsSmallRoundStarsScatteredOverTheSky) {
    const Icon& large = icon(256);
    const int n = large.size;
    const double sky = luminance(large.at(0.97, 0.97)), star = 0.85 * 255;
    const auto lit = [&](int x, int y) {
        const double px = (x + 0.5) / n, py = (y + 0.5) / n;
        return std::hypot(px - kCentre, py - kCentre) > kRadius * 1.2 &&
               std::fabs(py - kSlope * px - kOffset) > 0.05 &&
               luminance(large.pixel(x, y)) > sky + 4;
    };
    std::vector<bool> seen(std::size_t(n) * n, false);
    std::vector<double> areas;
    double left = 1, right = 0, top = 1, bottom = 0; // where the stars reach, in sides
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (seen[std::size_t(y) * n + x] || !lit(x, y)) {
                continue;
            }
            std::vector<std::pair<int, int>> open{{x, y}};
            seen[std::size_t(y) * n + x] = true;
            double area = 0;
            while (!open.empty()) {
                const auto [px, py] = open.back();
                open.pop_back();
                area += (luminance(large.pixel(px, py)) - sky) / (star - sky);
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int qx = px + dx, qy = py + dy;
                    if (qx >= 0 && qy >= 0 && qx < n && qy < n &&
                        !seen[std::size_t(qy) * n + qx] && lit(qx, qy)) {
                        seen[std::size_t(qy) * n + qx] = true;
                        open.push_back({qx, qy});
                    }
                }
            }
            areas.push_back(area);
            left = std::min(left, double(x) / n), right = std::max(right, double(x) / n);
            top = std::min(top, double(y) / n), bottom = std::max(bottom, double(y) / n);
        }
    }
    EXPECT_GE(areas.size(), 15u); // of 48, some behind the asteroid and the shot
    EXPECT_LE(areas.size(), 48u);
    std::sort(areas.begin(), areas.end());
    const double disc = art::pi * (0.009 * n) * (0.009 * n);
    EXPECT_NEAR(areas.empty() ? 0 : areas[areas.size() / 2], disc, 1.0) << "the middle star";
    EXPECT_LT(areas.empty() ? 0 : areas.back(), 2.2 * disc) << "the largest, two overlapping";
    EXPECT_GT(right - left, 0.6);
    EXPECT_GT(bottom - top, 0.6);
}

// Within the asteroid's disc (well inside its lumpy rim) the half towards the upper left is the
// lit one, and even its shaded half stands out from the dark sky.
TEST(DesktopIcon, showsTheAsteroidLitFromTheUpperLeft) {
    const Icon& large = icon(256);
    double lit = 0, shaded = 0;
    int litCount = 0, shadedCount = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const double dx = (x + 0.5) / 256 - kCentre, dy = (y + 0.5) / 256 - kCentre;
            if (std::hypot(dx, dy) < kRadius * 0.8) {
                (dx + dy < 0 ? lit : shaded) += luminance(large.pixel(x, y));
                ++(dx + dy < 0 ? litCount : shadedCount);
            }
        }
    }
    lit /= litCount, shaded /= shadedCount;
    EXPECT_GT(lit, shaded + 40) << lit << " against " << shaded;
    EXPECT_GT(shaded, luminance(large.at(0.97, 0.97)) + 40) << shaded;
}

// The shot crosses the upper left along its axis, 0.05 of the side wide, up to its tip: red
// that fades evenly from full at its core to 60% at its edges, turning yellow-white at its head.
TEST(DesktopIcon, showsTheRedShotWithItsBrightHead) {
    const Icon& large = icon(256);
    const double halfWidth = 0.025 * 256; // in pixels
    const auto shotRed = [](const unsigned char* p) { return p[0] > 120 && p[0] > 2 * p[1]; };
    for (int x = 4; x < 112; x += 9) { // pixel columns, tail to head (the tip is at 112)
        const double across = (x + 0.5) / 256, axis = (kSlope * across + kOffset) * 256;
        const int core = int(axis);
        const unsigned char* p = large.pixel(x, core);
        const bool head = across > 0.36;
        EXPECT_GE(p[0], 240) << x;
        EXPECT_LE(p[2], 40) << x;
        EXPECT_TRUE(head ? p[1] >= 140 : p[1] <= 100) << x << (head ? " head" : " tail");
        int wide = 0;
        for (int y = core - 12; y <= core + 12; ++y) {
            const double heat = 1 - std::fabs(y + 0.5 - axis) / halfWidth;
            wide += shotRed(large.pixel(x, y)) ? 1 : 0;
            const bool star = large.pixel(x, y)[1] > 100; // a grey star behind the tail
            if (heat > 0.15 && !head && !star) {
                EXPECT_NEAR(large.pixel(x, y)[0], 255 * (0.6 + 0.4 * heat), 10) << x << "," << y;
            }
        }
        if (!head) {
            EXPECT_TRUE(wide >= 11 && wide <= 15) << x << ": " << wide << " pixels wide";
        }
    }
    for (double x = kTip + 0.02; x < 0.6; x += 0.01) { // nothing red past its tip
        EXPECT_FALSE(shotRed(large.at(x, kSlope * x + kOffset))) << x;
    }
}

// The value noise that grains the asteroid (and the art's textures): within [-1, 1], varied,
// and smooth: it takes the same value on both sides of every face of its lattice, where each
// cell blends its own eight corners.
TEST(ArtNoise, staysWithinItsRangeVariesAndMeetsItselfAcrossEveryLatticeFace) {
    art::Random random(7);
    double sum = 0, squares = 0;
    constexpr int kPoints = 2000;
    for (int i = 0; i < kPoints; ++i) {
        const art::Vec3 p{random.range(-20, 20), random.range(-20, 20), random.range(-20, 20)};
        const double value = art::valueNoise(p, 17);
        EXPECT_TRUE(value >= -1 && value <= 1) << value;
        sum += value, squares += value * value;
        const double grain = art::fractalNoise(p, 17, 4);
        EXPECT_TRUE(grain >= -1 && grain <= 1) << grain;
        for (int axis = 0; axis < 3; ++axis) {
            art::Vec3 below = p, above = p;
            double* const b[] = {&below.x, &below.y, &below.z};
            double* const a[] = {&above.x, &above.y, &above.z};
            *b[axis] = std::floor(*b[axis]) - 1e-9, *a[axis] = std::floor(*a[axis]) + 1e-9;
            EXPECT_NEAR(art::valueNoise(below, 17), art::valueNoise(above, 17), 1e-6)
                << "across the face at " << *a[axis] << " of axis " << axis;
        }
    }
    const double mean = sum / kPoints;
    EXPECT_LT(std::fabs(mean), 0.1);
    EXPECT_GT(std::sqrt(squares / kPoints - mean * mean), 0.2);
}

} // namespace
