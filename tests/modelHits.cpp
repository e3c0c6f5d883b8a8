// The entity record against a real collision registry: construction by kind, hits read in the
// frame after the overlap, life and death with their console lines, projectiles ending on
// anything that is not a projectile, and dead entities that no longer do anything.

#include "collision/collisionInfos.h"
#include "entities/model.h"
#include "view/cockpit.h"

#include "support/placementChecks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace {

std::string consoleOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

std::string deathLines(int index) {
    return "\non set un existe a false\non esaie d eraser " + std::to_string(index) +
           "\non a reussi d eraser " + std::to_string(index);
}

// A registry with the frame's three steps spelled out: entity updates, then every entity
// reports its position (what drawing does), then the pairwise test pass.
struct Arena {
    CollisionInfos infos;
    Cockpit cockpit;

    int add() {
        int index = 0;
        consoleOf([&] { index = infos.addModel(); });
        return index;
    }
    void report(int index, int type, float x, float y, float z) {
        CollisionInfo info(index);
        info.calculated = true;
        info.x = x;
        info.y = y;
        info.z = z;
        info.type = type;
        infos.replace(info);
    }
    void testPass() {
        consoleOf([&] { infos.update(); });
    }
    std::string update(Model& model, GraphVertexTransform* result = nullptr, double dt = 0.02) {
        return consoleOf([&] {
            const GraphVertexTransform t = model.update(dt, placedAt(0, 0, -20), cockpit, infos);
            if (result) {
                *result = t;
            }
        });
    }
};

// A target that stays at one spot and a shooter of either projectile kind that visits it for one
// test pass, then goes far away again.
struct ShootingRange : Arena {
    int target = add();
    int shooter = add();

    void hit(int type, int projectileType) {
        report(target, type, 0, 0, -20);
        report(shooter, projectileType, 0, 0, -20);
        testPass();
        report(shooter, projectileType, 1000, 0, 0);
    }
};

struct HittableKind {
    const char* name;
    int kind;
    int life;
    std::function<Model(int)> build;
};

const HittableKind hittableKinds[] = {
    {"AsteroidWithKanone", 4, 3, [](int i) { return Model(AsteroidWithKanone(), i); }},
    {"Toutatis", 6, 2, [](int i) { return Model(Toutatis(), nullptr, i); }},
    {"Brakiri", 7, 4, [](int i) { return Model(Brakiri(), nullptr, i); }},
    {"Golevka", 9, 2, [](int i) { return Model(Golevka(), nullptr, i); }},
    {"Clipper", 10, 3, [](int i) { return Model(Clipper(), nullptr, i); }},
};

} // namespace

// --- Construction --------------------------------------------------------------------------

TEST(ModelConstruction, eachHittableKindStartsAliveWithItsLifeItsTagAndItsIndex) {
    for (const HittableKind& k : hittableKinds) {
        SCOPED_TRACE(k.name);
        const Model m = k.build(7);
        EXPECT_EQ(m.kind, k.kind);
        EXPECT_EQ(m.life, k.life);
        EXPECT_EQ(m.collisionIndex, 7);
        EXPECT_TRUE(m.getExist());
    }
}

// --- Life and death ------------------------------------------------------------------------

TEST(ModelLife, aRocketHitTakesTwoLifeAndALaserOneUntilTheTargetDies) {
    for (const HittableKind& k : hittableKinds) {
        for (int projectile : {12, 13}) {
            SCOPED_TRACE(std::string(k.name) + (projectile == 12 ? " by rockets" : " by lasers"));
            ShootingRange range;
            Model target = k.build(range.target);
            const int damage = projectile == 12 ? 2 : 1;
            int expectedLife = k.life;
            while (expectedLife > 0) {
                range.hit(k.kind, projectile);
                expectedLife -= damage;
                std::string expected = "\n life: " + std::to_string(expectedLife);
                if (expectedLife <= 0) {
                    expected += deathLines(range.target);
                }
                EXPECT_EQ(range.update(target), expected);
                EXPECT_EQ(target.life, expectedLife);
                EXPECT_EQ(target.getExist(), expectedLife > 0);
            }
        }
    }
}

TEST(ModelLife, touchingAnotherAsteroidOrShipTakesNoLife) {
    Arena arena;
    const int a = arena.add(), b = arena.add();
    Model golevka(Golevka(), nullptr, a);
    Model clipper(Clipper(), nullptr, b);
    arena.report(a, 9, 0, 0, -20);
    arena.report(b, 10, 0, 0, -20);
    arena.testPass();
    ASSERT_TRUE(arena.infos.getInfoIndex(a).collision);
    EXPECT_EQ(arena.update(golevka), "");
    EXPECT_EQ(arena.update(clipper), "");
    EXPECT_EQ(golevka.life, 2);
    EXPECT_EQ(clipper.life, 3);
}

// --- When a hit lands ----------------------------------------------------------------------

TEST(ModelHitTiming, aHitTakesEffectInTheFrameAfterTheOverlap) {
    Arena arena;
    const int g = arena.add(), r = arena.add();
    Model golevka(Golevka(), nullptr, g);
    Model rocket(Rocket3d(), placedAt(0, 0, -20), nullptr, r);

    // Frame 1: both move, both are drawn on the same spot; the overlap is not yet known.
    EXPECT_EQ(arena.update(golevka), "");
    EXPECT_EQ(arena.update(rocket), "");
    arena.report(g, 9, 0, 0, -20);
    arena.report(r, 12, 0, 0, -20);
    EXPECT_EQ(arena.update(golevka), "") << "reporting a position is not a hit";
    arena.testPass();

    // Frame 2: both read last frame's marks.
    EXPECT_EQ(arena.update(golevka), "\n life: 0" + deathLines(g));
    EXPECT_EQ(arena.update(rocket), deathLines(r));
    EXPECT_FALSE(golevka.getExist());
    EXPECT_FALSE(rocket.getExist());
}

