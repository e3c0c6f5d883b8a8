#pragma once
// Scaling an image to sides that are powers of two, as GLU does before it builds mipmaps.

#include <vector>

namespace weblayer {

struct ImageSize {
    int width, height;
};

// The largest power of two not above each side (at least 1).
ImageSize powerOfTwoWithin(ImageSize size);

// `pixels` (rows `alignment`-aligned, `channels` bytes a pixel) scaled down to `to`, each new
// pixel the average of the source pixels its area covers, weighed by how much of each it covers
// (GLU's filter when it shrinks); rows packed tightly.
std::vector<unsigned char> scaledImage(const unsigned char* pixels, ImageSize from, int channels,
                                       int alignment, ImageSize to);

} // namespace weblayer
