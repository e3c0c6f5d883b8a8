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
    std::vector<unsigned char> out(std::size_t(to.width) * std::size_t(to.height) *
                                   std::size_t(channels));
    for (int y = 0; y < to.height; ++y) {
        const int top = int(long(y) * from.height / to.height);
        const int bottom = std::max(top + 1, int(long(y + 1) * from.height / to.height));
        for (int x = 0; x < to.width; ++x) {
            const int left = int(long(x) * from.width / to.width);
            const int right = std::max(left + 1, int(long(x + 1) * from.width / to.width));
            const long count = long(bottom - top) * (right - left);
            for (int c = 0; c < channels; ++c) {
                long sum = 0;
                for (int sy = top; sy < bottom; ++sy) {
                    for (int sx = left; sx < right; ++sx) {
                        sum += pixels[sy * rowBytes + long(sx) * channels + c];
                    }
                }
                out[(std::size_t(y) * std::size_t(to.width) + std::size_t(x)) *
                        std::size_t(channels) +
                    std::size_t(c)] = static_cast<unsigned char>((sum + count / 2) / count);
            }
        }
    }
    return out;
}

} // namespace weblayer
