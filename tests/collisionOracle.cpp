// The game's registry against the plain all-pairs registry on randomised worlds: records added,
// erased and handed out again, centres clustered, coincident, exactly touching, far away,
// huge or NaN. Both must return the same numbers and records and print the same bytes.

#include "support/collisionOracle.h"
#include "collision/collisionInfos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

bool sameBits(const CollisionInfo& a, const CollisionInfo& b) {
    return a.calculated == b.calculated && a.index == b.index && a.type == b.type &&
           a.collision == b.collision && a.collisionType == b.collisionType &&
           std::memcmp(&a.x, &b.x, sizeof(float)) == 0 &&
           std::memcmp(&a.y, &b.y, sizeof(float)) == 0 &&
           std::memcmp(&a.z, &b.z, sizeof(float)) == 0;
}

std::string describe(const CollisionInfo& info) {
    return "{index " + std::to_string(info.index) + " type " + std::to_string(info.type) + " at " +
           std::to_string(info.x) + "," + std::to_string(info.y) + "," + std::to_string(info.z) +
           (info.calculated ? " calculated" : "") +
           (info.collision ? " hit by " + std::to_string(info.collisionType) : "") + "}";
}

// How the centres of one world are spread.
struct WorldShape {
    float fieldSize;   // half-width of the box most records sit in
    double clustered;  // share of records placed right beside another
    double coincident; // share placed exactly on another
    double touching;   // share placed at the exact reach of another, or one step off
    double strange;    // share with a NaN, infinite, huge or negative-zero coordinate
    double unreported; // share of records left uncalculated in a frame
    bool onlyPoints;   // every record of a kind without a sphere
};

// Drives the game's registry and the plain one through the same calls and checks each result.
class Lockstep {
  public:
    Lockstep(unsigned seed, WorldShape shape) : random(seed), shape(shape) {}

    void addRecords(int count) {
        for (int i = 0; i < count; ++i) {
            int ours = game.addModel();
            std::string ourLines = console.take();
            int expected = plain.addModel();
            ASSERT_EQ(ours, expected);
            ASSERT_EQ(ourLines, console.take());
            live.push_back(ours);
        }
    }

    // A world's first records, 1 to count: the plain registry's search for a free number is
    // cubic over so many additions, so its records are laid down directly.
    void startWithRecords(int count) {
        ASSERT_TRUE(game.infos.empty());
        for (int index = 1; index <= count; ++index) {
            ASSERT_EQ(game.addModel(), index);
            ASSERT_EQ(console.take(), "\n premier dispo: " + std::to_string(index));
            plain.infos.push_back(CollisionInfo(index));
            live.push_back(index);
        }
    }

    void eraseSome(double share) {
        std::vector<int> kept;
        for (int index : live) {
            if (chance(share)) {
                eraseBoth(index);
            } else {
                kept.push_back(index);
            }
        }
        live = kept;
        // Numbers that no record holds are erased too, as a dead entity would.
        eraseBoth(-1);
        eraseBoth(0);
        eraseBoth(int(game.infos.size()) + 3);
    }

    void reportPositions() {
        for (int index : live) {
            if (chance(shape.unreported)) {
                continue;
            }
            CollisionInfo info = placed(index);
            game.replace(info);
            plain.replace(info);
            reportedSoFar.push_back(info);
        }
        // Reports for numbers no record holds change nothing.
        for (int stray : {-1, 0, int(game.infos.size()) + 1}) {
            CollisionInfo info = placed(stray);
            game.replace(info);
            plain.replace(info);
        }
        reportedSoFar.clear();
        ASSERT_EQ(console.take(), "");
    }

    void lookUpEverything() {
        std::vector<int> asked = live;
        for (int extra : {-1, 0, -2, int(game.infos.size()) + 1}) {
            asked.push_back(extra);
        }
        for (int index : asked) {
            CollisionInfo ours = game.getInfoIndex(index);
            CollisionInfo expected = plain.getInfoIndex(index);
            ASSERT_TRUE(sameBits(ours, expected))
                << "look-up of " << index << ": " << describe(ours) << " instead of "
                << describe(expected);
        }
    }

