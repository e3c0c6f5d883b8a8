// The entities: each kind's turning, pursuit and flight; then the entity against a real
// registry (drawing read back through feedback markers, hits, life and death lines).

#include "entities/model.h"
#include "view/cockpit.h"

#include "support/collisionOracle.h"
#include "support/glContext.h"
#include "support/markerLists.h"

#include <array>
#include <cmath>
#include <tuple>

namespace {

// One kind's update by letter: Golevka and Toutatis following (G, T) or not (g, t), Brakiri,
// Clipper, the cannon group (A), the cannon once drawn (K) or never (k), else Castalia.
GraphVertexTransform step(char kind, double dt, GraphVertexTransform t, const Cockpit& c,
                          const CollisionInfo& r) {
    Kanone3d cannon;
    cannon.drawn = kind == 'K';
    const bool follows = kind == 'G' || kind == 'T';
    return kind == 'G' || kind == 'g'   ? Golevka(follows).update(dt, t, c, r)
           : kind == 'T' || kind == 't' ? Toutatis(follows).update(dt, t, c, r)
           : kind == 'B'                ? Brakiri().update(dt, t, c, r)
           : kind == 'C'                ? Clipper().update(dt, t, c, r)
           : kind == 'A'                ? AsteroidWithKanone().update(dt, t, c)
           : kind == 'K' || kind == 'k' ? cannon.update(dt, t, c)
                                        : Castalia().update(dt, t, c);
}

Model modelOfKind(int kind, int index, Geometries* lists = nullptr) {
    return kind == 4    ? Model(AsteroidWithKanone(), index)
           : kind == 6  ? Model(Toutatis(), lists, index)
           : kind == 7  ? Model(Brakiri(), lists, index)
           : kind == 8  ? Model(Castalia(), lists)
           : kind == 9  ? Model(Golevka(), lists, index)
           : kind == 10 ? Model(Clipper(), lists, index)
           : kind == 11 ? Model(Kanone3d(), lists)
           : kind == 12 ? Model(Rocket3d(), placedAt(0, 0, -20), lists, index)
                        : Model(Laser(), placedAt(0, 0, -20), lists, index);
}

// A registry with the frame's steps spelled out: updates, reports (as drawing does), test pass.
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
        infos.replace(reported(index, type, x, 0, -20));
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
            if (result)
                *result = t;
        });
    }
};

} // namespace

TEST(KindTurning, eachKindTurnsAtItsRateAboutItsAxisAndKeepsItsPlace) {
    // The kind and its turn about X, Y and Z in half a second.
    const std::tuple<const char*, char, std::array<float, 3>> rows[] = {
        {"Golevka", 'g', {0, 10, 0}},           {"Toutatis", 't', {10, 0, 0}},
        {"cannon group", 'A', {0, 5, 0}},       {"cannon once drawn", 'K', {0, 50, 0}},
        {"cannon never drawn", 'k', {0, 0, 0}}, {"Castalia", 'c', {0, 0, 0}}};
    for (const auto& [name, kind, turn] : rows) {
        SCOPED_TRACE(name);
        GraphVertexTransform start = placedAt(1, 2, 3, 30, 40, 12.5f);
        start.composeScalings(2, 3, 4);
        GraphVertexTransform expected = start;
        expected.composeRotationsX(turn[0]), expected.composeRotationsY(turn[1]);
        expected.composeRotationsZ(turn[2]);
        expectSamePlacement(step(kind, 0.5, start, Cockpit(), CollisionInfo(1)), expected);
    }
}

