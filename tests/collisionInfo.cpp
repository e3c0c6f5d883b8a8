// The bounding record: its defaults, its radius per kind, its equality and its copies.

#include "collision/collisionInfo.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

CollisionInfo filledRecord() {
    CollisionInfo info(5);
    info.calculated = true;
    info.x = 1.5f;
    info.y = -2.0f;
    info.z = -30.0f;
    info.type = 9;
    info.collision = true;
    info.collisionType = 12;
    return info;
}

} // namespace

TEST(CollisionInfo, aDefaultRecordIsFreeUncalculatedAtTheEyeWithNoSphere) {
    CollisionInfo info;
    EXPECT_EQ(info.index, -1);
    EXPECT_FALSE(info.calculated);
    EXPECT_EQ(info.x, 0.0f);
    EXPECT_EQ(info.y, 0.0f);
    EXPECT_EQ(info.z, 0.0f);
    EXPECT_EQ(info.type, 0);
    EXPECT_FALSE(info.collision);
    EXPECT_EQ(info.collisionType, 0);
    EXPECT_EQ(info.getRadius(), 0.0f);
}

TEST(CollisionInfo, aRecordBuiltWithAnIndexDiffersFromTheDefaultOnlyByIt) {
    CollisionInfo info(42);
    EXPECT_EQ(info.index, 42);
    CollisionInfo expected;
    expected.index = 42;
    EXPECT_TRUE(info == expected);
}

TEST(CollisionInfo, eachCollidingKindHasItsSingleprecisionRadius) {
    struct Case {
        int type;
        float radius;
    };
    const Case cases[] = {{4, 2.0f},    {6, 1.77f}, {7, 5.48f}, {9, 1.615f},
                          {10, 4.975f}, {12, 2.0f}, {13, 2.07f}};
    for (const Case& c : cases) {
        CollisionInfo info(1);
        info.type = c.type;
        EXPECT_EQ(info.getRadius(), c.radius) << "type " << c.type;
    }
    // The constants are floats: 1.77 is the float nearest to it, not the double.
    CollisionInfo toutatis(1);
    toutatis.type = 6;
    EXPECT_NE(double(toutatis.getRadius()), 1.77);
}

TEST(CollisionInfo, kindsWithoutASphereAndUnknownTagsHaveRadiusZero) {
    // Castalia (8) and Kanone3d (11) never register; 0 is an unfilled record; the rest name no
    // kind at all.
    for (int type : {0, 1, 2, 3, 5, 8, 11, 14, -3, -1, INT_MIN, INT_MAX}) {
        CollisionInfo info(1);
        info.type = type;
        EXPECT_EQ(info.getRadius(), 0.0f) << "type " << type;
    }
}

TEST(CollisionInfo, equalRecordsAgreeInAllEightFields) {
    EXPECT_TRUE(CollisionInfo(7) == CollisionInfo(7));
    EXPECT_TRUE(filledRecord() == filledRecord());

    const std::vector<std::function<void(CollisionInfo&)>> changes = {
        [](CollisionInfo& i) { i.calculated = false; },
        [](CollisionInfo& i) { i.index = 6; },
        [](CollisionInfo& i) { i.x = 1.25f; },
        [](CollisionInfo& i) { i.y = 2.0f; },
        [](CollisionInfo& i) { i.z = 30.0f; },
        [](CollisionInfo& i) { i.type = 6; },
        [](CollisionInfo& i) { i.collision = false; },
        [](CollisionInfo& i) { i.collisionType = 13; },
    };
    for (std::size_t field = 0; field < changes.size(); ++field) {
        CollisionInfo changed = filledRecord();
        changes[field](changed);
        EXPECT_FALSE(changed == filledRecord()) << "field " << field;
        EXPECT_FALSE(filledRecord() == changed) << "field " << field;
    }
}

TEST(CollisionInfo, aNanCentreEqualsNoRecordNotEvenItself) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int axis = 0; axis < 3; ++axis) {
        CollisionInfo info = filledRecord();
        (axis == 0 ? info.x : axis == 1 ? info.y : info.z) = nan;
        EXPECT_FALSE(info == info) << "axis " << axis;
        CollisionInfo copy = info;
        EXPECT_FALSE(copy == info) << "axis " << axis;
    }
    // Signed zeros are equal floats, so they make equal records.
    CollisionInfo negativeZero(1);
    negativeZero.x = -0.0f;
    EXPECT_TRUE(negativeZero == CollisionInfo(1));
}

TEST(CollisionInfo, copiesCarryTheMarksAlongWithThePosition) {
    const CollisionInfo original = filledRecord();
    CollisionInfo copied(original);
    EXPECT_TRUE(copied == original);
    EXPECT_TRUE(copied.calculated);
    EXPECT_TRUE(copied.collision);
    EXPECT_EQ(copied.collisionType, 12);

    CollisionInfo assigned;
    CollisionInfo& result = (assigned = original);
    EXPECT_EQ(&result, &assigned);
    EXPECT_TRUE(assigned == original);
}