    void testPairs() {
        bool ours = game.update();
        std::string ourLines = console.take();
        bool expected = plain.update();
        std::string expectedLines = console.take();
        ASSERT_EQ(ours, expected);
        ASSERT_EQ(ourLines, expectedLines);
        if (expected) {
            ++passesWithOverlaps;
        }
        overlapLines += expectedLines.size();
        compareRecords();
    }

    void printBoth() {
        game.print();
        std::string ourLines = console.take();
        plain.print();
        ASSERT_EQ(ourLines, console.take());
    }

    void compareRecords() {
        ASSERT_EQ(game.infos.size(), plain.infos.size());
        for (std::size_t i = 0; i < plain.infos.size(); ++i) {
            ASSERT_TRUE(sameBits(game.infos[i], plain.infos[i]))
                << "record " << i << ": " << describe(game.infos[i]) << " instead of "
                << describe(plain.infos[i]);
        }
    }

    int passesWithOverlaps = 0;
    std::size_t overlapLines = 0;

  private:
    bool chance(double share) {
        return std::uniform_real_distribution<double>(0, 1)(random) < share;
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

    float coordinate() {
        return std::uniform_real_distribution<float>(-shape.fieldSize, shape.fieldSize)(random);
    }

    int kind() {
        // Mostly colliding kinds, some without a sphere, a few that name no kind.
        static const int kinds[] = {4, 6, 7, 9, 10, 12, 12, 12, 13, 13, 13, 0, 8, 11, 5, -3, 14};
        static const int pointLike[] = {0, 8, 11, 5, -3, 14};
        if (shape.onlyPoints) {
            return pointLike[pick(int(sizeof pointLike / sizeof pointLike[0]))];
        }
        return kinds[pick(int(sizeof kinds / sizeof kinds[0]))];
    }

    float strangeValue() {
        static const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                                       -std::numeric_limits<float>::quiet_NaN(),
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       std::numeric_limits<float>::max(),
                                       -std::numeric_limits<float>::max(),
                                       1e30f,
                                       -1e30f,
                                       3e7f,
                                       -0.0f,
                                       std::numeric_limits<float>::denorm_min(),
                                       1.2e7f};
        return values[pick(int(sizeof values / sizeof values[0]))];
    }

    CollisionInfo placed(int index) {
        CollisionInfo info(index);
        info.calculated = true;
        info.type = kind();
        info.collision = false;
        info.x = coordinate();
        info.y = coordinate();
        info.z = coordinate();
        if (!reportedSoFar.empty()) {
            const CollisionInfo& other =
                reportedSoFar[std::size_t(pick(int(reportedSoFar.size())))];
            if (chance(shape.coincident)) {
                info.x = other.x;
                info.y = other.y;
                info.z = other.z;
            } else if (chance(shape.touching)) {
                placeAtReach(info, other);
            } else if (chance(shape.clustered)) {
                std::uniform_real_distribution<float> near(-6.0f, 6.0f);
                info.x = other.x + near(random);
                info.y = other.y + near(random);
                info.z = other.z + near(random);
            }
        }
        if (chance(shape.strange)) {
            (pick(3) == 0 ? info.x : pick(2) == 0 ? info.y : info.z) = strangeValue();
        }
        return info;
    }

    // At the sum of the radii from another centre, in any direction, or a few float steps
    // nearer or farther: where the float distance and the squared one disagree about touching.
    void placeAtReach(CollisionInfo& info, const CollisionInfo& other) {
        std::normal_distribution<double> gauss;
        double direction[3] = {gauss(random), gauss(random), gauss(random)};
        if (chance(0.2)) { // now and then straight along an axis or a diagonal of two
            for (double& component : direction) {
                component = double(pick(3) - 1);
            }
        }
        const double length = std::sqrt(direction[0] * direction[0] +
                                         direction[1] * direction[1] + direction[2] * direction[2]);
        if (length == 0) {
            direction[0] = 1;
        }
        float reach = float(double(info.getRadius()) + double(other.getRadius()));
        for (int step = pick(7) - 3; step != 0; step += step > 0 ? -1 : 1) {
            reach = std::nextafter(reach, step > 0 ? 100.0f : 0.0f);
        }
        const double scale = length == 0 ? reach : reach / length;
        info.x = float(double(other.x) + direction[0] * scale);
        info.y = float(double(other.y) + direction[1] * scale);
        info.z = float(double(other.z) + direction[2] * scale);
    }

