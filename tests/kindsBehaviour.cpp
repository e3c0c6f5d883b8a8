// The entities. Each kind's own frame behaviour, given its record and the cockpit directly:
// turning (scaled by the frame time), the asteroids' drift and the ships' approach (fixed
// steps per frame), the projectiles' flight (scaled by the frame time, along the launch
// direction). The entity record against a real registry: drawing in a real OpenGL context
// (the list it calls, seen through feedback mode where each test list leaves its kind number
// as a marker, and the eye-space position it reports), hits read in the frame after the
// overlap, life and death with their console lines, and dead entities that do nothing.

#include "collision/collisionInfos.h"
#include "entities/model.h"
#include "view/cockpit.h"

#include "support/glContext.h"
#include "support/markerLists.h"
#include "support/placementChecks.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

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

void expectPosition(const GraphVertexTransform& t, float x, float y, float z, float e = 1e-6f) {
    EXPECT_NEAR(t.getX(), x, e);
    EXPECT_NEAR(t.getY(), y, e);
    EXPECT_NEAR(t.getZ(), z, e);
}

using Update = std::function<GraphVertexTransform(double, GraphVertexTransform, const Cockpit&,
                                                  const CollisionInfo&)>;

template <class Kind> Update kindUpdate(Kind kind) {
    return [kind](double dt, GraphVertexTransform t, const Cockpit& c, const CollisionInfo& r) mutable {
        return kind.update(dt, t, c, r);
    };
}

const float nan = std::numeric_limits<float>::quiet_NaN();

GraphVertexTransform launchPlacement() {
    GraphVertexTransform launch = placedAt(1.5f, -3, -3.5f);
    launch.composeRotationsY(90); // facing -X: the rotated Z axis is +X
    return launch;
}

std::string consoleOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

std::string deathLines(int index) {
    return "\non set un existe a false\non esaie d eraser " + std::to_string(index) +
           "\non a reussi d eraser " + std::to_string(index);
}

Model modelOfKind(int kind, int index, Geometries* lists = nullptr) {
    switch (kind) {
    case 4: return Model(AsteroidWithKanone(), index);
    case 6: return Model(Toutatis(), lists, index);
    case 7: return Model(Brakiri(), lists, index);
    case 8: return Model(Castalia(), lists);
    case 9: return Model(Golevka(), lists, index);
    case 10: return Model(Clipper(), lists, index);
    case 11: return Model(Kanone3d(), lists);
    case 12: return Model(Rocket3d(), placedAt(0, 0, -20), lists, index);
    case 13: return Model(Laser(), placedAt(0, 0, -20), lists, index);
    }
    return Model();
}

// A registry with the frame's steps spelled out: entity updates, every entity reports its
// position (what drawing does), then the pairwise test pass.
struct Arena {
    CollisionInfos infos;
    Cockpit cockpit;
    int target = add(), shooter = add();

    int add() {
        int index = 0;
        consoleOf([&] { index = infos.addModel(); });
        return index;
    }
    void report(int index, int type, float x = 0) {
        CollisionInfo info(index);
        info.calculated = true;
        info.x = x;
        info.z = -20;
        info.type = type;
        infos.replace(info);
    }
    // The shooter visits the target for one test pass, then goes far away again.
    void hit(int type, int shooterType) {
        report(target, type);
        report(shooter, shooterType);
        consoleOf([&] { infos.update(); });
        report(shooter, shooterType, 1000);
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

std::vector<int> markersOf(const std::function<void()>& action) {
    const Feedback drawn = feedback(GL_3D, action);
    EXPECT_TRUE(drawn.polygons.empty() && drawn.lines.empty()) << "only markers are expected";
    return std::vector<int>(drawn.markers.begin(), drawn.markers.end());
}

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
        expectPosition(row.update(row.dt, placedAt(1, 2, 3), row.cockpit, row.record), row.x,
                       row.y, row.z, 1e-5f);
    }
}

