// The bounding record's sphere and equality, and the registry's rules that the all-pairs
// lockstep cannot judge because its plain registry shares them: exact touching, the console
// lines of an overlap and of the dump.

#include "collision/collisionInfos.h"
#include "support/collisionOracle.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

CollisionInfo reported(int index, int type, float x, float y = 0, float z = 0) {
    CollisionInfo info(index);
    info.calculated = true;
    info.x = x;
    info.y = y;
    info.z = z;
    info.type = type;
    return info;
}

} // namespace

// The radii are float constants: 1.77 is the float nearest to it, not the double.
TEST(CollisionInfo, eachKindHasItsFloatRadiusAndEveryOtherTagNone) {
    const std::pair<int, float> rows[] = {{4, 2.0f}, {6, 1.77f}, {7, 5.48f}, {9, 1.615f},
                                          {10, 4.975f}, {12, 2.0f}, {13, 2.07f}, {0, 0},
                                          {5, 0}, {8, 0}, {11, 0}, {14, 0}, {-1, 0}, {INT_MIN, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(reported(1, row.first, 0).getRadius(), row.second) << "type " << row.first;
    }
}

TEST(CollisionInfo, recordsAreEqualWhenAllEightFieldsAreAndANanCentreEqualsNothing) {
    const CollisionInfo base = reported(5, 9, 1.5f, -2, -30);
    EXPECT_TRUE(base == reported(5, 9, 1.5f, -2, -30));
    EXPECT_TRUE(reported(5, 9, 0.0f) == reported(5, 9, -0.0f));
    CollisionInfo changed[] = {base, base, base, base, base, base, base, base, base};
    changed[0].calculated = false;
    changed[1].index = 6;
    changed[2].x = 1.25f;
    changed[3].y = 2;
    changed[4].z = 30;
    changed[5].type = 6;
    changed[6].collision = true;
    changed[7].collisionType = 13;
    changed[8].y = std::nanf("");
    for (const CollisionInfo& c : changed) {
        EXPECT_FALSE(c == base || base == c) << "field " << &c - changed;
    }
}

TEST(CollisionInfosTest, spheresExactlyTouchingOverlapAndOneStepApartDoNot) {
    ConsoleCapture console;
    CollisionInfos registry;
    registry.addModel();
    registry.addModel();
    const float reach = 5.48f + 5.48f; // two Brakiri, exactly the float sum of the radii apart
    registry.replace(reported(1, 7, 0));
    registry.replace(reported(2, 7, reach));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(2, 7, std::nextafter(reach, 100.0f)));
    EXPECT_FALSE(registry.update());
    registry.replace(reported(1, 12, 0)); // two rockets four units apart
    registry.replace(reported(2, 12, 0, 0, -4));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(2, 12, 4, 0.001f)); // the float distance is 4, the true one not
    EXPECT_TRUE(registry.update());
    // A Golevka and a Clipper: their float sum of radii rounds up past the exact sum.
    const float roundedSum = 1.615f + 4.975f;
    ASSERT_GT(double(roundedSum), double(1.615f) + double(4.975f));
    EXPECT_FALSE(registry.testColli(reported(1, 9, 0), reported(2, 10, roundedSum)));
    EXPECT_TRUE(registry.testColli(reported(2, 10, std::nextafter(roundedSum, 0.0f)),
                                   reported(1, 9, 0)));
}

TEST(CollisionInfosTest, anOverlapIsSaidTwiceAndTheDumpShowsPositionsOnlyOnceCalculated) {
    ConsoleCapture console;
    CollisionInfos registry;
    for (int i = 0; i < 3; ++i) {
        registry.addModel();
    }
    registry.replace(reported(1, 12, 0, 0, -10)); // a rocket
    registry.replace(reported(2, 9, 1.5f, -2, -10.000012f)); // a Golevka
    console.take();
    EXPECT_TRUE(registry.update());
    registry.erase(1);
    registry.print();
    EXPECT_EQ(console.take(), "\n****************! !!! collision entre ind1: 1 et 2"
                              "\n****************! !!! collision entre ind1: 2 et 1"
                              "\non esaie d eraser 1\non a reussi d eraser 1"
                              "\n on print"
                              "\nind: -1 x: 0 y: 0 z: -10 typ: 12"
                              "\nind: 2 x: 1.5 y: -2 z: -10 typ: 9"
                              "\nind: 3 not calculated"
                              "\n fin du print");
    EXPECT_EQ(registry.infos[0].collisionType, 9);
    EXPECT_EQ(registry.infos[1].collisionType, 12);
}
