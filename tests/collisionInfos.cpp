// The collision registry's rules: index allocation and reuse, look-ups, position reports,
// erasing, the pairwise test with its marks and console lines, and the per-frame dump.

#include "collision/collisionInfos.h"
#include "support/collisionOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// What an entity reports when it is drawn: its index, centre and kind, no collision.
CollisionInfo reported(int index, int type, float x, float y, float z) {
    CollisionInfo info(index);
    info.calculated = true;
    info.x = x;
    info.y = y;
    info.z = z;
    info.type = type;
    info.collision = false;
    return info;
}

std::vector<int> indexesInStorage(const CollisionInfos& registry) {
    std::vector<int> indexes;
    for (const CollisionInfo& info : registry.infos) {
        indexes.push_back(info.index);
    }
    return indexes;
}

bool sameRecord(const CollisionInfo& a, const CollisionInfo& b) {
    return a.calculated == b.calculated && a.index == b.index && a.type == b.type &&
           a.collision == b.collision && a.collisionType == b.collisionType &&
           std::memcmp(&a.x, &b.x, sizeof(float)) == 0 &&
           std::memcmp(&a.y, &b.y, sizeof(float)) == 0 &&
           std::memcmp(&a.z, &b.z, sizeof(float)) == 0;
}

std::string collisionLine(int first, int second) {
    return "\n****************! !!! collision entre ind1: " + std::to_string(first) + " et " +
           std::to_string(second);
}

class CollisionInfosTest : public ::testing::Test {
  protected:
    // Adds n records and forgets the allocation lines.
    void addRecords(int n) {
        for (int i = 0; i < n; ++i) {
            registry.addModel();
        }
        console.take();
    }

    ConsoleCapture console;
    CollisionInfos registry;
};

} // namespace

// ---------------------------------------------------------------- allocation and erasing

TEST_F(CollisionInfosTest, aFreedNumberGoesToANewRecordAtTheEndWhileTheErasedOneStays) {
    addRecords(3);
    registry.replace(reported(2, 9, 4.0f, 5.0f, 6.0f));
    registry.erase(2);
    EXPECT_EQ(console.take(), "\non esaie d eraser 2\non a reussi d eraser 2");
    EXPECT_EQ(registry.addModel(), 2);
    EXPECT_EQ(console.take(), "\n premier dispo: 2");
    EXPECT_EQ(indexesInStorage(registry), (std::vector<int>{1, -1, 3, 2}));

    // Erasing frees the number only: the old record keeps everything else.
    CollisionInfo erased = reported(-1, 9, 4.0f, 5.0f, 6.0f);
    EXPECT_TRUE(sameRecord(registry.infos[1], erased));
    EXPECT_TRUE(sameRecord(registry.infos[3], CollisionInfo(2)));
    EXPECT_EQ(registry.addModel(), 4);
}

// Only the registry writes its records: a record changed from outside would no longer be where
// the registry's tables say its number is.
static_assert(
    !std::is_assignable<decltype(std::declval<CollisionInfos&>().infos[0]), CollisionInfo>::value,
    "the registry's records are read-only from outside");
static_assert(
    !std::is_assignable<decltype((std::declval<CollisionInfos&>().infos[0].index)), int>::value,
    "a record's number cannot be changed from outside");

// ---------------------------------------------------------------- look-ups and reports

// ---------------------------------------------------------------- the pairwise test

TEST_F(CollisionInfosTest, anOverlapIsReportedTwiceMarkingBothWithThePartnersKind) {
    addRecords(2);
    registry.replace(reported(1, 12, 0.0f, 0.0f, -10.0f)); // rocket
    registry.replace(reported(2, 9, 1.0f, 0.0f, -10.0f));  // Golevka
    EXPECT_TRUE(registry.update());
    EXPECT_EQ(console.take(), collisionLine(1, 2) + collisionLine(2, 1));
    EXPECT_TRUE(registry.infos[0].collision);
    EXPECT_EQ(registry.infos[0].collisionType, 9);
    EXPECT_TRUE(registry.infos[1].collision);
    EXPECT_EQ(registry.infos[1].collisionType, 12);
}

