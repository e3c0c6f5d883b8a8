#include "artIcon.h"

#include "artMath.h"

#include <stb/stb_image_write.h> // the implementation comes compiled in Debian's libstb

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace art {

namespace {

unsigned char channel(double value) {
    return static_cast<unsigned char>(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5);
}

} // namespace

std::vector<unsigned char> iconPixels() {
    std::vector<unsigned char> rgba(std::size_t(kIconSize) * kIconSize * 4);
    const double centre = kIconSize * 0.55;
    const double radius = kIconSize * 0.34;
    Random stars(41), grains(17); // drawn pixel by pixel, so the same on every run
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            double r = 0.02, g = 0.02, b = 0.08; // deep space
            if (stars.uniform() < 1.0 / 41.0) {
                r = g = b = 0.85;
            }
            // The asteroid: a lumpy disc lit from the upper left.
            const double dx = (x + 0.5 - centre) / radius;
            const double dy = (y + 0.5 - centre) / radius;
            const double angle = std::atan2(dy, dx);
            const double edge = 1.0 + 0.08 * std::sin(5.0 * angle) + 0.05 * std::cos(9.0 * angle);
            const double d2 = dx * dx + dy * dy;
            if (d2 < edge * edge) {
                const double dz = std::sqrt(std::max(0.0, 1.0 - d2 / (edge * edge)));
                const double light = std::max(0.0, (-0.55 * dx - 0.55 * dy + 0.63 * dz));
                const double grain = grains.uniform() / 9.0;
                r = 0.10 + 0.62 * light + grain;
                g = 0.09 + 0.55 * light + grain;
                b = 0.08 + 0.45 * light + grain;
            }
            // A red shot crossing the upper left, with a bright head.
            const double along = (x + y) / 2.0;
            const double across = std::fabs(double(y) - x * 0.35 - 4.0);
            if (along < 30.0 && x < 28 && across < 1.6) {
                const double heat = 1.0 - across / 1.6;
                r = std::max(r, 0.6 + 0.4 * heat);
                g = std::max(g, 0.15 + 0.5 * heat * (x > 22 ? 1.0 : 0.3));
                b = std::max(b, 0.1);
            }
            unsigned char* p = &rgba[(std::size_t(y) * kIconSize + x) * 4];
            p[0] = channel(r);
            p[1] = channel(g);
            p[2] = channel(b);
            p[3] = 255;
        }
    }
    return rgba;
}

bool writeIcon(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::vector<unsigned char> pixels = iconPixels();
    if (stbi_write_png(path.c_str(), kIconSize, kIconSize, 4, pixels.data(), kIconSize * 4) == 0) {
        std::fprintf(stderr, "artgen: cannot write the icon %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace art
