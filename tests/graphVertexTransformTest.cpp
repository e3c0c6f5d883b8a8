// The placement record: its defaults, how its operations compose, the cached axes and their
// staleness, and its agreement with OpenGL's own rotations and matrices.

#include "support/glContext.h"

#include "scene/graphVertexTransform.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {

constexpr float axisTolerance = 1e-6f;

struct Axes {
    std::array<float, 3> x, y, z;
};

Axes readAxes(GraphVertexTransform& t) {
    return {{t.getDirectionXX(), t.getDirectionYX(), t.getDirectionZX()},
            {t.getDirectionXY(), t.getDirectionYY(), t.getDirectionZY()},
            {t.getDirectionXZ(), t.getDirectionYZ(), t.getDirectionZZ()}};
}

void expectAxis(const std::array<float, 3>& axis, float x, float y, float z,
                float tolerance = axisTolerance) {
    EXPECT_NEAR(axis[0], x, tolerance);
    EXPECT_NEAR(axis[1], y, tolerance);
    EXPECT_NEAR(axis[2], z, tolerance);
}

GraphVertexTransform rotated(float ax, float ay, float az) {
    GraphVertexTransform t;
    t.composeRotationsX(ax);
    t.composeRotationsY(ay);
    t.composeRotationsZ(az);
    return t;
}

// Angle triples of the test scene, quarter turns, negatives and unwrapped angles.
const std::array<std::array<float, 3>, 10> angleSamples = {{{0, 0, 0},
                                                            {90, 0, 0},
                                                            {0, 90, 0},
                                                            {0, 0, 90},
                                                            {150, 70, 220},
                                                            {380, 130, 30},
                                                            {10, 250, 80},
                                                            {-33.5f, 12.25f, -170},
                                                            {720, -400, 1000},
                                                            {45, 45, 45}}};

TEST(GraphVertexTransform, aFreshRecordStandsAtTheOriginUnturnedAndScaledByOnePointOne) {
    GraphVertexTransform t;
    EXPECT_EQ(t.getX(), 0.0f);
    EXPECT_EQ(t.getY(), 0.0f);
    EXPECT_EQ(t.getZ(), 0.0f);
    EXPECT_EQ(t.getAlphaX(), 0.0f);
    EXPECT_EQ(t.getAlphaY(), 0.0f);
    EXPECT_EQ(t.getAlphaZ(), 0.0f);
    // The float 1.1, not the double and not 1.
    EXPECT_EQ(t.getScaleX(), 1.1f);
    EXPECT_EQ(t.getScaleY(), 1.1f);
    EXPECT_EQ(t.getScaleZ(), 1.1f);
    const Axes axes = readAxes(t);
    expectAxis(axes.x, 1, 0, 0, 0);
    expectAxis(axes.y, 0, 1, 0, 0);
    expectAxis(axes.z, 0, 0, 1, 0);
}

TEST(GraphVertexTransform, quarterTurnsMoveTheAxesAsTheRightHandRuleSays) {
    GraphVertexTransform aboutY = rotated(0, 90, 0);
    Axes axes = readAxes(aboutY);
    expectAxis(axes.z, 1, 0, 0);
    expectAxis(axes.x, 0, 0, -1);
    expectAxis(axes.y, 0, 1, 0);

    GraphVertexTransform aboutX = rotated(90, 0, 0);
    axes = readAxes(aboutX);
    expectAxis(axes.z, 0, -1, 0);
    expectAxis(axes.y, 0, 0, 1);
    expectAxis(axes.x, 1, 0, 0);

    GraphVertexTransform aboutZ = rotated(0, 0, 90);
    axes = readAxes(aboutZ);
    expectAxis(axes.x, 0, 1, 0);
    expectAxis(axes.y, -1, 0, 0);
    expectAxis(axes.z, 0, 0, 1);
}

// X is the outermost rotation: after a quarter turn about Y, turning about X rolls the Z axis
// about the world's X axis instead of tilting it.
TEST(GraphVertexTransform, rotationsApplyXOutermostThenYThenZ) {
    GraphVertexTransform t = rotated(90, 90, 0);
    const Axes axes = readAxes(t);
    expectAxis(axes.z, 1, 0, 0);
    expectAxis(axes.y, 0, 0, 1);
    expectAxis(axes.x, 0, 1, 0);
}