// Per frame, whatever its time: followers drift 0.8, ships 0.5 (holding at 3 or closer) from the
// registered position toward the cockpit, given a finite, non-zero distance (the untouched
// session's transcript follows a Golevka and both ships from afar).
TEST(KindPursuit, eachStepFollowsTheRegisteredPositionTowardTheCockpit) {
    using Floats = std::vector<float>;
    // The kind, the frame time, the registered position, the cockpit's, and the position
    // expected from (1, 2, 3).
    const std::tuple<const char*, char, double, Floats, Floats, Floats> rows[] = {
        {"Toutatis ten away, long frame", 'T', 5.0, {0, 0, 0}, {10, 0, 0}, {1.8f, 2, 3}},
        {"Toutatis at the cockpit", 'T', 0.1, {4, 5, 6}, {4, 5, 6}, {1, 2, 3}},
        {"Golevka at NaN", 'G', 0.1, {NAN, 0, 0}, {0, 0, 0}, {1, 2, 3}},
        {"Golevka a tenth away", 'G', 0.1, {0.1f, 0, 0}, {0, 0, 0}, {0.2f, 2, 3}},
        {"Clipper at 3.2", 'C', 0.1, {3.2f, 0, 0}, {0, 0, 0}, {0.5f, 2, 3}},
        {"Brakiri at exactly 3", 'B', 0.1, {0, 3, 0}, {0, 0, 0}, {1, 2, 3}},
        {"Clipper past float range", 'C', 0.1, {0, 0, 3e38f}, {0, 0, -3e38f}, {1, 2, 3}},
    };
    for (const auto& [name, kind, dt, at, eye, expected] : rows) {
        SCOPED_TRACE(name);
        const CollisionInfo record = reported(1, 0, at[0], at[1], at[2]);
        Cockpit cockpit;
        cockpit.transformation = placedAt(eye[0], eye[1], eye[2]);
        const GraphVertexTransform t = step(kind, dt, placedAt(1, 2, 3), cockpit, record);
        expectNear({t.getX(), t.getY(), t.getZ()}, expected, 1e-5);
    }
}

// Both shots fly 5 a second (1 in 0.2 s) along their launch's -Z, whatever node or cockpit do.
TEST(ProjectileFlight, fliesFiveUnitsASecondAlongTheLaunchDirectionWhateverTheNodeDid) {
    const struct {
        const char* name;
        float turnX, turnY, step[3];
    } rows[] = {{"straight", 0, 0, {0, 0, -1}},
                {"a quarter left", 0, 90, {-1, 0, 0}},
                {"30 degrees left", 0, 30, {-0.5f, 0, -0.8660254f}},
                {"30 up, then 30 left", 30, 30, {-0.5f, 0.4330127f, -0.75f}}};
    Cockpit elsewhere;
    elsewhere.transformation = placedAt(7, 7, 7);
    for (const auto& row : rows) {
        const GraphVertexTransform launch = placedAt(1.5f, -3, -3.5f, row.turnX, row.turnY);
        const auto fly = [&](auto shot) {
            shot.setOriginalTransformation(launch);
            GraphVertexTransform t = shot.update(5.0, placedAt(9, 9, 9), elsewhere);
            expectSamePlacement(t, launch); // the first update only takes the launch placement
            t.composeRotationsY(90), t.composeRotationsX(30), t.composeTranslations(0, 10, 0);
            t = shot.update(0.2, t, elsewhere);
            expectNear({t.getX(), t.getY(), t.getZ()},
                       {1.5f + row.step[0], 7 + row.step[1], -3.5f + row.step[2]}, 1e-5);
            EXPECT_EQ(t.getAlphaX(), row.turnX + 30);
            EXPECT_EQ(t.getAlphaY(), row.turnY + 90);
        };
        SCOPED_TRACE(row.name);
        fly(Rocket3d());
        fly(Laser());
    }
}

// A projectile ends on anything but a projectile. A target loses two life to a rocket and one to
// a laser, dying with none left (a Golevka has 2, a Clipper 3; every kind's life shows in the
// world's frames); nothing else costs it any. Castalia and the cannon are never hit.
TEST(ModelLife, whatAnOverlapDoesDependsOnBothKinds) {
    const std::vector<int> noShot = {0, 4, 6, 7, 9, 10}, shots = {12, 13};
    // The kind, its partners, what each hit says, whether it dies.
    const std::tuple<int, std::vector<int>, std::string, bool> rows[] = {
        {9, noShot, "", false},  {9, {12}, "\n life: 0", true},   {9, {13}, "\n life: 1", false},
        {10, noShot, "", false}, {10, {12}, "\n life: 1", false}, {10, {13}, "\n life: 2", false},
        {12, noShot, "", true},  {12, shots, "", false},          {13, noShot, "", true},
        {13, shots, "", false},  {8, shots, "", false},           {11, shots, "", false}};
    for (const auto& [kind, partners, hurt, dies] : rows) {
        for (int partner : partners) {
            SCOPED_TRACE(std::to_string(kind) + " meets " + std::to_string(partner));
            Arena arena;
            Model model = modelOfKind(kind, arena.target);
            model.collisionIndex = arena.target;
            arena.update(model);
            arena.hit(kind, partner);
            ASSERT_TRUE(arena.infos.getInfoIndex(arena.target).collision);
            EXPECT_EQ(arena.update(model), hurt + (dies ? deathLines(arena.target) : ""));
            EXPECT_EQ(model.getExist(), !dies);
        }
    }
}

