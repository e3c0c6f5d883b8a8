// The bounding record: its defaults, its sphere per kind and its equality.

#include "collision/collisionInfo.h"

#include <gtest/gtest.h>

#include <climits>
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

TEST(CollisionInfo, aNewRecordIsUncalculatedAtTheEyeWithNoSphere) {
    for (const CollisionInfo& info : {CollisionInfo(), CollisionInfo(42)}) {
        EXPECT_FALSE(info.calculated);
        EXPECT_EQ(info.x, 0.0f);
        EXPECT_EQ(info.y, 0.0f);
        EXPECT_EQ(info.z, 0.0f);
        EXPECT_EQ(info.type, 0);
        EXPECT_FALSE(info.collision);
        EXPECT_EQ(info.collisionType, 0);
        EXPECT_EQ(info.getRadius(), 0.0f);
    }
    EXPECT_EQ(CollisionInfo().index, -1);
    EXPECT_EQ(CollisionInfo(42).index, 42);
}

// The radii are float constants: 1.77 is the float nearest to it, not the double.
TEST(CollisionInfo, eachKindHasItsFloatRadiusAndEveryOtherTagNone) {
    struct Row {
        int type;
        float radius;
    };
    const Row rows[] = {{4, 2.0f},    {6, 1.77f},  {7, 5.48f}, {9, 1.615f}, {10, 4.975f},
                        {12, 2.0f},   {13, 2.07f}, {0, 0},     {1, 0},      {5, 0},
                        {8, 0},       {11, 0},     {14, 0},    {-1, 0},     {INT_MIN, 0},
                        {INT_MAX, 0}};
    for (const Row& row : rows) {
        CollisionInfo info(1);
        info.type = row.type;
        EXPECT_EQ(info.getRadius(), row.radius) << "type " << row.type;
    }
}

TEST(CollisionInfo, recordsAreEqualWhenAllEightFieldsAreAndANanCentreEqualsNothing) {
    EXPECT_TRUE(filledRecord() == filledRecord());
    const std::vector<std::function<void(CollisionInfo&)>> changes = {
        [](CollisionInfo& i) { i.calculated = false; }, [](CollisionInfo& i) { i.index = 6; },
        [](CollisionInfo& i) { i.x = 1.25f; },          [](CollisionInfo& i) { i.y = 2.0f; },
        [](CollisionInfo& i) { i.z = 30.0f; },          [](CollisionInfo& i) { i.type = 6; },
        [](CollisionInfo& i) { i.collision = false; },  [](CollisionInfo& i) { i.collisionType = 13; },
        [](CollisionInfo& i) { i.y = std::numeric_limits<float>::quiet_NaN(); },
    };
    for (std::size_t field = 0; field < changes.size(); ++field) {
        CollisionInfo changed = filledRecord();
        changes[field](changed);
        EXPECT_FALSE(changed == filledRecord()) << "change " << field;
        EXPECT_FALSE(filledRecord() == changed) << "change " << field;
    }
    CollisionInfo negativeZero = filledRecord();
    negativeZero.x = 0.0f;
    CollisionInfo positiveZero = negativeZero;
    negativeZero.x = -0.0f;
    EXPECT_TRUE(negativeZero == positiveZero);
}
