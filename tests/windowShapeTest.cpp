// The picture keeps its shape: at the opening size a reshape leaves the projection bit for bit
// as the game set it, a wider window widens the view instead of stretching it, and a window
// with no area keeps the projection it had.

#include "app/windowShape.h"
#include "support/glContext.h"

#include <GL/gl.h>
#include <array>

namespace {

std::array<float, 16> projection() {
    std::array<float, 16> m{};
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

TEST_F(GlTest, reshapingKeepsTheVerticalFieldAndFollowsTheWindowsAspect) {
    setPerspective(640.0f / 480.0f);
    const std::array<float, 16> opening = projection();
    reshapeWindow(1024, 576);
    const std::array<float, 16> wide = projection();
    EXPECT_EQ(wide[5], opening[5]);
    EXPECT_EQ(wide[10], opening[10]);
    EXPECT_EQ(wide[14], opening[14]);
    EXPECT_FLOAT_EQ(wide[5] / wide[0], 1024.0f / 576.0f);
    std::array<int, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<int, 4>{0, 0, 1024, 576}));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    reshapeWindow(640, 480); // back to the opening shape, bit for bit
    EXPECT_EQ(projection(), opening);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<int, 4>{0, 0, 640, 480}));
    reshapeWindow(300, 0);
    reshapeWindow(0, 300);
    EXPECT_EQ(projection(), opening);
}

} // namespace
