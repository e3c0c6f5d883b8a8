// Bitmap text as the desktop's OpenGL draws it (glRasterPos2f, then glutBitmapCharacter), where
// WebGL has no bitmaps: each set pixel of a glyph is a pixel-sized square, drawn at the raster
// position's depth (a bitmap's fragments are depth-tested there too), in the raster position's
// colour, without lighting or texture. A line's characters are drawn together when the next
// line starts or the frame ends; the depth test puts them where drawing them at once would.

#include "sys/web/gl/bitmapFont.h"
#include "sys/web/gl/bitmapText.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <array>
#include <emscripten.h>
#include <vector>

extern "C" {
// GLUT_BITMAP_HELVETICA_10 is this variable's address.
void* glutBitmapHelvetica10 = nullptr;
}

namespace {

struct RasterPosition {
    bool valid = false;
    float x = 0, y = 0, depth = 0; // in the viewport, in pixels; depth in [-1, 1]
    std::array<float, 4> colour{1, 1, 1, 1};
};

RasterPosition raster;

// The characters written from one raster position, drawn at once: one draw for a line of text
// rather than one a character (each draw costs the emulation a full set-up).
struct PendingText {
    std::vector<weblayer::GlyphPixel> pixels; // in the viewport, in pixels
    std::array<float, 4> colour{};
    float depth = 0;
} pending;

// The emulation keeps the current colour to itself; GL_CURRENT_COLOR is not among its queries.
EM_JS(void, readCurrentColour, (float* rgba), {
    var colour = GLImmediate.clientColor || [ 1, 1, 1, 1 ];
    for (var i = 0; i < 4; i++) HEAPF32[(rgba >> 2) + i] = colour[i];
});

// The raster position's colour: while lighting is on, OpenGL lights it as a vertex
// (sys/web/gl/displayLists.js), whatever colour is current.
EM_JS(void, readRasterColour, (float* rgba), {
    var colour = GLEmulation.lightingEnabled ? ZephLists.litColour() : GLImmediate.clientColor || [ 1, 1, 1, 1 ];
    for (var i = 0; i < 4; i++) HEAPF32[(rgba >> 2) + i] = colour[i];
});

std::array<float, 4> transformed(const float* m, const std::array<float, 4>& v) {
    std::array<float, 4> out{};
    for (int row = 0; row < 4; ++row) {
        out[std::size_t(row)] =
            m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
    return out;
}

bool insideClipVolume(const std::array<float, 4>& clip) {
    for (int axis = 0; axis < 3; ++axis) {
        if (clip[std::size_t(axis)] < -clip[3] || clip[std::size_t(axis)] > clip[3]) {
            return false;
        }
    }
    return clip[3] > 0;
}

// Draws in the viewport's pixels with the caller's matrices and switches kept aside.
class PixelSpace {
  public:
    PixelSpace() {
        glGetIntegerv(GL_VIEWPORT, viewport);
        lit = glIsEnabled(GL_LIGHTING) == GL_TRUE;
        readCurrentColour(colour.data());
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        if (lit) {
            glDisable(GL_LIGHTING);
        }
    }
    ~PixelSpace() {
        if (lit) {
            glEnable(GL_LIGHTING);
        }
        glColor4f(colour[0], colour[1], colour[2], colour[3]);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    PixelSpace(const PixelSpace&) = delete;
    PixelSpace& operator=(const PixelSpace&) = delete;

  private:
    GLint viewport[4] = {0, 0, 0, 0};
    bool lit = false;
    std::array<float, 4> colour{};
};

} // namespace

void glRasterPos2f(GLfloat x, GLfloat y) {
    drawPendingText();
    float modelview[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::array<float, 4> clip = transformed(projection, transformed(modelview, {x, y, 0, 1}));
    raster.valid = insideClipVolume(clip);
    if (!raster.valid) {
        return;
    }
    raster.x = (clip[0] / clip[3] + 1) * 0.5f * float(viewport[2]);
    raster.y = (clip[1] / clip[3] + 1) * 0.5f * float(viewport[3]);
    raster.depth = clip[2] / clip[3];
    readRasterColour(raster.colour.data());
}

void glutBitmapCharacter(void* font, int character) {
    if (font != GLUT_BITMAP_HELVETICA_10 || character < 0 || character > 255 || !raster.valid) {
        return;
    }
    const weblayer::Glyph& glyph = weblayer::helvetica10Glyph(static_cast<unsigned char>(character));
    // A bitmap's pixels start at the raster position rounded down, as glBitmap places them.
    const int left = int(raster.x), bottom = int(raster.y);
    for (const weblayer::GlyphPixel& pixel : glyph.pixels) {
        pending.pixels.push_back({left + pixel.x, bottom + pixel.y});
    }
    pending.colour = raster.colour;
    pending.depth = raster.depth;
    raster.x += float(glyph.advance);
}

void drawPendingText() {
    if (pending.pixels.empty()) {
        return;
    }
    PixelSpace space;
    glColor4f(pending.colour[0], pending.colour[1], pending.colour[2], pending.colour[3]);
    const float z = -pending.depth; // the orthographic projection's depth is -z
    glBegin(GL_QUADS);
    for (const weblayer::GlyphPixel& pixel : pending.pixels) {
        const float x = float(pixel.x), y = float(pixel.y);
        glVertex3f(x, y, z);
        glVertex3f(x + 1, y, z);
        glVertex3f(x + 1, y + 1, z);
        glVertex3f(x, y + 1, z);
    }
    glEnd();
    pending.pixels.clear();
}
