// The radii, and exact touching, which the lockstep cannot judge: its plain registry shares it.

#include "collision/collisionInfos.h"
#include "support/collisionOracle.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <iterator>

// The radii are float constants: 1.77 is the float nearest to it, not the double.
TEST(CollisionInfo, eachKindHasItsFloatRadiusAndEveryOtherTagNone) {
    const std::pair<int, float> rows[] = {
        {4, 2.0f}, {6, 1.77f}, {7, 5.48f}, {9, 1.615f}, {10, 4.975f}, {12, 2.0f}, {13, 2.07f},
        {0, 0},    {5, 0},     {8, 0},     {11, 0},     {14, 0},      {-1, 0},    {INT_MIN, 0}};
    for (const auto& [type, radius] : rows)
        EXPECT_EQ(reported(1, type, 0).getRadius(), radius) << "type " << type;
}

// Records are equal when all eight fields are; float coordinates, so a NaN centre equals nothing.
TEST(CollisionInfo, recordsAreEqualOnlyInAllEightFields) {
    const CollisionInfo base = reported(3, 12, 1, 2, 3);
    const std::function<void(CollisionInfo&)> changes[] = {
        [](CollisionInfo& r) { r.calculated = false; },
        [](CollisionInfo& r) { r.index = 4; },
        [](CollisionInfo& r) { r.x = -1; },
        [](CollisionInfo& r) { r.y = -2; },
        [](CollisionInfo& r) { r.z = -3; },
        [](CollisionInfo& r) { r.type = 13; },
        [](CollisionInfo& r) { r.collision = true; },
        [](CollisionInfo& r) { r.collisionType = 7; }};
    EXPECT_TRUE(base == reported(3, 12, 1, 2, 3));
    for (std::size_t field = 0; field < std::size(changes); ++field) {
        CollisionInfo other = base;
        changes[field](other);
        EXPECT_FALSE(base == other) << "field " << field;
    }
    const CollisionInfo nan = reported(3, 12, 1, NAN, 3);
    EXPECT_FALSE(nan == nan);
}

TEST(CollisionInfosTest, spheresExactlyTouchingOverlapAndOneStepApartDoNot) {
    ConsoleCapture console;
    CollisionInfos registry;
    registry.addModel(), registry.addModel();
    const float reach = 5.48f + 5.48f; // two Brakiri, exactly the float sum of the radii apart
    registry.replace(reported(1, 7, 0)), registry.replace(reported(2, 7, reach));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(2, 7, std::nextafter(reach, 100.0f)));
    EXPECT_FALSE(registry.update());
    // Two rockets four units apart, on an axis and off it: the float distance is 4, the true one
    // not.
    registry.replace(reported(1, 12, 0)), registry.replace(reported(2, 12, 0, 0, -4));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(2, 12, 4, 0.001f));
    EXPECT_TRUE(registry.update());
    // A Golevka and a Clipper: their float sum of radii rounds up past the exact sum.
    const float roundedSum = 1.615f + 4.975f;
    ASSERT_GT(double(roundedSum), double(1.615f) + double(4.975f));
    EXPECT_FALSE(registry.testColli(reported(1, 9, 0), reported(2, 10, roundedSum)));
    EXPECT_TRUE(
        registry.testColli(reported(2, 10, std::nextafter(roundedSum, 0.0f)), reported(1, 9, 0)));
}

// A pass with no sphere to place, from the first frame on and after every centre went bad.
TEST(CollisionInfosTest, nothingToTestFindsNothingAndAnUnheldNumberGivesAFreeRecord) {
    ConsoleCapture console;
    CollisionInfos registry;
    EXPECT_FALSE(registry.update());
    const CollisionInfo none = registry.getInfoIndex(1); // a free record: numbered -1
    EXPECT_TRUE(none.index == -1 && !none.calculated && none.type == 0 && !none.collision);
    registry.addModel(), registry.addModel();
    registry.replace(reported(1, 7, 0)), registry.replace(reported(2, 7, 0));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(1, 7, NAN)), registry.replace(reported(2, 7, 0, INFINITY));
    console.take();
    EXPECT_FALSE(registry.update());
    EXPECT_EQ(console.take(), "");
}