TEST(GraphVertexTransform, anglesAccumulateWithoutEverWrapping) {
    GraphVertexTransform t;
    t.composeRotationsX(200);
    t.composeRotationsX(200);
    EXPECT_EQ(t.getAlphaX(), 400.0f);
    t.composeRotationsY(-300);
    t.composeRotationsY(-300);
    EXPECT_EQ(t.getAlphaY(), -600.0f);
    t.composeRotationsZ(361);
    EXPECT_EQ(t.getAlphaZ(), 361.0f);
    // The axes of 400 degrees are those of 40.
    GraphVertexTransform wrapped = rotated(40, -240, 1);
    const Axes a = readAxes(t), b = readAxes(wrapped);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(a.x[i], b.x[i], 1e-5f);
        EXPECT_NEAR(a.y[i], b.y[i], 1e-5f);
        EXPECT_NEAR(a.z[i], b.z[i], 1e-5f);
    }
}

TEST(GraphVertexTransform, everyTurnMakesTheNextReadSeeTheNewAxes) {
    GraphVertexTransform t;
    expectAxis(readAxes(t).z, 0, 0, 1);
    t.composeRotationsY(90);
    expectAxis(readAxes(t).z, 1, 0, 0);
    t.composeRotationsX(90);
    expectAxis(readAxes(t).y, 0, 0, 1);
    t.composeRotationsZ(-90);
    expectAxis(readAxes(t).x, 0, 0, -1);
    // Translation and scale leave the axes alone.
    const Axes before = readAxes(t);
    t.composeTranslations(5, -6, 7);
    t.composeScalings(2, 3, 4);
    const Axes after = readAxes(t);
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
    EXPECT_EQ(before.z, after.z);
}

TEST(GraphVertexTransform, copyTakesThePlacementAndRecomputesTheAxesNeverCopyingThem) {
    GraphVertexTransform source = rotated(0, 90, 0);
    source.composeTranslations(1, 2, 3);
    source.composeScalings(2, 2, 2);
    readAxes(source);

    GraphVertexTransform target; // its cache is fresh and reads the unturned axes
    expectAxis(readAxes(target).z, 0, 0, 1);
    target.copy(source);
    EXPECT_EQ(target.getX(), 1.0f);
    EXPECT_EQ(target.getY(), 2.0f);
    EXPECT_EQ(target.getZ(), 3.0f);
    EXPECT_EQ(target.getAlphaY(), 90.0f);
    EXPECT_EQ(target.getScaleX(), 1.1f * 2);
    expectAxis(readAxes(target).z, 1, 0, 0);
}

TEST(GraphVertexTransform, plainCopiesCarryEverythingIncludingTheCache) {
    GraphVertexTransform source = rotated(30, 60, 90);
    source.composeTranslations(-1, 4, 9);
    const Axes expected = readAxes(source);
    GraphVertexTransform assigned;
    assigned = source;
    GraphVertexTransform constructed(source);
    for (GraphVertexTransform* t : {&assigned, &constructed}) {
        EXPECT_EQ(t->getX(), -1.0f);
        EXPECT_EQ(t->getZ(), 9.0f);
        const Axes got = readAxes(*t);
        EXPECT_EQ(got.x, expected.x);
        EXPECT_EQ(got.y, expected.y);
        EXPECT_EQ(got.z, expected.z);
    }
}

TEST(GraphVertexTransform, translationsAddAndScalingsMultiply) {
    GraphVertexTransform t;
    t.composeTranslations(1, 2, 3);
    t.composeTranslations(-0.5f, 0.25f, 10);
    EXPECT_EQ(t.getX(), 0.5f);
    EXPECT_EQ(t.getY(), 2.25f);
    EXPECT_EQ(t.getZ(), 13.0f);
    t.composeScalings(2, 0.5f, 10);
    EXPECT_EQ(t.getScaleX(), 1.1f * 2);
    EXPECT_EQ(t.getScaleY(), 1.1f * 0.5f);
    EXPECT_EQ(t.getScaleZ(), 1.1f * 10);
}

