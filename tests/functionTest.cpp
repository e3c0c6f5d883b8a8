// The shared helpers: the distance the entities and the registry measure with, and the red
// bitmap text of the frame rate.

#include "support/glContext.h"

#include "app/function.h"
#include "app/windowSystem.h"

#include <GL/freeglut_std.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

TEST(FunctionDistance, isZeroFromAPointToItselfAndTheSameBothWays) {
    const Function function;
    EXPECT_EQ(function.distance(1.5f, -2, 7, 1.5f, -2, 7), 0.0f);
    EXPECT_EQ(function.distance(0, 0, 0, 0, 0, 0), 0.0f);
    const float points[][6] = {{0, 0, 0, 3, 4, 12},
                               {-3, 3, -10, 0, 3, 20},
                               {0.1f, 0.2f, 0.3f, -0.4f, 0.5f, -0.6f},
                               {1e6f, -1e6f, 3, -1e6f, 1e6f, -3}};
    for (const auto& p : points) {
        EXPECT_EQ(function.distance(p[0], p[1], p[2], p[3], p[4], p[5]),
                  function.distance(p[3], p[4], p[5], p[0], p[1], p[2]));
    }
    EXPECT_EQ(function.distance(0, 0, 0, 3, 4, 12), 13.0f);
    EXPECT_EQ(function.distance(1, 1, 1, -1, -1, -1), float(std::sqrt(12.0)));
}

// Squares of large and of tiny differences leave the float range; in double they do not.
TEST(FunctionDistance, squaresInDoublePrecisionSoNeitherHugeNorTinyDistancesAreLost) {
    const Function function;
    EXPECT_EQ(function.distance(0, 0, 0, 1e20f, 0, 0), 1e20f);
    EXPECT_EQ(function.distance(-1e30f, 0, 0, 0, 0, 0), 1e30f);
    EXPECT_EQ(function.distance(0, 0, 0, 0, 0, 1e-25f), 1e-25f);
    EXPECT_TRUE(std::isfinite(function.distance(0, 0, 0, 2e19f, 2e19f, 2e19f)));
}

std::vector<std::pair<void*, int>> drawn;

void recordCharacter(void* font, int character) {
    drawn.emplace_back(font, character);
}
void noSwap() {}

class FunctionDrawString : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        saved = setWindowSystem({noSwap, recordCharacter, noSwap});
        drawn.clear();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(0, 1, 1);
    }
    void TearDown() override {
        setWindowSystem(saved);
        GlTest::TearDown();
    }

    // The raster position in window pixels of the 64x64 test surface.
    static std::array<float, 4> rasterPosition() {
        std::array<float, 4> p{};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, p.data());
        return p;
    }

    static std::array<float, 4> colour() {
        std::array<float, 4> c{};
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    }

    WindowSystem saved{};
};

TEST_F(FunctionDrawString, drawsEachCharacterInHelveticaTenInRedAtThePosition) {
    Function().drawString("fps: 60.000000", -0.5f, 0.25f);
    const std::string text = "fps: 60.000000";
    ASSERT_EQ(drawn.size(), text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        EXPECT_EQ(drawn[i].first, GLUT_BITMAP_HELVETICA_10);
        EXPECT_EQ(drawn[i].second, text[i]);
    }
    const auto c = colour();
    EXPECT_EQ(c[0], 1.0f);
    EXPECT_EQ(c[1], 0.0f);
    EXPECT_EQ(c[2], 0.0f);
    // (-0.5, 0.25) in normalised coordinates of a 64x64 viewport.
    const auto p = rasterPosition();
    EXPECT_FLOAT_EQ(p[0], 16.0f);
    EXPECT_FLOAT_EQ(p[1], 40.0f);
}

TEST_F(FunctionDrawString, anEmptyTextSetsColourAndPositionAndDrawsNothing) {
    Function().drawString("", 0.5f, -0.5f);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(colour()[0], 1.0f);
    EXPECT_EQ(colour()[1], 0.0f);
    const auto p = rasterPosition();
    EXPECT_FLOAT_EQ(p[0], 48.0f);
    EXPECT_FLOAT_EQ(p[1], 16.0f);
}

// GLUT takes characters 1 to 255; a plain char would hand it a negative number for 0xE9,
// which it silently skips.
TEST_F(FunctionDrawString, passesBytesAboveSevenBitsAsTheirLatinOneCode) {
    Function().drawString("ajout\xE9", 0, 0);
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(drawn[0].second, 'a');
    EXPECT_EQ(drawn[5].second, 0xE9);
}

} // namespace
