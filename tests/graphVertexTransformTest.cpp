// The placement record: its operations, its cached axes, and OpenGL's own matrices as oracle.

#include "support/feedback.h"
#include "support/glContext.h"
#include "support/placementChecks.h"

#include "scene/graphVertexTransform.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {

using Values = std::array<float, 9>;

// The axes, column by column as OpenGL lays out a matrix.
Values axes(GraphVertexTransform t) {
    return {t.getDirectionXX(), t.getDirectionYX(), t.getDirectionZX(),
            t.getDirectionXY(), t.getDirectionYY(), t.getDirectionZY(),
            t.getDirectionXZ(), t.getDirectionYZ(), t.getDirectionZZ()};
}

class TransformGl : public GlTest {};

} // namespace

// Turns about X, then Y, then Z: the matrix columns are the record's axes. Apply multiplies what
// the matrix held by move, turn and scale (1.1 times the record's scales).
TEST_F(TransformGl, theAxesAndApplyAgreeWithOpenGLsOwnMatrices) {
    const std::array<float, 3> angles[] = {
        {0, 0, 0},        {90, 0, 0},     {0, 90, 0},     {0, 0, 90},
        {90, 90, 0},      {150, 70, 220}, {380, 130, 30}, {-33.5f, 12.25f, -170},
        {720, -400, 1000}};
    for (const auto& a : angles) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2]);
        GraphVertexTransform t = placedAt(0, 0, 0, a[0], a[1], a[2]);
        glLoadIdentity();
        glTranslatef(100, 200, 300), glRotatef(30, 1, 1, 0);
        const auto before = glFloats(GL_MODELVIEW_MATRIX);
        glLoadIdentity();
        glRotatef(a[0], 1, 0, 0), glRotatef(a[1], 0, 1, 0), glRotatef(a[2], 0, 0, 1);
        const auto turn = glFloats(GL_MODELVIEW_MATRIX);
        for (std::size_t i = 0; i < 9; ++i)
            EXPECT_NEAR(axes(t)[i], turn[i + i / 3], 2e-6f) << "axis " << i;
        t.composeTranslations(3, -4, 5.5f), t.composeScalings(2, 0.5f, 3);
        glLoadMatrixf(before.data()), glTranslatef(3, -4, 5.5f), glMultMatrixf(turn.data());
        glScalef(1.1f * 2, 1.1f * 0.5f, 1.1f * 3);
        const auto expected = glFloats(GL_MODELVIEW_MATRIX);
        glLoadMatrixf(before.data()), t.apply();
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_NEAR(glFloats(GL_MODELVIEW_MATRIX)[i], expected[i], 1e-4f) << "at " << i;
    }
}

// Moves add, turns accumulate unwrapped, scales multiply from 1.1, inverses negate moves and
// turns; the cached axes follow every turn, copy and inverse.
TEST(GraphVertexTransform, operationsComposeAndTheCachedAxesFollowEveryTurnCopyAndInverse) {
    GraphVertexTransform t = placedAt(0, 0, 0, 90, 90, -90);
    const Values turned = axes(t);
    t.composeTranslations(1, 2, 3), t.composeTranslations(-0.5f, 0.25f, 10);
    t.composeScalings(2, 0.5f, 10);
    EXPECT_EQ(axes(t), turned);
    GraphVertexTransform target;
    target.getDirectionZZ(); // its cache now holds the unturned axes
    target.copy(t);
    EXPECT_EQ(axes(target), turned);
    EXPECT_EQ(placementValues(target), placementValues(t));
    t.composeRotationsX(310), t.composeRotationsY(-300), t.composeRotationsZ(451);
    const float sx = 1.1f * 2, sy = 1.1f * 0.5f, sz = 1.1f * 10;
    EXPECT_EQ(placementValues(t),
              (std::vector<float>{0.5f, 2.25f, 13, 400, -210, 361, sx, sy, sz}));
    t.inverseTransformation();
    EXPECT_EQ(placementValues(t),
              (std::vector<float>{-0.5f, -2.25f, -13, -400, 210, -361, sx, sy, sz}));
    EXPECT_EQ(axes(t), axes(placedAt(0, 0, 0, -400, 210, -361)));
}
