// The radii, and exact touching, which the lockstep cannot judge: its plain registry shares it.

#include "collision/collisionInfos.h"
#include "support/collisionOracle.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

// The radii are float constants: 1.77 is the float nearest to it, not the double.
TEST(CollisionInfo, eachKindHasItsFloatRadiusAndEveryOtherTagNone) {
    const std::pair<int, float> rows[] = {
        {4, 2.0f}, {6, 1.77f}, {7, 5.48f}, {9, 1.615f}, {10, 4.975f}, {12, 2.0f}, {13, 2.07f},
        {0, 0},    {5, 0},     {8, 0},     {11, 0},     {14, 0},      {-1, 0},    {INT_MIN, 0}};
    for (const auto& [type, radius] : rows)
        EXPECT_EQ(reported(1, type, 0).getRadius(), radius) << "type " << type;
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
TEST(CollisionInfosTest, aPassWithNothingToTestFindsNothing) {
    ConsoleCapture console;
    CollisionInfos registry;
    EXPECT_FALSE(registry.update());
    registry.addModel(), registry.addModel();
    registry.replace(reported(1, 7, 0)), registry.replace(reported(2, 7, 0));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(1, 7, NAN)), registry.replace(reported(2, 7, 0, INFINITY));
    console.take();
    EXPECT_FALSE(registry.update());
    EXPECT_EQ(console.take(), "");
}