// The first update jumps to the launch placement bit for bit, whatever the node held and
// however long the frame; then each tenth of a second is half a unit along the launch heading.
TEST(ProjectileFlight, theFirstUpdateJumpsToTheLaunchPlacementThenTimeScalesTheFlight) {
    GraphVertexTransform elsewhere = placedAt(9, 9, 9);
    elsewhere.composeRotationsX(33);
    Rocket3d rocket;
    rocket.setOriginalTransformation(launchPlacement());
    expectSamePlacement(rocket.update(0.75, elsewhere, cockpitAt(0, 0, 0)), launchPlacement());
    expectSamePlacement(rocket.update(0.0, launchPlacement(), cockpitAt(0, 0, 0)),
                        launchPlacement());
    Laser laser;
    laser.setOriginalTransformation(placedAt(0, 0, 0));
    GraphVertexTransform t = laser.update(123.0, elsewhere, cockpitAt(0, 0, 0));
    expectSamePlacement(t, placedAt(0, 0, 0));
    for (int frame = 1; frame <= 3; ++frame) {
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
    expectPosition(t, 1.5f - 1.0f, -3 + 10, -3.5f);
    EXPECT_FLOAT_EQ(t.getAlphaY(), 180);
    EXPECT_FLOAT_EQ(t.getAlphaX(), 30);
}

TEST(ModelLife, aRocketHitTakesTwoLifeAndALaserOneUntilTheTargetDies) {
    const std::pair<int, int> kindsAndLives[] = {{4, 3}, {6, 2}, {7, 4}, {9, 2}, {10, 3}};
    for (const auto& kindAndLife : kindsAndLives) {
        for (int projectile : {12, 13}) {
            SCOPED_TRACE("kind " + std::to_string(kindAndLife.first) + " by " +
                         std::to_string(projectile));
            Arena range;
            Model target = modelOfKind(kindAndLife.first, range.target);
            for (int life = kindAndLife.second; life > 0;) {
                range.hit(kindAndLife.first, projectile);
                life -= projectile == 12 ? 2 : 1;
                EXPECT_EQ(range.update(target), "\n life: " + std::to_string(life) +
                                                    (life <= 0 ? deathLines(range.target) : ""));
                EXPECT_EQ(target.life, life);
                EXPECT_EQ(target.getExist(), life > 0);
            }
        }
    }
}

// A projectile ends on anything that is not a projectile; projectiles pass through each other
// and asteroids and ships that touch anything but a shot lose nothing.
TEST(ModelLife, whatAnOverlapDoesDependsOnBothKinds) {
    for (int kind : {9, 10, 12, 13}) {
        for (int partner : {0, 4, 6, 7, 9, 10, 12, 13}) {
            const bool shot = kind >= 12, partnerShot = partner >= 12;
            if (!shot && partnerShot) {
                continue; // the life table above
            }
            SCOPED_TRACE(std::to_string(kind) + " meets " + std::to_string(partner));
            Arena arena;
            Model model = modelOfKind(kind, arena.target);
            arena.update(model);
            arena.hit(kind, partner);
            ASSERT_TRUE(arena.infos.getInfoIndex(arena.target).collision);
            const bool ends = shot && !partnerShot;
            EXPECT_EQ(arena.update(model), ends ? deathLines(arena.target) : "");
            EXPECT_EQ(model.getExist(), !ends);
        }
    }
}

TEST(ModelHitTiming, aHitTakesEffectInTheFrameAfterTheOverlap) {
    Arena arena;
    Model golevka(Golevka(), nullptr, arena.target);
    Model rocket(Rocket3d(), placedAt(0, 0, -20), nullptr, arena.shooter);
    // Frame 1: both move and are drawn on the same spot; the overlap is not yet known.
    EXPECT_EQ(arena.update(golevka) + arena.update(rocket), "");
    arena.report(arena.target, 9);
    arena.report(arena.shooter, 12);
    EXPECT_EQ(arena.update(golevka), "") << "reporting a position is not a hit";
    consoleOf([&] { arena.infos.update(); });
    // Frame 2: both read last frame's marks.
    EXPECT_EQ(arena.update(golevka), "\n life: 0" + deathLines(arena.target));
    EXPECT_EQ(arena.update(rocket), deathLines(arena.shooter));
}

TEST(ModelHitTiming, theKindStillMovesWithTheRecordAsItWasBeforeTheHit) {
    // A following asteroid killed this frame still drifts: its kind gets the record copied
    // before the hit erased it.
    Arena range;
    range.cockpit.transformation.composeTranslations(10, 0, -20);
    Model golevka(Golevka(true), nullptr, range.target);
    range.hit(9, 12);
    GraphVertexTransform result;
    range.update(golevka, &result, 0.5);
    EXPECT_FALSE(golevka.getExist());
    EXPECT_FLOAT_EQ(result.getX(), 0.8f);
    EXPECT_FLOAT_EQ(result.getAlphaY(), 10.0f);
}

TEST(ModelDead, deadEntitiesAndThoseNeverHitTouchNothing) {
    Arena range;
    Model golevka(Golevka(true), nullptr, range.target);
    range.hit(9, 12);
    range.update(golevka);
    ASSERT_FALSE(golevka.getExist());
    // Its index is handed out again and the newcomer is hit: the dead one must not notice.
    ASSERT_EQ(range.add(), range.target);
    range.hit(9, 12);
    GraphVertexTransform result = placedAt(5, 5, 5);
    EXPECT_EQ(range.update(golevka, &result, 0.5), "");
    expectSamePlacement(result, GraphVertexTransform());
    EXPECT_EQ(golevka.life, 0);
    EXPECT_TRUE(range.infos.getInfoIndex(range.target).collision) << "the newcomer's mark stays";
    // Castalia and the cannon are never hit, even pointed at a record a rocket marked.
    for (Model model : {Model(Castalia(), nullptr), Model(Kanone3d(), nullptr)}) {
        model.collisionIndex = range.target;
        EXPECT_EQ(range.update(model, &result), "");
        expectSamePlacement(result, placedAt(0, 0, -20));
        EXPECT_TRUE(model.getExist());
    }
    EXPECT_EQ(range.infos.getInfoIndex(range.target).index, range.target);

    // No constructor makes an entity of no known kind; should one reach an update, its node
    // stays where it is rather than jumping to the origin.
    Model stray;
    stray.kind = 5;
    stray.init();
    EXPECT_EQ(range.update(stray, &result), "");
    expectSamePlacement(result, placedAt(0, 0, -20));
    EXPECT_TRUE(stray.getExist());
}

// Each kind calls its own list (the cannon group none) and reports the origin of its frame in
// eye coordinates, Castalia and the cannon excepted; a list that could not be created is
// skipped, with no other list standing in and no call of list 0.
TEST_F(GlTest, eachKindCallsItsOwnListAndReportsWhereItIs) {
    CollisionInfos infos;
    int index = 0;
    // A projective matrix with m[15] = 2: the position is the translation divided by it.
    const GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 2};
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m);
    for (int kind : {4, 6, 7, 8, 9, 10, 11, 12, 13}) {
        SCOPED_TRACE(kind);
        Geometries geometries;
        compileMarkerLists(geometries);
        consoleOf([&] { infos.erase(index); index = infos.addModel(); });
        Model model = modelOfKind(kind, index, &geometries);
        EXPECT_EQ(markersOf([&] { model.draw(infos); }),
                  kind == 4 ? std::vector<int>{} : std::vector<int>{kind});
        const CollisionInfo info = infos.getInfoIndex(index);
        if (kind == 8 || kind == 11) {
            EXPECT_TRUE(info == CollisionInfo(index));
        } else {
            EXPECT_TRUE(info.calculated && !info.collision && info.collisionType == 0);
            EXPECT_EQ(info.index, index);
            EXPECT_EQ(info.type, kind);
            EXPECT_EQ(std::vector<float>({info.x, info.y, info.z}),
                      std::vector<float>({0.5f, 1.0f, 1.5f}));
        }
        if (kind != 4) {
            *listOf(geometries, kind) = 0;
            EXPECT_TRUE(markersOf([&] { model.draw(infos); }).empty());
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(GlTest, aDeadEntityOrOneOfNoKnownKindDrawsAndReportsNothing) {
    Geometries geometries;
    compileMarkerLists(geometries);
    Arena arena;
    CollisionInfos& infos = arena.infos;
    Model golevka(Golevka(), &geometries, arena.target);
    consoleOf([&] { golevka.erase(infos); });
    consoleOf([&] { golevka.collisionIndex = infos.addModel(); }); // a live record
    Model stray(Golevka(), &geometries, golevka.collisionIndex);
    stray.kind = 5;
    for (Model* model : {&golevka, &stray}) {
        EXPECT_TRUE(markersOf([&] { model->draw(infos); }).empty());
        EXPECT_FALSE(infos.getInfoIndex(golevka.collisionIndex).calculated);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
