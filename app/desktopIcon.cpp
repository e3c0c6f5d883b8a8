#include "app/desktopIcon.h"

#include "assets/artMath.h"

#include <algorithm>

namespace art {

namespace {

constexpr int kSamples = 4;           // a side, per pixel: smooth edges at 48 pixels as at 256
constexpr double kStarRadius = 0.009; // in sides of the icon

struct Colour {
    double r = 0, g = 0, b = 0;
};

struct Star {
    double x, y; // in sides of the icon
};

std::vector<Star> stars() {
    Random random(41);
    std::vector<Star> field(48);
    for (Star& star : field) {
        star = {random.uniform(), random.uniform()};
    }
    return field;
}

// The asteroid's lumpy rim as a multiple of its radius, from the direction (c, s) = (cos, sin)
// of the point seen from its centre: 1 + 0.08 sin 5a + 0.05 cos 9a, by multiple-angle
// recurrences so that no library sine takes part.
double rim(double c, double s) {
    double cosPrev = 1, cosNow = c, sinPrev = 0, sinNow = s;
    double sin5 = 0, cos9 = 0;
    for (int n = 2; n <= 9; ++n) {
        const double cosNext = 2 * c * cosNow - cosPrev, sinNext = 2 * c * sinNow - sinPrev;
        cosPrev = cosNow, cosNow = cosNext, sinPrev = sinNow, sinNow = sinNext;
        sin5 = n == 5 ? sinNow : sin5;
        cos9 = n == 9 ? cosNow : cos9;
    }
    return 1.0 + 0.08 * sin5 + 0.05 * cos9;
}

// The stars that points of the row at height y may lie on: those nearer than a star's radius.
// The test that places a star on a point stays the same, only the stars it cannot hold are left
// out (a square is never below a square it is not below), so every pixel stays the same while
// the game's start-up, which draws every size, tests a star or two a point instead of all.
std::vector<Star> starsNear(double y, const std::vector<Star>& field) {
    std::vector<Star> near;
    for (const Star& star : field) {
        if (std::fabs(y - star.y) < kStarRadius) {
            near.push_back(star);
        }
    }
    return near;
}

// One point of the picture; x and y in sides of the icon, y downwards; `stars` holds at least
// those near its row.
Colour sample(double x, double y, const std::vector<Star>& stars) {
    Colour c{0.02, 0.02, 0.08}; // deep space
    for (const Star& star : stars) {
        const double d2 = (x - star.x) * (x - star.x) + (y - star.y) * (y - star.y);
        if (d2 < kStarRadius * kStarRadius) {
            c = {0.85, 0.85, 0.85};
        }
    }
    // The asteroid, lit from the upper left, its surface grained with noise.
    const double centre = 0.55, radius = 0.34;
    const double dx = (x - centre) / radius, dy = (y - centre) / radius;
    const double d2 = dx * dx + dy * dy;
    // The rim lies within 1.13 radii (1 + 0.08 + 0.05), so a point past 1.14 (d2 over 1.3) is
    // outside without it, and the many such points of every size spare its eight steps.
    const double d = std::sqrt(d2);
    const double edge = d2 < 1.3 && d > 0 ? rim(dx / d, dy / d) : 1.0;
    if (d2 < edge * edge) {
        const double dz = std::sqrt(1.0 - d2 / (edge * edge));
        const double light = std::max(0.0, -0.55 * dx - 0.55 * dy + 0.63 * dz);
        const double grain = (fractalNoise({x * 14, y * 14, 0}, 17, 4) + 1.0) / 10.0;
        c = {0.10 + 0.62 * light + grain, 0.09 + 0.55 * light + grain, 0.08 + 0.45 * light + grain};
    }
    // A red shot crossing the upper left, its head bright.
    const double across = std::fabs(y - x * 0.35 - 0.0625) / 0.025;
    if (x < 0.4375 && across < 1.0) {
        const double heat = 1.0 - across;
        c.r = std::max(c.r, 0.6 + 0.4 * heat);
        c.g = std::max(c.g, 0.15 + 0.5 * heat * (x > 0.35 ? 1.0 : 0.3));
        c.b = std::max(c.b, 0.1);
    }
    return c;
}

unsigned char channel(double sum) {
    return static_cast<unsigned char>(clamp01(sum / (kSamples * kSamples)) * 255.0 + 0.5);
}

} // namespace

std::vector<unsigned char> iconPixels(int size) {
    const std::vector<Star> field = stars();
    std::vector<unsigned char> rgba(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        std::vector<Star> near[kSamples];
        for (int sy = 0; sy < kSamples; ++sy) {
            near[sy] = starsNear((y + (sy + 0.5) / kSamples) / size, field);
        }
        for (int x = 0; x < size; ++x) {
            Colour sum;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Colour c = sample((x + (sx + 0.5) / kSamples) / size,
                                            (y + (sy + 0.5) / kSamples) / size, near[sy]);
                    sum = {sum.r + clamp01(c.r), sum.g + clamp01(c.g), sum.b + clamp01(c.b)};
                }
            }
            unsigned char* p = &rgba[(std::size_t(y) * size + x) * 4];
            p[0] = channel(sum.r);
            p[1] = channel(sum.g);
            p[2] = channel(sum.b);
            p[3] = 255;
        }
    }
    return rgba;
}

} // namespace art
