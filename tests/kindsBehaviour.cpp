// Each kind's own frame behaviour, given its collision record and the cockpit directly: turning,
// the asteroids' drift and the ships' approach (fixed steps per frame), and the projectiles'
// flight (scaled by the frame time, along the launch direction only).

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

#include <cmath>
#include <cstdint>
#include <cstring>
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

} // namespace

// --- Turning -------------------------------------------------------------------------------

TEST(AsteroidTurning, halfASecondTurnsGolevkaTenDegreesAboutYAndToutatisAboutX) {
    const Cockpit cockpit = cockpitAt(0, 0, 0);
    const GraphVertexTransform g = Golevka().update(0.5, GraphVertexTransform(), cockpit,
                                                    CollisionInfo(1));
    EXPECT_FLOAT_EQ(g.getAlphaY(), 10.0f);
    EXPECT_EQ(g.getAlphaX(), 0.0f);
    EXPECT_EQ(g.getAlphaZ(), 0.0f);

    const GraphVertexTransform t = Toutatis().update(0.5, GraphVertexTransform(), cockpit,
                                                     CollisionInfo(1));
    EXPECT_FLOAT_EQ(t.getAlphaX(), 10.0f);
    EXPECT_EQ(t.getAlphaY(), 0.0f);
    EXPECT_EQ(t.getAlphaZ(), 0.0f);
}

TEST(AsteroidTurning, theCannonGroupTurnsFiveDegreesAboutYInHalfASecond) {
    GraphVertexTransform start = placedAt(1, 2, 3);
    start.composeRotationsY(30);
    const GraphVertexTransform t = AsteroidWithKanone().update(0.5, start, cockpitAt(0, 0, 0));
    EXPECT_FLOAT_EQ(t.getAlphaY(), 35.0f);
    expectPosition(t, 1, 2, 3);
}

TEST(CannonTurning, turnsAHundredDegreesASecondOnlyOnceItsOwnDrawHasRun) {
    Kanone3d cannon;
    const GraphVertexTransform still = cannon.update(0.25, placedAt(0, 0.75f, 0), cockpitAt(0, 0, 0));
    EXPECT_EQ(still.getAlphaY(), 0.0f);
    expectPosition(still, 0, 0.75f, 0);

    cannon.drawn = true;
    const GraphVertexTransform turned = cannon.update(0.25, placedAt(0, 0.75f, 0), cockpitAt(0, 0, 0));
    EXPECT_FLOAT_EQ(turned.getAlphaY(), 25.0f);
    expectPosition(turned, 0, 0.75f, 0);
}

TEST(CastaliaBehaviour, returnsItsPlacementUnchangedBitForBit) {
    GraphVertexTransform start = placedAt(0, -0.75f, 0);
    start.composeRotationsZ(12.5f);
    start.composeScalings(2, 3, 4);
    expectSamePlacement(Castalia().update(0.7, start, cockpitAt(5, 5, 5)), start);
}

// --- Following asteroids -------------------------------------------------------------------

TEST(AsteroidDrift, aFollowerTenUnitsAwayDriftsExactlyPointEightPerFrameWhateverTheFrameTime) {
    for (double dt : {0.0, 0.016, 0.5, 5.0}) {
        SCOPED_TRACE(dt);
        const GraphVertexTransform g = Golevka(true).update(dt, placedAt(0, 0, -30),
                                                            cockpitAt(10, 0, 0), drawnAt(0, 0, 0));
        expectPosition(g, 0.8f, 0, -30);
        const GraphVertexTransform t = Toutatis(true).update(dt, placedAt(0, 0, -30),
                                                             cockpitAt(10, 0, 0), drawnAt(0, 0, 0));
        expectPosition(t, 0.8f, 0, -30);
    }
}

TEST(AsteroidDrift, theStepFollowsTheDifferenceOfCockpitAndRegisteredPosition) {
    // A 3-4-5 triangle: the unit direction is (0.6, -0.8, 0); the node's own position plays no part.
    const GraphVertexTransform g = Golevka(true).update(0.1, placedAt(7, 7, 7), cockpitAt(4, -2, 1),
                                                        drawnAt(1, 2, 1));
    EXPECT_NEAR(g.getX(), 7 + 0.48, 1e-5);
    EXPECT_NEAR(g.getY(), 7 - 0.64, 1e-5);
    EXPECT_FLOAT_EQ(g.getZ(), 7);
}

