// The game's registry in lockstep with the plain all-pairs one on random worlds: same numbers,
// records and console bytes.

#include "support/collisionOracle.h"
#include "collision/collisionInfos.h"
#include "support/console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

bool sameBits(const CollisionInfo& a, const CollisionInfo& b) {
    const float ac[] = {a.x, a.y, a.z}, bc[] = {b.x, b.y, b.z};
    return a.calculated == b.calculated && a.index == b.index && a.type == b.type &&
           a.collision == b.collision && a.collisionType == b.collisionType &&
           std::memcmp(ac, bc, sizeof ac) == 0;
}

// Shares of records beside another, on it, at its reach (or float steps off), strange, unreported.
struct WorldShape {
    float fieldSize;
    double clustered, coincident, touching, strange, unreported;
    bool onlyPoints; // every record of a kind without a sphere
};

class Lockstep {
  public:
    Lockstep(unsigned seed, WorldShape shape) : random(seed), shape(shape) {}

    // Records 1 to count, laid down directly in the plain registry (its free search is cubic).
    void startWithRecords(int count) {
        for (int index = 1; index <= count; ++index) {
            int got = 0;
            ASSERT_EQ(consoleOf([&] { got = game.addModel(); }),
                      "\n premier dispo: " + std::to_string(index));
            ASSERT_EQ(got, index);
            plain.infos.push_back(CollisionInfo(index));
            live.push_back(index);
        }
    }

    template <class Call> auto same(Call call) {
        decltype(call(game)) ours{}, theirs{};
        const std::string ourLines = consoleOf([&] { ours = call(game); });
        EXPECT_EQ(ourLines, consoleOf([&] { theirs = call(plain); }));
        EXPECT_EQ(ours, theirs);
        return ours;
    }

    // A frame: look-ups, entities come and go, everyone reports, the pairwise test.
    void frame(int added, double erasedShare, bool print) {
        lookUpEverything();
        for (int i = 0; i < added; ++i)
            live.push_back(same([](auto& r) { return r.addModel(); }));
        std::vector<int> kept, erased = {-1, 0, int(game.infos.size()) + 3}; // as the dead do
        for (int index : live)
            (chance(erasedShare) ? erased : kept).push_back(index);
        live = kept;
        for (int index : erased)
            same([&](auto& r) { return r.erase(index), 0; });
        std::vector<CollisionInfo> reported;
        for (int index : live)
            if (!chance(shape.unreported))
                reported.push_back(placed(index, reported));
        for (int stray : {-1, 0, int(game.infos.size()) + 1}) // reports that change nothing
            reported.push_back(placed(stray, reported));
        ASSERT_EQ(consoleOf([&] {
                      for (const CollisionInfo& info : reported)
                          game.replace(info), plain.replace(info);
                  }),
                  "");
        if (print)
            same([](auto& r) { return r.print(), 0; });
        overlaps += same([](auto& r) { return r.update(); });
        ASSERT_EQ(game.infos.size(), plain.infos.size());
        for (std::size_t i = 0; i < plain.infos.size(); ++i)
            ASSERT_TRUE(sameBits(game.infos[i], plain.infos[i])) << "record " << i;
    }

    void lookUpEverything() {
        std::vector<int> asked = live;
        asked.insert(asked.end(), {-1, 0, -2, int(game.infos.size()) + 1});
        for (int index : asked)
            ASSERT_TRUE(sameBits(game.getInfoIndex(index), plain.getInfoIndex(index)))
                << "look-up of " << index;
    }

    int overlaps = 0;

  private:
    bool chance(double share) { return std::uniform_real_distribution<>(0, 1)(random) < share; }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    float coordinate() { return float(chance(0.5) ? 1 : -1) * shape.fieldSize * unit(random); }

    int kind() { // mostly colliding kinds, some without a sphere, a few that name no kind
        static const int kinds[] = {0, 8, 11, 5, -3, 14, 4, 6, 7, 9, 10, 12, 12, 12, 13, 13, 13};
        return shape.onlyPoints ? kinds[pick(6)] : kinds[pick(17)];
    }

