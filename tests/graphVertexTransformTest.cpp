// The placement record: how its operations compose, its cached axes and when they go stale,
// and its agreement with the matrices OpenGL itself builds from the same angles.

#include "support/glContext.h"

#include "scene/graphVertexTransform.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {

using Vector = std::array<float, 3>;
struct Axes {
    Vector x, y, z;
};

Axes readAxes(GraphVertexTransform& t) {
    return {{t.getDirectionXX(), t.getDirectionYX(), t.getDirectionZX()},
            {t.getDirectionXY(), t.getDirectionYY(), t.getDirectionZY()},
            {t.getDirectionXZ(), t.getDirectionYZ(), t.getDirectionZZ()}};
}

void expectNear(const Vector& got, const Vector& expected, float tolerance = 2e-6f) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(got[std::size_t(i)], expected[std::size_t(i)], tolerance) << "component " << i;
    }
}

GraphVertexTransform rotated(float ax, float ay, float az) {
    GraphVertexTransform t;
    t.composeRotationsX(ax);
    t.composeRotationsY(ay);
    t.composeRotationsZ(az);
    return t;
}

std::array<GLfloat, 16> modelview() {
    std::array<GLfloat, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// The test scene's angles, quarter turns, negatives and unwrapped angles.
const Vector angleSamples[] = {{0, 0, 0},       {90, 0, 0},    {0, 90, 0},
                               {0, 0, 90},      {90, 90, 0},   {150, 70, 220},
                               {380, 130, 30},  {10, 250, 80}, {-33.5f, 12.25f, -170},
                               {720, -400, 1000}};

} // namespace

// OpenGL turns about X, then Y, then Z; the columns of its matrix are the record's axes.
TEST_F(GlTest, theAxesAreTheColumnsOfOpenGLsOwnRotation) {
    glMatrixMode(GL_MODELVIEW);
    for (const Vector& a : angleSamples) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2]);
        glLoadIdentity();
        glRotatef(a[0], 1, 0, 0);
        glRotatef(a[1], 0, 1, 0);
        glRotatef(a[2], 0, 0, 1);
        const auto m = modelview();
        GraphVertexTransform t = rotated(a[0], a[1], a[2]);
        const Axes axes = readAxes(t);
        expectNear(axes.x, {m[0], m[1], m[2]});
        expectNear(axes.y, {m[4], m[5], m[6]});
        expectNear(axes.z, {m[8], m[9], m[10]});
    }
}

// Translated and scaled, apply multiplies whatever the matrix held by move, turn and scale
// (1.1 on every axis unless scaled further).
TEST_F(GlTest, applyMultipliesTheCurrentMatrixByMoveTurnAndScale) {
    glMatrixMode(GL_MODELVIEW);
    for (const Vector& a : angleSamples) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2]);
        GraphVertexTransform t = rotated(a[0], a[1], a[2]);
        t.composeTranslations(3, -4, 5.5f);
        t.composeScalings(2, 0.5f, 3);
        glLoadIdentity();
        glTranslatef(100, 200, 300);
        glRotatef(30, 1, 1, 0);
        const auto before = modelview();
        glTranslatef(3, -4, 5.5f);
        glRotatef(a[0], 1, 0, 0);
        glRotatef(a[1], 0, 1, 0);
        glRotatef(a[2], 0, 0, 1);
        glScalef(1.1f * 2, 1.1f * 0.5f, 1.1f * 3);
        const auto expected = modelview();
        glLoadMatrixf(before.data());
        t.apply();
        const auto got = modelview();
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(got[std::size_t(i)], expected[std::size_t(i)], 1e-4f) << "element " << i;
        }
    }
}

// Every turn, from any of the three, makes the next read see new axes; moving, scaling and
// copying the record's placement into another keep them right.
TEST(GraphVertexTransform, theCachedAxesFollowEveryTurnCopyAndInverse) {
    GraphVertexTransform t;
    expectNear(readAxes(t).z, {0, 0, 1}, 0);
    t.composeRotationsY(90);
    expectNear(readAxes(t).z, {1, 0, 0});
    t.composeRotationsX(90);
    expectNear(readAxes(t).y, {0, 0, 1});
    t.composeRotationsZ(-90);
    expectNear(readAxes(t).x, {0, 0, -1});
    const Axes before = readAxes(t);
    t.composeTranslations(5, -6, 7);
    t.composeScalings(2, 3, 4);
    EXPECT_EQ(readAxes(t).z, before.z);

    GraphVertexTransform target; // its cache holds the unturned axes
    readAxes(target);
    target.copy(t);
    EXPECT_EQ(readAxes(target).z, before.z);
    EXPECT_EQ(target.getX(), 5.0f);
    EXPECT_EQ(target.getAlphaZ(), -90.0f);
    EXPECT_EQ(target.getScaleZ(), 1.1f * 4);

    t.inverseTransformation();
    GraphVertexTransform reference = rotated(-90, -90, 90);
    EXPECT_EQ(readAxes(t).z, readAxes(reference).z);
}

TEST(GraphVertexTransform, movesAddTurnsAccumulateUnwrappedScalesMultiplyInversesNegate) {
    GraphVertexTransform t;
    t.composeTranslations(1, 2, 3);
    t.composeTranslations(-0.5f, 0.25f, 10);
    t.composeRotationsX(200);
    t.composeRotationsX(200);
    t.composeRotationsY(-300);
    t.composeRotationsZ(361);
    t.composeScalings(2, 0.5f, 10);
    const float expected[] = {0.5f, 2.25f, 13, 400, -300, 361, 1.1f * 2, 1.1f * 0.5f, 1.1f * 10};
    auto values = [](const GraphVertexTransform& p) {
        return std::array<float, 9>{p.getX(),      p.getY(),      p.getZ(),
                                    p.getAlphaX(), p.getAlphaY(), p.getAlphaZ(),
                                    p.getScaleX(), p.getScaleY(), p.getScaleZ()};
    };
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(values(t)[std::size_t(i)], expected[i]) << "value " << i;
    }
    t.inverseTransformation();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(values(t)[std::size_t(i)], i < 6 ? -expected[i] : expected[i]) << "value " << i;
    }
}