TEST(AsteroidDrift, hasNoStoppingDistance) {
    const GraphVertexTransform g = Golevka(true).update(0.1, placedAt(0, 0, 0), cockpitAt(0, 0, 0.5f),
                                                        drawnAt(0, 0, 0));
    expectPosition(g, 0, 0, 0.8f);
}

TEST(AsteroidDrift, aFollowerNotYetDrawnOnlyTurns) {
    CollisionInfo notDrawn(1);
    notDrawn.x = 100; // whatever the record holds, it was never measured
    const GraphVertexTransform g = Golevka(true).update(0.5, placedAt(1, 1, 1), cockpitAt(10, 0, 0),
                                                        notDrawn);
    expectPosition(g, 1, 1, 1);
    EXPECT_FLOAT_EQ(g.getAlphaY(), 10.0f);
    const GraphVertexTransform t = Toutatis(true).update(0.5, placedAt(1, 1, 1), cockpitAt(10, 0, 0),
                                                         notDrawn);
    expectPosition(t, 1, 1, 1);
}

TEST(AsteroidDrift, anAsteroidBuiltWithoutTheFollowChoiceNeverTranslates) {
    for (bool explicitChoice : {false, true}) {
        Golevka golevka = explicitChoice ? Golevka(false) : Golevka();
        Toutatis toutatis = explicitChoice ? Toutatis(false) : Toutatis();
        expectPosition(golevka.update(0.5, placedAt(1, 2, 3), cockpitAt(10, 0, 0), drawnAt(0, 0, 0)),
                       1, 2, 3);
        expectPosition(toutatis.update(0.5, placedAt(1, 2, 3), cockpitAt(10, 0, 0), drawnAt(0, 0, 0)),
                       1, 2, 3);
    }
}

TEST(AsteroidDrift, aFollowerRegisteredRightAtTheCockpitTurnsButTakesNoStep) {
    // No direction exists at distance 0; the placement must stay a real position.
    for (bool golevka : {true, false}) {
        SCOPED_TRACE(golevka ? "Golevka" : "Toutatis");
        const GraphVertexTransform t =
            golevka ? Golevka(true).update(0.5, placedAt(1, 2, 3), cockpitAt(4, 5, 6), drawnAt(4, 5, 6))
                    : Toutatis(true).update(0.5, placedAt(1, 2, 3), cockpitAt(4, 5, 6), drawnAt(4, 5, 6));
        expectPosition(t, 1, 2, 3);
        EXPECT_FLOAT_EQ(golevka ? t.getAlphaY() : t.getAlphaX(), 10.0f);
    }
}

TEST(AsteroidDrift, anUnmeasurablePositionTakesNoStep) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    expectPosition(Golevka(true).update(0.1, placedAt(1, 2, 3), cockpitAt(0, 0, 0), drawnAt(nan, 0, 0)),
                   1, 2, 3);
    // Far enough apart that the distance overflows a float: the direction would come out NaN.
    expectPosition(Toutatis(true).update(0.1, placedAt(1, 2, 3), cockpitAt(-3e38f, 0, 0),
                                         drawnAt(3e38f, 0, 0)),
                   1, 2, 3);
}

// --- Ships ---------------------------------------------------------------------------------

TEST(ShipApproach, aShipTwentyUnitsAwayStepsExactlyHalfAUnitPerFrameWhateverTheFrameTime) {
    for (double dt : {0.0, 0.02, 1.0, 10.0}) {
        SCOPED_TRACE(dt);
        expectPosition(Brakiri().update(dt, placedAt(0, 0, -20), cockpitAt(0, 0, 0), drawnAt(0, 0, -20)),
                       0, 0, -19.5f);
        expectPosition(Clipper().update(dt, placedAt(0, 0, -20), cockpitAt(0, 0, 0), drawnAt(0, 0, -20)),
                       0, 0, -19.5f);
    }
}