    void eraseBoth(int index) {
        game.erase(index);
        std::string ourLines = console.take();
        plain.erase(index);
        ASSERT_EQ(ourLines, console.take());
    }

    std::mt19937 random;
    WorldShape shape;
    ConsoleCapture console;
    CollisionInfos game;
    AllPairsRegistry plain;
    std::vector<int> live;
    std::vector<CollisionInfo> reportedSoFar;
};

// A few frames of a growing world: entities come and go, numbers are reused, everyone reports.
void playFrames(Lockstep& world, int frames, int addedPerFrame, double erasedShare) {
    for (int frame = 0; frame < frames; ++frame) {
        world.lookUpEverything();
        world.addRecords(addedPerFrame);
        world.eraseSome(erasedShare);
        world.reportPositions();
        if (frame % 3 == 0) {
            world.printBoth();
        }
        world.testPairs();
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
    world.lookUpEverything();
}

const WorldShape crowded = {20.0f, 0.3, 0.1, 0.15, 0.05, 0.1, false};
const WorldShape packed = {12.0f, 0.2, 0.05, 0.1, 0.02, 0.05, false};
const WorldShape gameScale = {200.0f, 0.05, 0.01, 0.02, 0.01, 0.01, false};
const WorldShape strange = {50.0f, 0.2, 0.15, 0.1, 0.4, 0.1, false};
const WorldShape touchingEverywhere = {30.0f, 0.0, 0.02, 0.9, 0.0, 0.05, false};
const WorldShape points = {2.0f, 0.1, 0.3, 0.1, 0.1, 0.2, true};

} // namespace

TEST(CollisionRegistryAgainstAllPairs, smallCrowdedWorldsAgreeFrameByFrame) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lockstep world(seed, crowded);
        playFrames(world, 12, 1 + int(seed % 7), 0.15);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_GT(world.passesWithOverlaps, 0);
    }
}

TEST(CollisionRegistryAgainstAllPairs, worldsOfTouchingPairsInEveryDirectionAgree) {
    for (unsigned seed = 200; seed < 240; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lockstep world(seed, touchingEverywhere);
        playFrames(world, 10, 8, 0.1);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_GT(world.passesWithOverlaps, 0);
    }
}

TEST(CollisionRegistryAgainstAllPairs, packedWorldsWithSpheresAcrossEveryCellBorderAgree) {
    for (unsigned seed = 50; seed < 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lockstep world(seed, packed);
        world.startWithRecords(300);
        playFrames(world, 3, 10, 0.05);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST(CollisionRegistryAgainstAllPairs, worldsOfPointLikeRecordsMeetOnlyOnCoincidingCentres) {
    for (unsigned seed = 70; seed < 90; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lockstep world(seed, points);
        playFrames(world, 8, 6, 0.1);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_GT(world.passesWithOverlaps, 0);
    }
}

TEST(CollisionRegistryAgainstAllPairs, worldsFullOfNanInfiniteAndHugeCentresAgree) {
    for (unsigned seed = 100; seed < 130; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lockstep world(seed, strange);
        playFrames(world, 10, 8, 0.1);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST(CollisionRegistryAgainstAllPairs, aThousandRecordsWithHeavyReuseAgree) {
    Lockstep world(7, crowded);
    world.startWithRecords(1000);
    playFrames(world, 6, 50, 0.3);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(world.overlapLines, 0u);
}

TEST(CollisionRegistryAgainstAllPairs, tenThousandRecordsOfAFiringPlayerAgree) {
    // Mostly projectiles that never leave, spread over the game's field, with erasures.
    Lockstep world(2024, gameScale);
    world.startWithRecords(10000);
    playFrames(world, 2, 20, 0.02);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(world.overlapLines, 0u);
}