TEST(GraphVertexTransform, inverseNegatesPlacementKeepsScaleAndTwiceGivesItBack) {
    GraphVertexTransform t = rotated(10, 90, -20);
    t.composeTranslations(1, -2, 3);
    t.composeScalings(2, 3, 4);
    readAxes(t);
    t.inverseTransformation();
    EXPECT_EQ(t.getX(), -1.0f);
    EXPECT_EQ(t.getY(), 2.0f);
    EXPECT_EQ(t.getZ(), -3.0f);
    EXPECT_EQ(t.getAlphaX(), -10.0f);
    EXPECT_EQ(t.getAlphaY(), -90.0f);
    EXPECT_EQ(t.getAlphaZ(), 20.0f);
    EXPECT_EQ(t.getScaleX(), 1.1f * 2);
    // The axes follow the negated angles at once.
    const Axes negated = readAxes(t);
    GraphVertexTransform reference = rotated(-10, -90, 20);
    const Axes expected = readAxes(reference);
    EXPECT_EQ(negated.z, expected.z);
    t.inverseTransformation();
    EXPECT_EQ(t.getX(), 1.0f);
    EXPECT_EQ(t.getAlphaY(), 90.0f);
    EXPECT_EQ(t.getAlphaZ(), -20.0f);
    EXPECT_EQ(t.getScaleZ(), 1.1f * 4);
}

std::array<GLfloat, 16> modelview() {
    std::array<GLfloat, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// OpenGL turns the record's angles itself; the images of the unit points are the axes.
TEST_F(GlTest, closedFormAxesMatchOpenGLsOwnRotations) {
    glMatrixMode(GL_MODELVIEW);
    for (const auto& angles : angleSamples) {
        glLoadIdentity();
        glRotatef(angles[0], 1, 0, 0);
        glRotatef(angles[1], 0, 1, 0);
        glRotatef(angles[2], 0, 0, 1);
        const auto m = modelview();
        GraphVertexTransform t = rotated(angles[0], angles[1], angles[2]);
        const Axes axes = readAxes(t);
        SCOPED_TRACE(testing::Message() << angles[0] << ", " << angles[1] << ", " << angles[2]);
        expectAxis(axes.x, (m[0] + m[12]) / (m[3] + m[15]), (m[1] + m[13]) / (m[3] + m[15]),
                   (m[2] + m[14]) / (m[3] + m[15]), 2e-6f);
        expectAxis(axes.y, (m[4] + m[12]) / (m[7] + m[15]), (m[5] + m[13]) / (m[7] + m[15]),
                   (m[6] + m[14]) / (m[7] + m[15]), 2e-6f);
        expectAxis(axes.z, (m[8] + m[12]) / (m[11] + m[15]), (m[9] + m[13]) / (m[11] + m[15]),
                   (m[10] + m[14]) / (m[11] + m[15]), 2e-6f);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, applyOnAFreshRecordIsAPureScalingByOnePointOne) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GraphVertexTransform().apply();
    const auto m = modelview();
    for (int i = 0; i < 16; ++i) {
        const float expected = (i == 15) ? 1.0f : (i % 5 == 0) ? 1.1f : 0.0f;
        EXPECT_FLOAT_EQ(m[i], expected) << "element " << i;
    }
}

// Scaled axes in the first three columns, the translation in the fourth, and multiplied onto
// whatever the matrix held before.
TEST_F(GlTest, applyMultipliesTheCurrentMatrixByMoveTurnAndScale) {
    glMatrixMode(GL_MODELVIEW);
    for (const auto& angles : angleSamples) {
        GraphVertexTransform t = rotated(angles[0], angles[1], angles[2]);
        t.composeTranslations(3, -4, 5.5f);
        t.composeScalings(2, 0.5f, 3);
        glLoadIdentity();
        glTranslatef(100, 200, 300);
        t.apply();
        const auto m = modelview();
        const Axes axes = readAxes(t);
        SCOPED_TRACE(testing::Message() << angles[0] << ", " << angles[1] << ", " << angles[2]);
        const float scales[3] = {t.getScaleX(), t.getScaleY(), t.getScaleZ()};
        const std::array<float, 3>* columns[3] = {&axes.x, &axes.y, &axes.z};
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                EXPECT_NEAR(m[column * 4 + row], (*columns[column])[row] * scales[column], 1e-5f);
            }
            EXPECT_EQ(m[column * 4 + 3], 0.0f);
        }
        EXPECT_NEAR(m[12], 103.0f, 1e-4f);
        EXPECT_NEAR(m[13], 196.0f, 1e-4f);
        EXPECT_NEAR(m[14], 305.5f, 1e-4f);
        EXPECT_EQ(m[15], 1.0f);
    }
}

} // namespace
