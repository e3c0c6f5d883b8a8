#pragma once
// The frame-rate text's font in the browser, of the game's own drawing: the size and advance of
// GLUT's Helvetica 10 (freeglut's GLUT_BITMAP_HELVETICA_10), which the desktop game writes its
// frame rate in. It holds the characters that line can hold ("fps: ", the digits, the point,
// the sign, "inf" and "nan"); any other character is a blank of a digit's width.

#include <vector>

namespace weblayer {

// A set pixel of a glyph, from the raster position: x to the right, y up (the baseline is 0).
struct GlyphPixel {
    int x, y;
};

struct Glyph {
    int advance;                     // how far the raster position moves, in pixels
    std::vector<GlyphPixel> pixels;  // what is drawn
};

// The glyph of `character` (a byte, as glutBitmapCharacter takes it).
const Glyph& helvetica10Glyph(unsigned char character);

} // namespace weblayer