TEST(ShipApproach, atExactlyThreeUnitsTheShipHoldsAndAtThreePointTwoItSteps) {
    expectPosition(Clipper().update(0.1, placedAt(3, 0, 0), cockpitAt(0, 0, 0), drawnAt(3, 0, 0)),
                   3, 0, 0);
    expectPosition(Brakiri().update(0.1, placedAt(0, 3, 0), cockpitAt(0, 0, 0), drawnAt(0, 3, 0)),
                   0, 3, 0);
    const GraphVertexTransform stepped =
        Clipper().update(0.1, placedAt(3.2f, 0, 0), cockpitAt(0, 0, 0), drawnAt(3.2f, 0, 0));
    expectPosition(stepped, 2.7f, 0, 0);
    // Off an axis the half unit is shared along the normalised difference.
    const GraphVertexTransform diagonal =
        Brakiri().update(0.1, placedAt(0, 0, 0), cockpitAt(0, 0, 0), drawnAt(0, -1.92f, 2.56f));
    EXPECT_NEAR(diagonal.getY(), 0.3, 1e-6);
    EXPECT_NEAR(diagonal.getZ(), -0.4, 1e-6);
    EXPECT_EQ(diagonal.getX(), 0.0f);
}

TEST(ShipApproach, aShipClosesInFrameByFrameAndStopsAtThreeUnits) {
    // With the camera at the origin eye and world coordinates agree: the record is the placement.
    GraphVertexTransform ship = placedAt(0, 0, -20);
    int moves = 0;
    for (int frame = 0; frame < 100; ++frame) {
        const GraphVertexTransform next =
            Brakiri().update(0.016, ship, cockpitAt(0, 0, 0), drawnAt(ship.getX(), ship.getY(), ship.getZ()));
        if (next.getZ() != ship.getZ()) {
            ++moves;
        }
        ship = next;
    }
    EXPECT_EQ(moves, 34); // 20 down to 3, half a unit at a time
    expectPosition(ship, 0, 0, -3);
}

TEST(ShipApproach, aShipNotYetDrawnDoesNotMove) {
    CollisionInfo notDrawn(2);
    notDrawn.z = -20;
    expectPosition(Brakiri().update(0.1, placedAt(0, 0, -20), cockpitAt(0, 0, 0), notDrawn), 0, 0, -20);
    expectPosition(Clipper().update(0.1, placedAt(0, 0, -20), cockpitAt(0, 0, 0), notDrawn), 0, 0, -20);
}

TEST(ShipApproach, anUnmeasurableDistanceLeavesTheShipWhereItIs) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    expectPosition(Brakiri().update(0.1, placedAt(1, 2, 3), cockpitAt(0, 0, 0), drawnAt(0, nan, 0)),
                   1, 2, 3);
    expectPosition(Clipper().update(0.1, placedAt(1, 2, 3), cockpitAt(0, 0, -3e38f),
                                    drawnAt(0, 0, 3e38f)),
                   1, 2, 3);
}

TEST(ShipApproach, bothShipKindsGivenTheSameRecordAndCockpitGoTheSameWay) {
    GraphVertexTransform start = placedAt(4, -5, 6);
    start.composeRotationsY(180);
    const CollisionInfo record = drawnAt(-7, 11, 13);
    const Cockpit cockpit = cockpitAt(2, 3, -4);
    const GraphVertexTransform b = Brakiri().update(0.3, start, cockpit, record);
    const GraphVertexTransform c = Clipper().update(0.3, start, cockpit, record);
    expectSamePlacement(b, c);
    EXPECT_NE(b.getX(), start.getX()); // they did move
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

// --- Kind objects are plain values ---------------------------------------------------------

TEST(KindObjects, neverLoadedKindsCopyAssignAndDestroyWithTheirState) {
    Kanone3d cannon;
    cannon.drawn = true;
    Kanone3d copy(cannon);
    Kanone3d assigned;
    assigned = copy;
    EXPECT_TRUE(assigned.drawn);
    EXPECT_EQ(assigned.model.numObjects, 0);

    Rocket3d rocket;
    rocket.setOriginalTransformation(launchPlacement());
    rocket.launched = true;
    Rocket3d rocketCopy;
    rocketCopy = rocket;
    EXPECT_TRUE(rocketCopy.launched);
    expectSamePlacement(rocketCopy.launchTransformation, launchPlacement());

    EXPECT_TRUE(Golevka(true).followCockpit);
    EXPECT_FALSE(Toutatis().followCockpit);
    EXPECT_FALSE(Brakiri().drawn);
    EXPECT_FALSE(Laser().launched);
}
