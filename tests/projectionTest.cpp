// The game's picture: the same 4:3 area, centred, in a window of any shape (the real window's
// bars are checked whole in the window test). Far shots skip their display lists only when the
// whole sphere that holds every vertex of their mesh lies past the far plane.

#include "app/windowShape.h"
#include "entities/farPlane.h"
#include "support/chunkBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using Matrix = std::array<float, 16>;

// A frame `depth` units ahead of the eye, turned by `degrees` about Y and scaled by `scale`.
Matrix frameAhead(float depth, float scale = 1.0f, float degrees = 0.0f) {
    const float c = std::cos(degrees * 3.14159265f / 180.0f) * scale;
    const float s = std::sin(degrees * 3.14159265f / 180.0f) * scale;
    return {c, 0, -s, 0, 0, scale, 0, 0, s, 0, c, 0, 0, 0, -depth, 1};
}

TEST(FarPlane, aMeshIsSkippedOnlyWhenItsWholeSphereLiesPastTheFarPlane) {
    Matrix projective = frameAhead(900.0f), halfWeight = frameAhead(420.0f),
           quarterWeight = frameAhead(60.0f);
    projective[11] = -1.0f;
    halfWeight[15] = 2.0f;     // the origin is 210 units ahead
    quarterWeight[15] = 0.25f; // and this one 240
    const std::tuple<const char*, Matrix, float, bool> rows[] = {
        {"wellInFront", frameAhead(100.0f), 2.0f, false},
        {"straddlingThePlane", frameAhead(201.0f), 2.0f, false},
        {"whollyPastThePlane", frameAhead(205.0f), 2.0f, true},
        {"turnedAndStillPast", frameAhead(205.0f, 1.0f, 37.0f), 2.0f, true},
        {"scaleWidensTheSphere", frameAhead(203.0f, 1.1f), 2.0f, false},
        {"behindTheEye", frameAhead(-500.0f), 2.0f, false},
        {"aPointPastThePlane", frameAhead(300.0f), 0.0f, true},
        {"aPointWithinTheRoundingMargin", frameAhead(200.1f), 0.0f, false},
        {"aPointJustPastTheMargin", frameAhead(200.3f), 0.0f, true},
        {"unknownReachIsAlwaysDrawn", frameAhead(900.0f), -1.0f, false},
        {"projectiveFrameIsAlwaysDrawn", projective, 2.0f, false},
        {"homogeneousWeightIsDividedOut", halfWeight, 2.0f, true},
        {"evenASmallWeight", quarterWeight, 2.0f, true}};
    for (const auto& [name, modelView, reach, beyond] : rows) {
        EXPECT_EQ(liesBeyondFarPlane(modelView.data(), reach), beyond) << name;
    }
}

// How far a mesh reaches, by hand: its model's offset, plus its scale times the farthest object's
// offset and vertex, all at the list's scale, here 2. The file's (x, y, z) is stored (x, z, -y);
// the farthest vertex comes first, in the middle or last.
TEST(FarPlane, aMeshReachesItsFarthestVertexAlongEveryAxisPastItsOffsetsAndScales) {
    const struct {
        const char* name;
        chunk3ds::Xyz farthest; // in the file
        Vector_3DS modelAt, objectAt;
        float scale, reach;
    } rows[] = {{"along x", {3, 0, 0}, {}, {}, 1, 6},
                {"along the stored y", {0, 0, -3}, {}, {}, 1, 6},
                {"along the stored z", {0, 3, 0}, {}, {}, 1, 6},
                {"across the axes", {1, -2, 2}, {}, {}, 1, 6},
                {"in a moved, scaled model", {0, 0, 3}, {0, 3, 4}, {}, 0.5f, 13},
                {"in a moved object", {0, 0, 3}, {}, {0, 0, -2}, 1, 10}};
    for (const auto& row : rows) {
        std::vector<chunk3ds::Xyz> vertices = {{0.5f, 0.5f, 0}, {-1, 0, 0}};
        vertices.insert(vertices.begin() + (&row - rows) % 3, row.farthest);
        Model_3DS model = chunk3ds::readMesh(
            chunk3ds::fileWith({chunk3ds::objectWith("o", {chunk3ds::vertexList(vertices)})}));
        model.pos = row.modelAt, model.scale = row.scale, model.objects[0].pos = row.objectAt;
        EXPECT_FLOAT_EQ(meshReach(model, 2), row.reach) << row.name;
        model.showNormals = true; // lines a model unit long: not bounded
        EXPECT_EQ(meshReach(model, 2), -1.0f);
    }
}

// Worked out by hand, not by the game's formula: the largest 4:3 area that fits, its free side
// rounded to the nearest whole pixel, the bars split evenly (the odd pixel to the right or top).
TEST(PictureArea, isTheLargestCentred4by3AreaInWholePixelsAndNoneInAWindowWithoutArea) {
    const int most = std::numeric_limits<int>::max(); // 2147483647
    const std::tuple<const char*, int, int, PictureArea> rows[] = {
        {"no width", 0, 480, {}},
        {"no height", 640, 0, {}},
        {"a negative width", -640, 480, {}},
        {"a negative height", 640, -1, {}},
        {"one pixel: 0.75 high rounds to 1", 1, 1, {0, 0, 1, 1}},
        {"exactly 4:3", 640, 480, {0, 0, 640, 480}},
        {"a pixel wider: both bars under one pixel", 641, 480, {0, 0, 640, 480}},
        {"two pixels wider: one each side", 642, 480, {1, 0, 640, 480}},
        {"a pixel narrower: 479.25 high", 639, 480, {0, 0, 639, 479}},
        {"a pixel taller", 640, 481, {0, 0, 640, 480}},
        {"two pixels taller: one above, one below", 640, 482, {0, 1, 640, 480}},
        {"a pixel lower: 638.67 wide", 640, 479, {0, 0, 639, 479}},
        {"600.75 high rounds up", 801, 601, {0, 0, 801, 601}},
        {"4.5 high: a half rounds up", 6, 6, {0, 0, 6, 5}},
        {"very wide: 13.33 wide", 1000, 10, {493, 0, 13, 10}},
        {"very tall", 4, 100000, {0, 49998, 4, 3}},
        {"widest: 1.33 wide", most, 1, {1073741823, 0, 1, 1}},
        {"tallest: 0.75 high", 1, most, {0, 1073741823, 1, 1}},
        {"largest: 1610612735.25 high", most, most, {0, 268435456, most, 1610612735}}};
    for (const auto& [name, width, height, area] : rows) {
        const PictureArea got = pictureArea(width, height);
        EXPECT_EQ(got, area) << name << ": " << width << "x" << height << " gives " << got.x << ","
                             << got.y << " " << got.width << "x" << got.height;
    }
}

} // namespace
