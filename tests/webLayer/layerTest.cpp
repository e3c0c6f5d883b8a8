// The browser's OpenGL layer (sys/web/gl/), its arithmetic held to the desktop's own libraries:
// the viewing matrix to Mesa's GLU, the bitmap font's advances to freeglut's, the texture
// scaling to GLU's gluScaleImage.

#include "e2e/harness.h"
#include "support/glContext.h"

#include "sys/web/gl/bitmapFont.h"
#include "sys/web/gl/imageScale.h"
#include "sys/web/gl/lookAtMatrix.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using weblayer::Point;

// The layer's checks that ask the desktop's OpenGL, each on a fresh context.
class WebLayerGl : public GlTest {};

struct View {
    Point eye, centre, up;
};

// The camera's own views, turned and rolled, and the ones GLU leaves unturned (an eye on its
// centre, an up along the line of sight).
const View kViews[] = {
    {{0, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {{-3, 3, 20}, {-3, 3, 19}, {0, 1, 0}},
    {{12.5, -4, 7.25}, {-1, 2, -30}, {0.3, 0.9, -0.1}},
    {{1e3, 2e3, -5e2}, {0, 0, 0}, {0, 0, 1}},
    {{0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}, {0, 1, 0}},
    {{0, 0, 5}, {0, 0, 0}, {0, 0, 2}},
};

// GLU applies the turn and the move as two multiplications, the layer in one: they agree to the
// floats' rounding, relative to the matrix's largest entry.
TEST_F(WebLayerGl, lookAtMatrixIsMesaGluLookAt) {
    for (const View& view : kViews) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z,
                  view.up.x, view.up.y, view.up.z);
        std::array<float, 16> mesa{};
        glGetFloatv(GL_MODELVIEW_MATRIX, mesa.data());
        const std::array<float, 16> ours = weblayer::lookAtMatrix(view.eye, view.centre, view.up);
        float largest = 1;
        for (float entry : mesa) {
            largest = std::max(largest, std::fabs(entry));
        }
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(ours[std::size_t(i)], mesa[std::size_t(i)], 4e-6f * largest)
                << "entry " << i << " of the view from (" << view.eye.x << ", " << view.eye.y
                << ", " << view.eye.z << ")";
        }
    }
}

// freeglut measures its fonts only once glutInit has opened a display, so this one asks it on a
// display of its own, in a child process: opening and closing the display leaves an allocation
// of the X libraries behind, which the leak checker would otherwise lay at the test's door.
std::vector<int> freeglutHelvetica10Advances(const std::string& displayName,
                                             const std::string& characters) {
    int channel[2];
    if (pipe(channel) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string program = "layerTest", option = "-display", name = displayName;
        char* argv[] = {program.data(), option.data(), name.data(), nullptr};
        int argc = 3;
        glutInit(&argc, argv);
        std::vector<int> advances;
        for (const char character : characters) {
            advances.push_back(
                glutBitmapWidth(GLUT_BITMAP_HELVETICA_10, static_cast<unsigned char>(character)));
        }
        const auto bytes = static_cast<ssize_t>(advances.size() * sizeof(int));
        _exit(write(channel[1], advances.data(), std::size_t(bytes)) == bytes ? 0 : 1);
    }
    close(channel[1]);
    std::vector<int> advances(characters.size());
    const auto wanted = static_cast<ssize_t>(advances.size() * sizeof(int));
    const bool whole =
        child > 0 && read(channel[0], advances.data(), std::size_t(wanted)) == wanted;
    close(channel[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    return whole ? advances : std::vector<int>{};
}

TEST(WebFont, advancesAreFreeglutsHelvetica10) {
    e2e::VirtualDisplay display("640x480");
    ASSERT_TRUE(display.ok()) << "no Xvfb display";
    // The characters the frame-rate line can hold: "fps: ", a float as %lf writes it.
    const std::string line = "fps: 0123456789.-+infa";
    const std::vector<int> advances = freeglutHelvetica10Advances(display.name, line);
    ASSERT_EQ(advances.size(), line.size()) << "freeglut gave no advances on " << display.name;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(line[i]);
        EXPECT_EQ(weblayer::helvetica10Glyph(byte).advance, advances[i]) << "'" << line[i] << "'";
    }
}

// A glyph stands on the baseline within the font's height, left of its advance.
TEST(WebFont, glyphsStayWithinTheirCell) {
    for (int character = 0; character < 256; ++character) {
        const weblayer::Glyph& glyph =
            weblayer::helvetica10Glyph(static_cast<unsigned char>(character));
        for (const weblayer::GlyphPixel& pixel : glyph.pixels) {
            EXPECT_GE(pixel.x, 0) << character;
            EXPECT_LT(pixel.x, glyph.advance) << character;
            EXPECT_GE(pixel.y, -3) << character;
            EXPECT_LT(pixel.y, 10) << character;
        }
    }
}

// Sides of one, odd sides, rows padded to four bytes, three and four channels.
struct Scaling {
    int width, height, channels, alignment;
};

const Scaling kScalings[] = {
    {300, 200, 3, 1}, {5, 3, 3, 4}, {1, 7, 4, 4}, {97, 65, 4, 1}, {64, 48, 3, 4},
};

std::vector<unsigned char> patterned(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i * 37 + (i / 7) * 11) & 255);
    }
    return bytes;
}

// GLU's own filter, on the same bytes: the two round sums of fractions apart, by one at most.
TEST_F(WebLayerGl, scaledImageIsGluScaleImage) {
    for (const Scaling& s : kScalings) {
        const weblayer::ImageSize from{s.width, s.height};
        const weblayer::ImageSize to = weblayer::powerOfTwoWithin(from);
        ASSERT_LE(to.width, s.width);
        ASSERT_GT(to.width * 2, s.width);
        ASSERT_LE(to.height, s.height);
        ASSERT_GT(to.height * 2, s.height);
        const int rowBytes = (s.width * s.channels + s.alignment - 1) / s.alignment * s.alignment;
        const std::vector<unsigned char> pixels =
            patterned(std::size_t(rowBytes) * std::size_t(s.height));
        const std::vector<unsigned char> ours =
            weblayer::scaledImage(pixels.data(), from, s.channels, s.alignment, to);
        std::vector<unsigned char> glu(ours.size());
        glPixelStorei(GL_UNPACK_ALIGNMENT, s.alignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        const GLenum format = s.channels == 4 ? GL_RGBA : GL_RGB;
        ASSERT_EQ(gluScaleImage(format, s.width, s.height, GL_UNSIGNED_BYTE, pixels.data(),
                                to.width, to.height, GL_UNSIGNED_BYTE, glu.data()),
                  0);
        int worst = 0;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            worst = std::max(worst, std::abs(int(ours[i]) - int(glu[i])));
        }
        EXPECT_LE(worst, 1) << s.width << "x" << s.height << " to " << to.width << "x" << to.height;
    }
}

} // namespace
