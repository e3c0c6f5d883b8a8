// Each kind's own frame behaviour, given its collision record and the cockpit directly: turning
// (scaled by the frame time), the asteroids' drift and the ships' approach (fixed steps per
// frame), and the projectiles' flight (scaled by the frame time, along the launch direction).

#include "entities/asteroidWithKanone.h"
#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/golevka.h"
#include "entities/kanone3d.h"
#include "entities/laser.h"
#include "entities/rocket3d.h"
#include "entities/toutatis.h"
#include "view/cockpit.h"

#include "support/placementChecks.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

Cockpit cockpitAt(float x, float y, float z) {
    Cockpit cockpit;
    cockpit.transformation.composeTranslations(x, y, z);
    return cockpit;
}

// A record as the entity's last draw left it.
CollisionInfo drawnAt(float x, float y, float z) {
    CollisionInfo record(1);
    record.calculated = true;
    record.x = x;
    record.y = y;
    record.z = z;
    return record;
}

void expectPosition(const GraphVertexTransform& t, float x, float y, float z) {
    EXPECT_FLOAT_EQ(t.getX(), x);
    EXPECT_FLOAT_EQ(t.getY(), y);
    EXPECT_FLOAT_EQ(t.getZ(), z);
}

using Update = std::function<GraphVertexTransform(double, GraphVertexTransform, const Cockpit&,
                                                  const CollisionInfo&)>;

template <class Kind> Update kindUpdate(Kind kind) {
    return [kind](double dt, GraphVertexTransform t, const Cockpit& c, const CollisionInfo& r) mutable {
        return kind.update(dt, t, c, r);
    };
}

