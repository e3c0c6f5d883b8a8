// The scene tree (advancing, drawing, pruning the dead, deep trees) and the world's frame.

#include "support/fakeFrameSystem.h"
#include "support/glContext.h"
#include "support/markerLists.h"

#include "scene/scenegraph.h"
#include "view/cockpit.h"

#include <EGL/egl.h>
#include <pthread.h>

#include <memory>
#include <utility>

namespace {

constexpr int skyMarker = 100, cockpitMarker = 101;

bool actOn(GraphVertex& top, CollisionInfos& infos) {
    return top.act(0.02, Cockpit(), infos);
}

GLint modelviewDepth() {
    return GLint(glFloats(GL_MODELVIEW_STACK_DEPTH, 1)[0]);
}

// The test scene with marker lists, a recording window system and a clock the test moves.
class WorldTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        consoleOf([&] { world->initTest(); });
        Geometries& lists = *world->geometries;
        compileMarkerLists(lists);
        lists.skyboxList = compiled([] { // and a point half a unit ahead of the sky's centre
            glPassThrough(GLfloat(skyMarker));
            glBegin(GL_POINTS), glVertex3f(0, 0, -0.5f), glEnd();
        });
        lists.cockpitList = compiled([] { glPassThrough(GLfloat(cockpitMarker)); });
    }
    void TearDown() override { world.reset(); } // while its context is current
    std::string frame(bool showSkybox = true, std::int64_t elapsed = 20) {
        fake.ticks += elapsed;
        return consoleOf([&] { world->render(showSkybox); });
    }
    void markHits(std::vector<int> indexes) {
        for (int index : indexes)
            markHit(world->collisionInfos, index, kindRocket3d);
    }

    FakeFrameSystem fake;
    const long before = GraphVertex::existing();
    std::unique_ptr<SceneGraph> world = std::make_unique<SceneGraph>();
};

