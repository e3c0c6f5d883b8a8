#pragma once
// TGA files assembled byte by byte from the published format.

#include "support/scratch.h"

#include <string>

namespace tgaFiles {

enum ImageType : unsigned char { colourMapped = 1, trueColour = 2, greyScale = 3, runLength = 10 };
constexpr unsigned char topLeft = 0x20;

struct Header {
    unsigned char imageType = trueColour;
    unsigned width = 1, height = 1;
    unsigned char bits = 24, descriptor = 0;
    std::string id;
    unsigned char colourMapType = 0;
};

inline Header header(unsigned char imageType, unsigned width, unsigned height, unsigned char bits) {
    Header h;
    h.imageType = imageType, h.width = width, h.height = height, h.bits = bits;
    return h;
}

inline Bytes file(const Header& h, const Bytes& pixels) {
    Bytes out = {static_cast<unsigned char>(h.id.size()), h.colourMapType, h.imageType};
    out.resize(12, 0); // colour map fields and origin
    for (unsigned value : {h.width, h.height}) {
        out.insert(out.end(), {static_cast<unsigned char>(value & 0xFF),
                               static_cast<unsigned char>(value >> 8)});
    }
    out.insert(out.end(), {h.bits, h.descriptor});
    out.insert(out.end(), h.id.begin(), h.id.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// An uncompressed 24-bit image of one colour.
inline Bytes plain(unsigned width, unsigned height, unsigned char red, unsigned char green,
                   unsigned char blue) {
    Bytes pixels;
    for (unsigned i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), {blue, green, red});
    }
    return file(header(trueColour, width, height, 24), pixels);
}

} // namespace tgaFiles
