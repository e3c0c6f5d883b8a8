// The radii and exact touching, in literal rows at the boundary: the lockstep's plain registry
// meets exact touching only by chance.

#include "collision/collisionInfos.h"
#include "support/collisionOracle.h"
#include "support/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <iterator>

namespace {

// Whether two records, the second `apart` along x (and `off` along y) from the first, are found
// touching, by the pair test and by a whole test pass; both must agree.
bool touching(int typeA, int typeB, float apart, float off = 0) {
    CollisionInfos registry;
    bool passFound = false;
    consoleOf([&] {
        registry.addModel(), registry.addModel();
        registry.replace(reported(1, typeA, 0)), registry.replace(reported(2, typeB, apart, off));
        passFound = registry.update();
    });
    EXPECT_EQ(registry.testColli(reported(1, typeA, 0), reported(2, typeB, apart, off)), passFound);
    return passFound;
}

} // namespace

// The radii are float constants (1.77 is the float nearest to it, not the double): a point-like
// record (a Castalia, 8) exactly one radius away touches, one float step further does not.
TEST(CollisionInfo, eachKindHasItsFloatRadiusAndEveryOtherTagNone) {
    const std::pair<int, float> rows[] = {
        {4, 2.0f}, {6, 1.77f}, {7, 5.48f}, {9, 1.615f}, {10, 4.975f}, {12, 2.0f}, {13, 2.07f},
        {0, 0},    {5, 0},     {8, 0},     {11, 0},     {14, 0},      {-1, 0},    {INT_MIN, 0}};
    for (const auto& [type, radius] : rows) {
        SCOPED_TRACE(type);
        EXPECT_EQ(reported(1, type, 0).getRadius(), radius);
        EXPECT_TRUE(touching(type, 8, radius));
        EXPECT_FALSE(touching(type, 8, std::nextafter(radius, 100.0f)));
    }
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

// The float distance against the exact sum of the radii: a Golevka and a Clipper at the float
// sum, which rounds up past the exact one, do not touch; two rockets 4 apart off the axis do (the
// float of the distance is 4). A NaN or infinite centre touches nothing; no record, no line.
TEST(CollisionInfosTest, spheresTouchByTheirFloatDistanceAgainstTheExactSumOfTheirRadii) {
    const float golevkaAndClipper = 1.615f + 4.975f;
    ASSERT_GT(double(golevkaAndClipper), double(1.615f) + double(4.975f));
    EXPECT_FALSE(touching(9, 10, golevkaAndClipper));
    EXPECT_TRUE(touching(9, 10, std::nextafter(golevkaAndClipper, 0.0f)));
    EXPECT_TRUE(touching(12, 12, 4, 0.001f));
    EXPECT_FALSE(touching(7, 7, NAN) || touching(7, 7, 0, INFINITY));
    CollisionInfos empty, lone;
    bool found = true;
    EXPECT_EQ(consoleOf([&] { found = empty.update(); }), "");
    EXPECT_FALSE(found);
    consoleOf([&] { lone.addModel(), lone.replace(reported(1, 9, 0)), found = lone.update(); });
    EXPECT_FALSE(found) << "a lone record meets nothing";
    const CollisionInfo none = empty.getInfoIndex(1); // a free record: numbered -1
    EXPECT_TRUE(none.index == -1 && !none.calculated && none.type == 0 && !none.collision);
}
