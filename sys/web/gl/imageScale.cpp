#include "sys/web/gl/imageScale.h"

#include <algorithm>

namespace weblayer {

namespace {

int powerOfTwoWithin(int side) {
    int power = 1;
    while (power <= side / 2) {
        power *= 2;
    }
    return power;
}

} // namespace

ImageSize powerOfTwoWithin(ImageSize size) {
    return {powerOfTwoWithin(size.width), powerOfTwoWithin(size.height)};
}

std::vector<unsigned char> scaledImage(const unsigned char* pixels, ImageSize from, int channels,
                                       int alignment, ImageSize to) {
    const long rowBytes = (long(from.width) * channels + alignment - 1) / alignment * alignment;
    const double stepX = double(from.width) / to.width, stepY = double(from.height) / to.height;
    std::vector<unsigned char> out(std::size_t(to.width) * std::size_t(to.height) *
                                   std::size_t(channels));
    std::vector<double> sums(static_cast<std::size_t>(channels));
    for (int y = 0; y < to.height; ++y) {
        const double top = y * stepY, bottom = top + stepY;
        for (int x = 0; x < to.width; ++x) {
            const double left = x * stepX, right = left + stepX;
            std::fill(sums.begin(), sums.end(), 0.0);
            // Each source pixel counts by how much of it the new pixel's area covers.
            for (int sy = int(top); sy < from.height && sy < bottom; ++sy) {
                const double height = std::min(bottom, sy + 1.0) - std::max(top, double(sy));
                for (int sx = int(left); sx < from.width && sx < right; ++sx) {
                    const double weight =
                        height * (std::min(right, sx + 1.0) - std::max(left, double(sx)));
                    const unsigned char* source = pixels + sy * rowBytes + long(sx) * channels;
                    for (int c = 0; c < channels; ++c) {
                        sums[std::size_t(c)] += weight * source[c];
                    }
                }
            }
            unsigned char* target =
                out.data() + (std::size_t(y) * std::size_t(to.width) + std::size_t(x)) *
                                 std::size_t(channels);
            for (int c = 0; c < channels; ++c) {
                const double value = sums[std::size_t(c)] / (stepX * stepY);
                target[c] = static_cast<unsigned char>(std::clamp(value + 0.5, 0.0, 255.0));
            }
        }
    }
    return out;
}

} // namespace weblayer