const float nan = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST(KindTurning, eachKindTurnsAtItsRateAboutItsAxisAndKeepsItsPlace) {
    struct Row {
        const char* name;
        std::function<GraphVertexTransform(GraphVertexTransform)> update; // half a second
        float turn[3];
    };
    Kanone3d drawnCannon;
    drawnCannon.drawn = true;
    const Cockpit cockpit = cockpitAt(9, 9, 9);
    const Row rows[] = {
        {"Golevka", [&](GraphVertexTransform t) { return Golevka().update(0.5, t, cockpit, CollisionInfo(1)); }, {0, 10, 0}},
        {"Toutatis", [&](GraphVertexTransform t) { return Toutatis().update(0.5, t, cockpit, CollisionInfo(1)); }, {10, 0, 0}},
        {"cannon group", [&](GraphVertexTransform t) { return AsteroidWithKanone().update(0.5, t, cockpit); }, {0, 5, 0}},
        {"cannon once drawn", [&](GraphVertexTransform t) { return drawnCannon.update(0.5, t, cockpit); }, {0, 50, 0}},
        {"cannon never drawn", [&](GraphVertexTransform t) { return Kanone3d().update(0.5, t, cockpit); }, {0, 0, 0}},
        {"Castalia", [&](GraphVertexTransform t) { return Castalia().update(0.5, t, cockpit); }, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GraphVertexTransform start = placedAt(1, 2, 3);
        start.composeRotationsX(30);
        start.composeRotationsY(40);
        start.composeRotationsZ(12.5f);
        start.composeScalings(2, 3, 4);
        GraphVertexTransform expected = start;
        expected.composeRotationsX(row.turn[0]);
        expected.composeRotationsY(row.turn[1]);
        expected.composeRotationsZ(row.turn[2]);
        expectSamePlacement(row.update(start), expected);
    }
}

// Followers drift 0.8 and ships 0.5 per frame, whatever the frame time, along the line from
// the registered position to the cockpit; ships hold at 3 units or closer, followers never
// stop. No step without a measured, finite, non-zero distance.
TEST(KindPursuit, eachStepFollowsTheRegisteredPositionTowardTheCockpit) {
    struct Row {
        const char* name;
        Update update;
        CollisionInfo record;
        Cockpit cockpit;
        double dt;
        float x, y, z; // expected position from (1, 2, 3)
    };
    CollisionInfo notDrawn(1);
    notDrawn.x = 100;
    const Row rows[] = {
        {"Golevka ten away", kindUpdate(Golevka(true)), drawnAt(0, 0, 0), cockpitAt(10, 0, 0), 0.016, 1.8f, 2, 3},
        {"Toutatis ten away, long frame", kindUpdate(Toutatis(true)), drawnAt(0, 0, 0), cockpitAt(10, 0, 0), 5.0, 1.8f, 2, 3},
        {"Golevka off the axes", kindUpdate(Golevka(true)), drawnAt(1, 2, 1), cockpitAt(4, -2, 1), 0.1, 1.48f, 1.36f, 3},
        {"Golevka half a unit away", kindUpdate(Golevka(true)), drawnAt(0, 0, 0), cockpitAt(0, 0, 0.5f), 0.1, 1, 2, 3.8f},
        {"Golevka not following", kindUpdate(Golevka()), drawnAt(0, 0, 0), cockpitAt(10, 0, 0), 0.1, 1, 2, 3},
        {"Toutatis not following", kindUpdate(Toutatis(false)), drawnAt(0, 0, 0), cockpitAt(10, 0, 0), 0.1, 1, 2, 3},
        {"Golevka never drawn", kindUpdate(Golevka(true)), notDrawn, cockpitAt(10, 0, 0), 0.1, 1, 2, 3},
        {"Toutatis at the cockpit", kindUpdate(Toutatis(true)), drawnAt(4, 5, 6), cockpitAt(4, 5, 6), 0.1, 1, 2, 3},
        {"Golevka at NaN", kindUpdate(Golevka(true)), drawnAt(nan, 0, 0), cockpitAt(0, 0, 0), 0.1, 1, 2, 3},
        {"Toutatis past float range", kindUpdate(Toutatis(true)), drawnAt(3e38f, 0, 0), cockpitAt(-3e38f, 0, 0), 0.1, 1, 2, 3},
        {"Brakiri twenty away", kindUpdate(Brakiri()), drawnAt(0, 0, -20), cockpitAt(0, 0, 0), 0.0, 1, 2, 3.5f},
        {"Clipper twenty away, long frame", kindUpdate(Clipper()), drawnAt(0, 0, -20), cockpitAt(0, 0, 0), 10.0, 1, 2, 3.5f},
        {"Clipper at 3.2", kindUpdate(Clipper()), drawnAt(3.2f, 0, 0), cockpitAt(0, 0, 0), 0.1, 0.5f, 2, 3},
        {"Clipper at exactly 3", kindUpdate(Clipper()), drawnAt(3, 0, 0), cockpitAt(0, 0, 0), 0.1, 1, 2, 3},
        {"Brakiri at exactly 3", kindUpdate(Brakiri()), drawnAt(0, 3, 0), cockpitAt(0, 0, 0), 0.1, 1, 2, 3},
        {"Brakiri off the axes", kindUpdate(Brakiri()), drawnAt(0, -1.92f, 2.56f), cockpitAt(0, 0, 0), 0.1, 1, 2.3f, 2.6f},
        {"Brakiri never drawn", kindUpdate(Brakiri()), notDrawn, cockpitAt(0, 0, 0), 0.1, 1, 2, 3},
        {"Brakiri at NaN", kindUpdate(Brakiri()), drawnAt(0, nan, 0), cockpitAt(0, 0, 0), 0.1, 1, 2, 3},
        {"Clipper past float range", kindUpdate(Clipper()), drawnAt(0, 0, 3e38f), cockpitAt(0, 0, -3e38f), 0.1, 1, 2, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const GraphVertexTransform t = row.update(row.dt, placedAt(1, 2, 3), row.cockpit, row.record);
        EXPECT_NEAR(t.getX(), row.x, 1e-5f);
        EXPECT_NEAR(t.getY(), row.y, 1e-5f);
        EXPECT_NEAR(t.getZ(), row.z, 1e-5f);
    }
}

TEST(KindPursuit, aShipClosesInFrameByFrameAndStopsAtThreeUnits) {
    // With the cockpit at the origin, eye and world coordinates agree: the record is the placement.
    GraphVertexTransform ship = placedAt(0, 0, -20);
    int moves = 0;
    for (int frame = 0; frame < 100; ++frame) {
        const GraphVertexTransform next = Brakiri().update(
            0.016, ship, cockpitAt(0, 0, 0), drawnAt(ship.getX(), ship.getY(), ship.getZ()));
        moves += next.getZ() != ship.getZ();
        ship = next;
    }
    EXPECT_EQ(moves, 34); // 20 down to 3, half a unit at a time
    expectPosition(ship, 0, 0, -3);
}

// --- Projectiles ---------------------------------------------------------------------------

namespace {

GraphVertexTransform launchPlacement() {
    GraphVertexTransform launch = placedAt(1.5f, -3, -3.5f);
    launch.composeRotationsY(90); // facing -X: the rotated Z axis is +X
    return launch;
}

} // namespace

TEST(ProjectileFlight, theFirstUpdateJumpsToTheLaunchPlacementBitForBit) {
    GraphVertexTransform elsewhere = placedAt(9, 9, 9);
    elsewhere.composeRotationsX(33);
    Rocket3d rocket;
    rocket.setOriginalTransformation(launchPlacement());
    expectSamePlacement(rocket.update(0.75, elsewhere, cockpitAt(0, 0, 0)), launchPlacement());
    EXPECT_TRUE(rocket.launched);

    Laser laser;
    laser.setOriginalTransformation(launchPlacement());
    expectSamePlacement(laser.update(123.0, GraphVertexTransform(), cockpitAt(0, 0, 0)),
                        launchPlacement());
    EXPECT_TRUE(laser.launched);
}

TEST(ProjectileFlight, straightAheadATenthOfASecondMovesHalfAUnitAlongMinusZ) {
    Laser laser;
    laser.setOriginalTransformation(placedAt(0, 0, 0));
    GraphVertexTransform t = laser.update(0.1, GraphVertexTransform(), cockpitAt(0, 0, 0));
    for (int frame = 1; frame <= 4; ++frame) {
        t = laser.update(0.1, t, cockpitAt(0, 0, 0));
        expectPosition(t, 0, 0, -0.5f * frame);
    }
}

TEST(ProjectileFlight, fliesFiveUnitsASecondAlongTheLaunchDirectionWhateverTheNodeDid) {
    Rocket3d rocket;
    rocket.setOriginalTransformation(launchPlacement());
    GraphVertexTransform t = rocket.update(0.02, GraphVertexTransform(), cockpitAt(0, 0, 0));
    // Something else turns the node to face +Z and moves it: the rocket still flies along -X,
    // its launch heading, and never turns the node.
    t.composeRotationsY(90);
    t.composeRotationsX(30);
    t.composeTranslations(0, 10, 0);
    t = rocket.update(0.2, t, cockpitAt(7, 7, 7));
    EXPECT_NEAR(t.getX(), 1.5 - 1.0, 1e-6);
    EXPECT_NEAR(t.getY(), -3 + 10, 1e-6);
    EXPECT_NEAR(t.getZ(), -3.5, 1e-6);
    EXPECT_FLOAT_EQ(t.getAlphaY(), 180);
    EXPECT_FLOAT_EQ(t.getAlphaX(), 30);
}

TEST(ProjectileFlight, aFrameTimeOfZeroLeavesThePositionUnchanged) {
    Rocket3d rocket;
    rocket.setOriginalTransformation(launchPlacement());
    const GraphVertexTransform launched = rocket.update(0.1, GraphVertexTransform(), cockpitAt(0, 0, 0));
    expectSamePlacement(rocket.update(0.0, launched, cockpitAt(0, 0, 0)), launched);
}