TEST_F(CollisionInfosTest, spheresExactlyTouchingOverlapAndOneStepApartDoNot) {
    addRecords(2);
    // Two Brakiri: the distance is exactly the float sum of the radii.
    const float reach = 5.48f + 5.48f;
    registry.replace(reported(1, 7, 0.0f, 0.0f, 0.0f));
    registry.replace(reported(2, 7, reach, 0.0f, 0.0f));
    EXPECT_TRUE(registry.update());
    registry.replace(reported(2, 7, std::nextafter(reach, 100.0f), 0.0f, 0.0f));
    EXPECT_FALSE(registry.update());

    // Two rockets exactly four units apart.
    registry.replace(reported(1, 12, 0.0f, 0.0f, 0.0f));
    registry.replace(reported(2, 12, 0.0f, 0.0f, -4.0f));
    EXPECT_TRUE(registry.update());
    // Off the axis: the float distance of these two is exactly 4 though the true one is not.
    registry.replace(reported(2, 12, 4.0f, 0.001f, 0.0f));
    EXPECT_TRUE(registry.update());
    console.take();
}

TEST_F(CollisionInfosTest, aNanCentreNeverOverlapsEvenWithItsTwin) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    addRecords(4);
    registry.replace(reported(1, 7, nan, 0.0f, 0.0f));
    registry.replace(reported(2, 7, nan, 0.0f, 0.0f));
    registry.replace(reported(3, 7, inf, 0.0f, 0.0f));
    registry.replace(reported(4, 7, inf, 0.0f, 0.0f));
    EXPECT_FALSE(registry.update());
    EXPECT_EQ(console.take(), "");
    EXPECT_FALSE(registry.testColli(registry.infos[0], registry.infos[0]));
}

TEST_F(CollisionInfosTest, theTestAddsTheFloatRadiiInDoublePrecision) {
    // A Golevka (1.615f) and a Clipper (4.975f): their float sum rounds up past the exact sum
    // of the two floats, and a centre at that rounded distance lies outside.
    CollisionInfo golevka = reported(1, 9, 0.0f, 0.0f, 0.0f);
    CollisionInfo clipper = reported(2, 10, 0.0f, 0.0f, 0.0f);
    const double exact = double(1.615f) + double(4.975f);
    const float roundedSum = 1.615f + 4.975f;
    ASSERT_GT(double(roundedSum), exact);
    clipper.x = roundedSum;
    EXPECT_FALSE(registry.testColli(golevka, clipper));
    EXPECT_FALSE(registry.testColli(clipper, golevka));
    clipper.x = std::nextafter(roundedSum, 0.0f);
    EXPECT_TRUE(registry.testColli(golevka, clipper));
    EXPECT_TRUE(registry.testColli(clipper, golevka));
}

// ---------------------------------------------------------------- the console dump

TEST_F(CollisionInfosTest, theDumpShowsEveryRecordWithPositionsOnlyOnceCalculated) {
    addRecords(2);
    registry.replace(reported(1, 9, 1.5f, -2.0f, -30.0f));
    registry.print();
    EXPECT_EQ(console.take(), "\n on print"
                              "\nind: 1 x: 1.5 y: -2 z: -30 typ: 9"
                              "\nind: 2 not calculated"
                              "\n fin du print");
    registry.erase(1);
    console.take();
    registry.print();
    EXPECT_EQ(console.take(), "\n on print"
                              "\nind: -1 x: 1.5 y: -2 z: -30 typ: 9"
                              "\nind: 2 not calculated"
                              "\n fin du print");
}

TEST_F(CollisionInfosTest, theDumpWritesFloatsWithSixSignificantDigits) {
    const float values[] = {0.1f, 1234567.0f, -0.000012345f, 3.0e38f, 1.77f, -0.0f};
    for (float value : values) {
        CollisionInfos one;
        one.addModel();
        one.replace(reported(1, 6, value, value, value));
        console.take();
        one.print();
        char text[64];
        std::snprintf(text, sizeof text, "%g", double(value));
        const std::string v = text;
        EXPECT_EQ(console.take(), "\n on print\nind: 1 x: " + v + " y: " + v + " z: " + v +
                                      " typ: 6\n fin du print");
    }
}