TEST(ModelHitTiming, theKindStillMovesWithTheRecordAsItWasBeforeTheHit) {
    // A following asteroid killed this frame still drifts: its kind gets the record copied
    // before the hit erased it.
    ShootingRange range;
    range.cockpit.transformation.composeTranslations(10, 0, -20);
    Model golevka(Golevka(true), nullptr, range.target);
    range.hit(9, 12);
    GraphVertexTransform result;
    range.update(golevka, &result, 0.5);
    EXPECT_FALSE(golevka.getExist());
    EXPECT_FLOAT_EQ(result.getX(), 0.8f);
    EXPECT_FLOAT_EQ(result.getAlphaY(), 10.0f);
}

// --- Projectiles ---------------------------------------------------------------------------

TEST(ModelProjectiles, projectilesPassThroughEachOther) {
    Arena arena;
    const int r = arena.add(), l = arena.add();
    Model rocket(Rocket3d(), placedAt(0, 0, -5), nullptr, r);
    Model laser(Laser(), placedAt(0, 0, -5), nullptr, l);
    GraphVertexTransform placement;
    arena.update(rocket);
    arena.update(laser);
    arena.report(r, 12, 0, 0, -5);
    arena.report(l, 13, 0, 0, -5);
    arena.testPass();
    ASSERT_TRUE(arena.infos.getInfoIndex(r).collision);
    EXPECT_EQ(arena.update(rocket, &placement, 0.1), "");
    EXPECT_NEAR(placement.getZ(), -20.5, 1e-5) << "it flies on from the node's placement";
    EXPECT_EQ(arena.update(laser), "");
    EXPECT_TRUE(rocket.getExist());
    EXPECT_TRUE(laser.getExist());
}

TEST(ModelProjectiles, aProjectileEndsOnAnythingThatIsNotAProjectile) {
    for (int partner : {0, 4, 6, 7, 9, 10}) {
        for (int projectile : {12, 13}) {
            SCOPED_TRACE("partner " + std::to_string(partner) + ", projectile " +
                         std::to_string(projectile));
            Arena arena;
            const int p = arena.add(), other = arena.add();
            Model shot = projectile == 12 ? Model(Rocket3d(), placedAt(0, 0, -5), nullptr, p)
                                          : Model(Laser(), placedAt(0, 0, -5), nullptr, p);
            arena.update(shot);
            arena.report(p, projectile, 0, 0, -5);
            arena.report(other, partner, 0, 0, -5);
            arena.testPass();
            EXPECT_EQ(arena.update(shot), deathLines(p));
            EXPECT_FALSE(shot.getExist());
        }
    }
}

TEST(ModelProjectiles, aShotFiredAtTheEyeEndsOnARecordNotYetReported) {
    // A record just handed out sits at the eye point with type 0 until its entity is drawn.
    Arena arena;
    const int r = arena.add();
    Model rocket(Rocket3d(), placedAt(0, -3, -3.5f), nullptr, r);
    arena.update(rocket);
    arena.report(r, 12, 0, -1, -1);
    arena.add(); // a newcomer, not yet drawn
    arena.testPass();
    EXPECT_EQ(arena.update(rocket), deathLines(r));
}

// --- Kinds that are never hit --------------------------------------------------------------

TEST(ModelUnhittable, castaliaAndTheCannonAreNeverHitWhateverTheirLookupReturns) {
    ShootingRange range;
    range.hit(9, 12);
    ASSERT_TRUE(range.infos.getInfoIndex(range.target).collision);
    // Pointed at a record marked by a rocket: they still take nothing and stay.
    Model body(Castalia(), nullptr);
    body.collisionIndex = range.target;
    Model cannon(Kanone3d(), nullptr);
    cannon.collisionIndex = range.target;
    GraphVertexTransform result;
    EXPECT_EQ(range.update(body, &result), "");
    expectSamePlacement(result, placedAt(0, 0, -20));
    EXPECT_EQ(range.update(cannon), "");
    EXPECT_TRUE(body.getExist());
    EXPECT_TRUE(cannon.getExist());
    EXPECT_EQ(range.infos.getInfoIndex(range.target).index, range.target);
}

// --- Dead entities -------------------------------------------------------------------------

TEST(ModelDead, aDeadEntityReturnsADefaultPlacementAndTouchesNothing) {
    ShootingRange range;
    Model golevka(Golevka(true), nullptr, range.target);
    range.hit(9, 12);
    range.update(golevka);
    ASSERT_FALSE(golevka.getExist());

    // Its index is handed out again and the newcomer is hit: the dead one must not notice.
    const int reused = range.add();
    ASSERT_EQ(reused, range.target);
    range.hit(9, 12);
    GraphVertexTransform result = placedAt(5, 5, 5);
    EXPECT_EQ(range.update(golevka, &result, 0.5), "");
    expectSamePlacement(result, GraphVertexTransform());
    EXPECT_EQ(golevka.life, 0);
    EXPECT_TRUE(range.infos.getInfoIndex(reused).collision) << "the newcomer's mark is untouched";
}

TEST(ModelDead, anEntityOfNoKnownKindKeepsItsPlacement) {
    // No constructor makes one; should one reach an update, its node stays where it is rather
    // than jumping to the origin.
    Arena arena;
    Model stray;
    stray.kind = 5;
    stray.init();
    GraphVertexTransform result;
    EXPECT_EQ(arena.update(stray, &result), "");
    expectSamePlacement(result, placedAt(0, 0, -20));
    EXPECT_TRUE(stray.getExist());
}