TEST(ModelDead, deadEntitiesAndThoseNeverHitTouchNothing) {
    Arena range;
    range.cockpit.transformation.composeTranslations(10, 0, -20);
    Model golevka(Golevka(true), nullptr, range.target);
    range.hit(9, 12);
    GraphVertexTransform result;
    range.update(golevka, &result, 0.5);
    ASSERT_FALSE(golevka.getExist());
    // Killed this frame, it still drifts and turns: its kind got the record from before the hit.
    EXPECT_FLOAT_EQ(result.getX(), 0.8f);
    EXPECT_FLOAT_EQ(result.getAlphaY(), 10.0f);
    // Its index is handed out again and the newcomer is hit: the dead one must not notice.
    ASSERT_EQ(range.add(), range.target);
    range.hit(9, 12);
    result = placedAt(5, 5, 5);
    EXPECT_EQ(range.update(golevka, &result, 0.5), "");
    expectSamePlacement(result, GraphVertexTransform());
    EXPECT_EQ(golevka.life, 0);
    EXPECT_TRUE(range.infos.getInfoIndex(range.target).collision) << "the newcomer's mark stays";
}

class EntityGl : public GlTest {};

// Each kind calls its own list (the group none) and reports its eye-space origin (Castalia and
// the cannon never do, nor are they skipped); a list wholly past the far plane, or that could not
// be created (0), is skipped, the position still reported; the dead draw nothing.
TEST_F(EntityGl, eachKindCallsItsOwnListAndReportsWhereItIsAndTheDeadDrawNothing) {
    CollisionInfos infos;
    int index = 0;
    // A projective matrix with m[15] = 2: the position is the translation divided by it.
    const GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 2};
    const GLfloat farAway[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -1000, 1};
    for (int kind : {4, 6, 7, 8, 9, 10, 11, 12, 13}) {
        SCOPED_TRACE(kind);
        Geometries geometries;
        compileMarkerLists(geometries);
        consoleOf([&] {
            infos.erase(index);
            index = infos.addModel();
        });
        Model model = modelOfKind(kind, index, &geometries);
        const bool reports = kind != 8 && kind != 11;
        glLoadMatrixf(farAway);
        EXPECT_EQ(markersOf([&] { model.draw(infos); }),
                  reports ? std::vector<int>{} : std::vector<int>{kind});
        EXPECT_TRUE(infos.getInfoIndex(index) ==
                    (reports ? reported(index, kind, 0, 0, -1000) : CollisionInfo(index)));
        glLoadMatrixf(m);
        EXPECT_EQ(markersOf([&] { model.draw(infos); }),
                  kind == 4 ? std::vector<int>{} : std::vector<int>{kind});
        EXPECT_TRUE(infos.getInfoIndex(index) ==
                    (reports ? reported(index, kind, 0.5f, 1, 1.5f) : CollisionInfo(index)));
        if (kind != 4) {
            *listOf(geometries, kind) = 0;
            EXPECT_TRUE(markersOf([&] { model.draw(infos); }).empty());
            compileMarkerLists(geometries);
        }
        consoleOf([&] { model.erase(infos), model.collisionIndex = index = infos.addModel(); });
        EXPECT_TRUE(markersOf([&] { model.draw(infos); }).empty()) << "dead";
        EXPECT_FALSE(infos.getInfoIndex(index).calculated);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}