    CollisionInfo placed(int index, const std::vector<CollisionInfo>& reported) {
        CollisionInfo info(index);
        info.calculated = true;
        info.type = kind();
        info.x = coordinate(), info.y = coordinate(), info.z = coordinate();
        if (!reported.empty()) {
            const CollisionInfo& other = reported[std::size_t(pick(int(reported.size())))];
            if (chance(shape.coincident)) {
                info.x = other.x, info.y = other.y, info.z = other.z;
            } else if (chance(shape.touching)) {
                placeAtReach(info, other);
            } else if (chance(shape.clustered)) {
                std::uniform_real_distribution<float> near(-6.0f, 6.0f);
                info.x = other.x + near(random), info.y = other.y + near(random),
                info.z = other.z + near(random);
            }
        }
        if (chance(shape.strange)) {
            const float inf = INFINITY, nan = NAN, big = 3.4e38f;
            const float values[] = {nan,   -nan,   inf,  -inf,  big,   -big,
                                    1e30f, -1e30f, 3e7f, -0.0f, 1e-45f};
            (pick(3) == 0 ? info.x : pick(2) == 0 ? info.y : info.z) = values[pick(11)];
        }
        return info;
    }

    // At the sum of the radii in any direction, or a few float steps off: where the float
    // distance and the squared one disagree about touching.
    void placeAtReach(CollisionInfo& info, const CollisionInfo& other) {
        std::normal_distribution<double> gauss;
        double d[3] = {gauss(random), gauss(random), gauss(random)};
        if (chance(0.2)) // now and then along an axis or a diagonal
            for (double& component : d)
                component = double(pick(3) - 1);
        double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (length == 0)
            d[0] = length = 1;
        float reach = float(double(info.getRadius()) + double(other.getRadius()));
        for (int step = pick(7) - 3; step != 0; step += step > 0 ? -1 : 1)
            reach = std::nextafter(reach, step > 0 ? 100.0f : 0.0f);
        info.x = float(double(other.x) + d[0] * reach / length);
        info.y = float(double(other.y) + d[1] * reach / length);
        info.z = float(double(other.z) + d[2] * reach / length);
    }

    std::mt19937 random;
    std::uniform_real_distribution<float> unit{0, 1};
    WorldShape shape;
    CollisionInfos game;
    AllPairsRegistry plain;
    std::vector<int> live;
};

} // namespace

// One world per seed of a row (`overlaps`: they did meet): touching pairs, spheres across cell
// borders, point-like records, NaN and huge centres, heavy reuse, a firing player's crowd.
TEST(CollisionRegistryAgainstAllPairs, everyKindOfWorldAgreesFrameByFrame) {
    const struct {
        const char* name;
        unsigned firstSeed, seeds;
        WorldShape shape;
        int start, frames, added;
        double erased;
        bool overlaps;
    } rows[] = {
        {"crowded", 1, 40, {20.0f, 0.3, 0.1, 0.15, 0.05, 0.1, false}, 0, 12, 0, 0.15, true},
        {"touching", 200, 40, {30.0f, 0.0, 0.02, 0.9, 0.0, 0.05, false}, 0, 10, 8, 0.1, true},
        {"packed", 50, 10, {12.0f, 0.2, 0.05, 0.1, 0.02, 0.05, false}, 300, 3, 10, 0.05, true},
        {"points", 70, 20, {2.0f, 0.1, 0.3, 0.1, 0.1, 0.2, true}, 0, 8, 6, 0.1, true},
        {"strange", 100, 30, {50.0f, 0.2, 0.15, 0.1, 0.4, 0.1, false}, 0, 10, 8, 0.1, false},
        {"1000", 7, 1, {20.0f, 0.3, 0.1, 0.15, 0.05, 0.1, false}, 1000, 6, 50, 0.3, true},
        {"10000", 2024, 1, {200, .05, .01, .02, .01, .01, false}, 10000, 2, 20, .02, true}};
    for (const auto& row : rows) {
        for (unsigned seed = row.firstSeed; seed < row.firstSeed + row.seeds; ++seed) {
            SCOPED_TRACE(std::string(row.name) + ", seed " + std::to_string(seed));
            Lockstep world(seed, row.shape);
            world.startWithRecords(row.start);
            for (int frame = 0; frame < row.frames && !HasFailure(); ++frame)
                world.frame(row.added ? row.added : 1 + int(seed % 7), row.erased, frame % 3 == 0);
            world.lookUpEverything();
            ASSERT_FALSE(HasFailure());
            EXPECT_TRUE(!row.overlaps || world.overlaps > 0);
        }
    }
}