void releaseContext() {
    eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

// Runs `work` with the test's context on a 256 KiB stack: too small for a frame per tree level.
template <class Work> void onSmallStack(GlContext& gl, Work& work) {
    using Job = std::pair<GlContext*, Work*>;
    Job job{&gl, &work};
    releaseContext();
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto run = [](void* raw) -> void* {
        Job* job = static_cast<Job*>(raw);
        job->first->makeCurrent(), (*job->second)(), releaseContext();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
    pthread_join(thread, nullptr);
    gl.makeCurrent();
}

} // namespace

TEST_F(WorldTest, entitiesAreAdvancedOldestFirstAndTheDeadLeaveTheTreeInThatWalk) {
    markHits({1, 2, 3, 4, 5, 6});
    const std::string said = consoleOf(
        [&] { EXPECT_TRUE(world->root.act(0.02, world->cockpit, world->collisionInfos)); });
    // Lives: Golevka 2, group 3, Clipper 3, Golevka 2, Toutatis 2, Brakiri 4; a rocket takes 2.
    EXPECT_EQ(said, "\n life: 0" + deathLines(1) + "\n life: 1\n life: 1\n life: 0" +
                        deathLines(4) + "\n life: 0" + deathLines(5) + "\n life: 2");
    EXPECT_EQ(markersOf([&] { world->root.render(world->collisionInfos); }),
              (std::vector<int>{kindCastalia, kindKanone3d, kindClipper, kindBrakiri}));
}

// The test scene, oldest first, where it is described to stand: moved, turned about X, Y and Z
// by angles kept as given (380 too), at the scale of 1.1 every placement starts from; the cannon
// group holds its Castalia 0.75 below its origin and the cannon 0.75 above.
TEST_F(WorldTest, theTestSceneHoldsItsEntitiesWhereItPutThem) {
    using Placements = std::vector<std::pair<int, std::vector<float>>>;
    Placements found;
    for (GraphVertex* node : entityNodes(&world->root)) {
        found.emplace_back(node->object.model.kind,
                           placementValues(node->object.getTransformation()));
    }
    const float s = 1.1f;
    const Placements expected = {{kindGolevka, {-3, 3, 0, 0, 0, 0, s, s, s}},
                                 {kindAsteroidWithKanone, {3, -3, 0, 0, 0, 0, s, s, s}},
                                 {kindCastalia, {0, -0.75f, 0, 0, 0, 0, s, s, s}},
                                 {kindKanone3d, {0, 0.75f, 0, 0, 0, 0, s, s, s}},
                                 {kindClipper, {-2, -2, -15, 0, 0, 0, s, s, s}},
                                 {kindGolevka, {-3, 3, -10, 150, 70, 220, s, s, s}},
                                 {kindToutatis, {3, 3, -10, 380, 130, 30, s, s, s}},
                                 {kindBrakiri, {-3, 3, -15, 10, 250, 80, s, s, s}}};
    EXPECT_EQ(found, expected);
}

// A rocket then a laser leave 3 units under the cockpit and 3.5 or 5 ahead of it along its own
// axes, here rolled a quarter turn, with its angles and scale; the laser's node is the newest.
TEST_F(WorldTest, shotsLeaveUnderAndAheadOfTheCockpitAlongItsOwnAxes) {
    world->cockpit.transformation = placedAt(1, 2, 3, 0, 0, 90);
    EXPECT_EQ(consoleOf([&] { world->manageFire(true, true); }),
              "\n premier dispo: 7\n on a reussi a en faire un vertex ajout\xE9"
              "\n premier dispo: 8\n on a reussi a en faire un vertex ajout\xE9");
    const Model &laser = world->root.second->object.model,
                &rocket = world->root.first->second->object.model;
    EXPECT_TRUE(rocket.kind == kindRocket3d && laser.kind == kindLaser);
    EXPECT_TRUE(rocket.collisionIndex == 7 && laser.collisionIndex == 8);
    expectSamePlacement(rocket.rocket3d.launchTransformation, placedAt(4, 2, -0.5f, 0, 0, 90));
    expectSamePlacement(laser.laser.launchTransformation, placedAt(4, 2, -2, 0, 0, 90));
}

// The sky first only when on, centred on the eye on the world's axes (its point ahead lands mid-
// window, 0.55 ahead); frame time and the cockpit's rate from the clock. The registry's dump
// comes before the pair test's lines (the ships and the far Golevka touch).
TEST_F(WorldTest, aFrameDrawsTheSkyFirstWhenOnAndWritesTheClocksRateInTheCockpit) {
    const GLint depth = modelviewDepth();
    for (bool sky : {true, false}) {
        std::vector<int> expected{cockpitMarker, kindGolevka, kindCastalia, kindKanone3d,
                                  kindClipper,   kindGolevka, kindToutatis, kindBrakiri};
        expected.insert(expected.begin(), sky ? 1 : 0, skyMarker);
        std::string said;
        const Feedback drawn = feedback(GL_3D, [&] { said = frame(sky, sky ? 20 : 0); });
        EXPECT_EQ(std::vector<int>(drawn.markers.begin(), drawn.markers.end()), expected);
        ASSERT_EQ(drawn.points.size(), sky ? 1u : 0u);
        for (const FedVertex& p : drawn.points) {
            expectNear({p.x, p.y, p.z}, {32, 32, 0.225f}, 1e-5);
        }
        EXPECT_NE(said.find("\n fin du print\n****************! !!! collision entre ind1: "),
                  std::string::npos)
            << said;
        EXPECT_EQ(world->frameTime, sky ? 0.02 : 0.0);
        EXPECT_EQ(modelviewDepth(), depth);
    }
    EXPECT_EQ(fake.text, "fps: 50.000000fps: inf");
    EXPECT_EQ(fake.swaps, 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WorldTest, aWorldWithNothingAliveSaysSoEachFrameUntilAShotBringsItBackAndFreesAll) {
    markHits({1, 2, 3, 4, 5, 6});
    frame();
    markHits({2, 3, 6});
    frame();
    const std::string emptyFrame = frame();
    EXPECT_TRUE(world->empty);
    EXPECT_EQ(emptyFrame.rfind("\vide\n on print", 0), 0u) << emptyFrame;
    EXPECT_EQ(fake.swaps, 3);
    consoleOf([&] { world->manageFire(false, true); });
    EXPECT_EQ(frame().find('\v'), std::string::npos);
    EXPECT_FALSE(world->empty);
    EXPECT_EQ(world->root.type, vertexPassThrough);
    EXPECT_EQ(world->root.first->object.model.kind, kindLaser);
    world.reset();
    EXPECT_EQ(GraphVertex::existing(), before);
}

// A branch losing one subtree passes through to the other; a branch losing both is unlinked from
// above (or stays, at the top); pass-throughs below the top are taken out. Copies share subtrees.
TEST(GraphVertexAct, deadSubtreesLeaveTheTreeAndNothingIsReleasedTwice) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    using Links = std::vector<GraphVertex*>;
    auto links = [](const GraphVertex& v) { return Links{v.first, v.second}; };
    auto passesTo = [&](GraphVertex& v, GraphVertex* to) {
        return actOn(v, infos) && v.type == vertexPassThrough && links(v) == Links{to, nullptr};
    };
    {
        GraphVertex *survivor = castaliaNode(nullptr), *formerSecond = castaliaNode(nullptr);
        GraphVertex secondDies(survivor, deadNode()), firstDies(deadNode(), formerSecond);
        EXPECT_TRUE(passesTo(secondDies, survivor) && passesTo(firstDies, formerSecond));
        EXPECT_EQ(GraphVertex::existing(), before + 4) << "the two dead nodes are released";
        EXPECT_TRUE(passesTo(firstDies, formerSecond))
            << "a pass-through reports what it passes to";
        GraphVertex* keeper = castaliaNode(nullptr);
        GraphVertex top(new GraphVertex(deadNode(), deadNode()), keeper);
        EXPECT_TRUE(passesTo(top, keeper));
        EXPECT_EQ(GraphVertex::existing(), before + 6) << "the dead branch left with its subtrees";
        GraphVertex *a = deadNode(), *b = deadNode();
        GraphVertex deadTop(a, b);
        EXPECT_FALSE(actOn(deadTop, infos));
        EXPECT_EQ(links(deadTop), (Links{a, b}));
    }
    EXPECT_EQ(GraphVertex::existing(), before);
    {
        // The world's shape: old content under a first-leaning chain of (dead) shots.
        GraphVertex *oldest = castaliaNode(nullptr), *newest = castaliaNode(nullptr);
        GraphVertex* chain = new GraphVertex(new GraphVertex(oldest, deadNode()), deadNode());
        GraphVertex top(chain, newest), copy(top);
        EXPECT_TRUE(actOn(copy, infos));
        EXPECT_EQ(links(copy), (Links{oldest, newest}));
        EXPECT_EQ(top.first, chain);
        EXPECT_TRUE(actOn(top, infos));
        EXPECT_EQ(top.first, oldest) << "both pass-throughs were taken out";
        copy = copy;
        copy = GraphVertex();
        EXPECT_EQ(GraphVertex::existing(), before + 4) << "two tops, copy and their entities";
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

// A dead composed object's subtree is not visited; a transform reports its subtree.
TEST(GraphVertexAct, anObjectLivesByItsEntityAndAComposedOneAlsoByItsSubtree) {
    CollisionInfos infos;
    int index = 0;
    consoleOf([&] { index = infos.addModel(); });
    markHit(infos, index, kindRocket3d); // its next update would take its last two life
    GraphVertex deadCarrier(Model(), new GraphVertex(Model(Golevka(), nullptr, index), {}), {});
    EXPECT_EQ(consoleOf([&] { EXPECT_FALSE(actOn(deadCarrier, infos)); }), "")
        << "the child would say its death";

    GraphVertex livingCarrierOfTheDead(Model(AsteroidWithKanone(), -1), deadNode(),
                                       GraphVertexTransform());
    EXPECT_FALSE(actOn(livingCarrierOfTheDead, infos));
    EXPECT_TRUE(livingCarrierOfTheDead.object.getExist());
    GraphVertex livingCarrier(Model(AsteroidWithKanone(), -1), castaliaNode(nullptr),
                              GraphVertexTransform());
    GraphVertex transform(castaliaNode(nullptr), placedAt(1, 0, 0));
    GraphVertex deadTransform(deadNode(), placedAt(1, 0, 0));
    EXPECT_TRUE(actOn(livingCarrier, infos) && actOn(transform, infos));
    EXPECT_FALSE(actOn(deadTransform, infos));
}

class SceneTreeGl : public GlTest {};

// Placements scale by 1.1, a child's offset with its parent's frame. (The order of drawing, and
// pass-throughs drawing what they pass to, show in the world's frames.)
TEST_F(SceneTreeGl, renderPlacesEachSubtreeInItsParentsFrame) {
    CollisionInfos infos;
    int inner = 0, outer = 0;
    consoleOf([&] { inner = infos.addModel(), outer = infos.addModel(); });
    GraphVertex* child = new GraphVertex(Model(Golevka(), nullptr, inner), placedAt(0, 1, 0));
    GraphVertex top(new GraphVertex(Model(AsteroidWithKanone(), outer), child, placedAt(3, 0, 0)),
                    placedAt(0, 0, -5));
    glLoadIdentity();
    top.render(infos);
    EXPECT_EQ(modelviewDepth(), 1) << "the matrix stack is balanced";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const CollisionInfo carried = infos.getInfoIndex(outer), inside = infos.getInfoIndex(inner);
    EXPECT_TRUE(carried.calculated && carried.type == kindAsteroidWithKanone);
    EXPECT_TRUE(inside.calculated && inside.type == kindGolevka);
    for (const auto& [got, y] : {std::make_pair(carried, 0.0f), std::make_pair(inside, 1.21f)}) {
        expectNear({got.x, got.y, got.z}, {3 * 1.1f, y, -5}, 1e-6);
    }
}

// Alive, drawn, stack change, still alive once every shot died, nodes left (top and oldest).
TEST_F(SceneTreeGl, aTreeOfTwentyThousandLivingShotsIsWalkedAndReleasedWithoutADeepStack) {
    Geometries lists;
    compileMarkerLists(lists);
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    std::vector<long> got;
    auto walk = [&] {
        GraphVertex top(Model(Castalia(), &lists), GraphVertexTransform());
        for (int shot = 0; shot < 20000; ++shot) // as the world inserts: old top first
            top = GraphVertex(new GraphVertex(top), castaliaNode(&lists));
        got.push_back(actOn(top, infos));
        const GLint depth = modelviewDepth();
        got.push_back(long(markersOf([&] { top.render(infos); }).size()));
        got.push_back(modelviewDepth() - depth);
        for (GraphVertex* level = &top; level->type == vertexBranch; level = level->first)
            level->second->object.model.exist = false;
        got.push_back(actOn(top, infos));
        got.push_back(GraphVertex::existing() - before);
    };
    onSmallStack(*gl, walk);
    EXPECT_EQ(got, (std::vector<long>{true, 20001, 0, true, 2}));
    EXPECT_EQ(GraphVertex::existing(), before);
}
