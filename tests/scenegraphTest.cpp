// The scene tree and the world. The tree: what each kind of node advances and draws, how dead
// subtrees leave it, and that a tree as deep as a long session makes it is walked without a
// deep stack. The world: the test scene it builds, how it grows its tree, how it fires, and
// one frame from the clock reading to the buffer swap, with recorders for the window system
// and the clock.

#include "support/markerLists.h"
#include "support/glContext.h"

#include "app/windowSystem.h"
#include "assets/geometries.h"
#include "scene/frameClock.h"
#include "scene/scenegraph.h"
#include "view/cockpit.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

int swaps = 0;
std::string bitmapText;
std::int64_t ticks = 0;
constexpr int skyMarker = 100, cockpitMarker = 101;

bool actOn(GraphVertex& top, CollisionInfos& infos) { return top.act(0.02, Cockpit(), infos); }

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

// The world with its test scene, its meshes swapped for lists that only mark the feedback
// buffer, a window system that records swaps and cockpit text, and a clock the test moves.
class WorldTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        savedWindow = setWindowSystem({[] { ++swaps; }, [](void*, int c) { bitmapText += char(c); },
                                       [] {}});
        savedClock = setFrameClock({[] { return ticks; }, [] { return std::int64_t(1000); }});
        swaps = 0;
        bitmapText.clear();
        ticks = 0;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        testing::internal::CaptureStdout();
        world->initTest();
        testing::internal::GetCapturedStdout();
        Geometries& lists = *world->geometries;
        compileMarkerLists(lists);
        for (auto list : {std::make_pair(&lists.skyboxList, skyMarker),
                          std::make_pair(&lists.cockpitList, cockpitMarker)}) {
            *list.first = glGenLists(1);
            glNewList(*list.first, GL_COMPILE);
            glPassThrough(GLfloat(list.second));
            glEndList();
        }
    }
    void TearDown() override {
        world.reset();
        setFrameClock(savedClock);
        setWindowSystem(savedWindow);
        GlTest::TearDown();
    }
    std::string frame(bool showSkybox = true, std::int64_t elapsed = 20) {
        ticks += elapsed;
        testing::internal::CaptureStdout();
        world->render(showSkybox);
        return testing::internal::GetCapturedStdout();
    }
    void markHits(std::vector<int> indexes) {
        for (int index : indexes) {
            markHit(world->collisionInfos, index, kindRocket3d);
        }
    }

    const long before = GraphVertex::existing();
    std::unique_ptr<SceneGraph> world = std::make_unique<SceneGraph>();
    WindowSystem savedWindow{};
    FrameClock savedClock{};
};

// Runs `work` with the test's OpenGL context on a thread whose stack holds a few hundred
// kilobytes: far too little for one call frame per level of a deep tree.
template <class Work> void onSmallStack(Work& work) {
    struct Job {
        Work* work;
        EGLDisplay display;
        EGLSurface draw, read;
        EGLContext context;
    } job{&work, eglGetCurrentDisplay(), eglGetCurrentSurface(EGL_DRAW),
          eglGetCurrentSurface(EGL_READ), eglGetCurrentContext()};
    eglMakeCurrent(job.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    const int started = pthread_create(
        &thread, &attributes,
        [](void* raw) -> void* {
            Job* job = static_cast<Job*>(raw);
            eglMakeCurrent(job->display, job->draw, job->read, job->context);
            (*job->work)();
            eglMakeCurrent(job->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attributes);
    ASSERT_EQ(started, 0);
    pthread_join(thread, nullptr);
    eglMakeCurrent(job.display, job.draw, job.read, job.context);
}

} // namespace

TEST_F(WorldTest, entitiesAreAdvancedOldestFirstAndTheDeadLeaveTheTreeInThatWalk) {
    markHits({1, 2, 3, 4, 5, 6});
    testing::internal::CaptureStdout();
    EXPECT_TRUE(world->root.act(0.02, world->cockpit, world->collisionInfos));
    const std::string said = testing::internal::GetCapturedStdout();
    auto death = [](int index) {
        return "\non set un existe a false\non esaie d eraser " + std::to_string(index) +
               "\non a reussi d eraser " + std::to_string(index);
    };
    // Golevka (2 life), group (3), Clipper (3), Golevka, Toutatis (2), Brakiri (4): a rocket
    // takes two.
    EXPECT_EQ(said, "\n life: 0" + death(1) + "\n life: 1\n life: 1\n life: 0" + death(4) +
                        "\n life: 0" + death(5) + "\n life: 2");
    EXPECT_EQ(drawnKinds(world->root, world->collisionInfos),
              (std::vector<int>{kindCastalia, kindKanone3d, kindClipper, kindBrakiri}));
}

TEST_F(WorldTest, aFrameTakesItsTimeFromTheClockAndWritesTheRateInTheCockpit) {
    frame(true, 20);
    EXPECT_EQ(world->frameTime, 0.02);
    EXPECT_EQ(bitmapText, "fps: 50.000000");
    frame(true, 0);
    EXPECT_EQ(world->frameTime, 0.0);
    EXPECT_TRUE(std::isinf(world->fps));
    EXPECT_EQ(bitmapText, "fps: 50.000000fps: inf");
    EXPECT_EQ(swaps, 2);
}

TEST_F(WorldTest, theSkyIsDrawnFirstOnlyWhenOnAndTheMatrixStackStaysBalanced) {
    const GLint depth = modelviewDepth();
    for (bool sky : {true, false}) {
        const Feedback drawn = feedback(GL_3D, [&] { frame(sky); });
        EXPECT_TRUE(drawn.polygons.empty() && drawn.lines.empty()) << "only markers are expected";
        std::vector<int> expected{kindGolevka, kindCastalia, kindKanone3d, kindClipper,
                                  kindGolevka, kindToutatis, kindBrakiri};
        expected.insert(expected.begin(), cockpitMarker);
        expected.insert(expected.begin(), sky ? 1 : 0, skyMarker);
        EXPECT_EQ(std::vector<int>(drawn.markers.begin(), drawn.markers.end()), expected);
        EXPECT_EQ(modelviewDepth(), depth);
    }
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
    EXPECT_EQ(swaps, 3);
    testing::internal::CaptureStdout();
    world->manageFire(false, true);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(frame().find('\v'), std::string::npos);
    EXPECT_FALSE(world->empty);
    EXPECT_EQ(world->root.type, vertexPassThrough);
    EXPECT_EQ(world->root.first->object.model.kind, kindLaser);
    world.reset();
    EXPECT_EQ(GraphVertex::existing(), before);
}

// A branch that loses one subtree passes through to the other; one whose subtrees both die is
// unlinked by the nearest branch above, or stays linked at the top of a tree; pass-throughs
// below the top are taken out, so chains do not grow with dead shots. Copies share subtrees.
TEST(GraphVertexAct, deadSubtreesLeaveTheTreeAndNothingIsReleasedTwice) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    auto links = [](const GraphVertex& v) { return std::vector<GraphVertex*>{v.first, v.second}; };
    using Links = std::vector<GraphVertex*>;
    {
        GraphVertex* survivor = castaliaNode(nullptr);
        GraphVertex* formerSecond = castaliaNode(nullptr);
        GraphVertex secondDies(survivor, deadNode()), firstDies(deadNode(), formerSecond);
        EXPECT_TRUE(actOn(secondDies, infos) && actOn(firstDies, infos));
        EXPECT_TRUE(secondDies.type == vertexPassThrough && firstDies.type == vertexPassThrough);
        EXPECT_EQ(links(secondDies), (Links{survivor, nullptr}));
        EXPECT_EQ(links(firstDies), (Links{formerSecond, nullptr}));
        EXPECT_EQ(GraphVertex::existing(), before + 4) << "the two dead nodes are released";
        EXPECT_TRUE(actOn(firstDies, infos)) << "a pass-through reports what it passes to";

        GraphVertex* keeper = castaliaNode(nullptr);
        GraphVertex top(new GraphVertex(deadNode(), deadNode()), keeper);
        EXPECT_TRUE(actOn(top, infos));
        EXPECT_EQ(top.type, vertexPassThrough);
        EXPECT_EQ(links(top), (Links{keeper, nullptr}));
        EXPECT_EQ(GraphVertex::existing(), before + 6) << "the dead branch left with its subtrees";
        GraphVertex* a = deadNode();
        GraphVertex* b = deadNode();
        GraphVertex deadTop(a, b);
        EXPECT_FALSE(actOn(deadTop, infos));
        EXPECT_EQ(links(deadTop), (Links{a, b}));
    }
    EXPECT_EQ(GraphVertex::existing(), before);
    {
        // The shape the world makes: old content at the bottom of a first-leaning chain and
        // one shot per level, here all shots already dead.
        GraphVertex* oldest = castaliaNode(nullptr);
        GraphVertex* chain = new GraphVertex(new GraphVertex(oldest, deadNode()), deadNode());
        GraphVertex* newest = castaliaNode(nullptr);
        GraphVertex top(chain, newest);
        GraphVertex copy(top);
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

// An object lives by its entity, a composed one also by its subtree, which is not visited
// once the object is dead; a transform reports its subtree.
TEST(GraphVertexAct, anObjectLivesByItsEntityAndAComposedOneAlsoByItsSubtree) {
    CollisionInfos infos;
    testing::internal::CaptureStdout();
    const int index = infos.addModel();
    markHit(infos, index, kindRocket3d); // its next update would take its last two life
    GraphVertex deadCarrier(Model(), new GraphVertex(Model(Golevka(), nullptr, index), {}), {});
    testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(actOn(deadCarrier, infos));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the child would say its death";

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

TEST_F(GlTest, renderDrawsDepthFirstAndPlacesEachSubtreeInItsParentsFrame) {
    Geometries lists;
    compileMarkerLists(lists);
    CollisionInfos infos;
    GraphVertex* group = new GraphVertex(
        Model(AsteroidWithKanone(), -1),
        new GraphVertex(castaliaNode(&lists),
                        new GraphVertex(Model(Kanone3d(), &lists), GraphVertexTransform())),
        GraphVertexTransform());
    GraphVertex* left = new GraphVertex(new GraphVertex(Model(Toutatis(), &lists, -1),
                                                        GraphVertexTransform()),
                                        group);
    GraphVertex top(left, new GraphVertex(new GraphVertex(Model(Brakiri(), &lists, -1),
                                                          GraphVertexTransform()),
                                          placedAt(0, 0, -3)));
    GraphVertex passThrough(castaliaNode(&lists), deadNode());
    ASSERT_TRUE(actOn(passThrough, infos));
    const GLint depth = modelviewDepth();
    EXPECT_EQ(drawnKinds(top, infos),
              (std::vector<int>{kindToutatis, kindCastalia, kindKanone3d, kindBrakiri}));
    EXPECT_EQ(drawnKinds(passThrough, infos), std::vector<int>{kindCastalia});
    EXPECT_EQ(modelviewDepth(), depth);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Placements scale by 1.1 by default, and a child's offset is scaled with its parent's frame.
    testing::internal::CaptureStdout();
    const int inner = infos.addModel(), outer = infos.addModel();
    testing::internal::GetCapturedStdout();
    GraphVertex* child = new GraphVertex(Model(Golevka(), nullptr, inner), placedAt(0, 1, 0));
    top = GraphVertex(new GraphVertex(Model(AsteroidWithKanone(), outer), child, placedAt(3, 0, 0)),
                      placedAt(0, 0, -5));
    glLoadIdentity();
    top.render(infos);
    const CollisionInfo carried = infos.getInfoIndex(outer), inside = infos.getInfoIndex(inner);
    EXPECT_TRUE(carried.calculated && carried.type == kindAsteroidWithKanone);
    EXPECT_TRUE(inside.calculated && inside.type == kindGolevka);
    for (const auto& got : {std::make_pair(carried, 0.0f), std::make_pair(inside, 1.1f * 1.1f)}) {
        EXPECT_NEAR(got.first.x, 3 * 1.1f, 1e-6f);
        EXPECT_NEAR(got.first.y, got.second, 1e-6f);
        EXPECT_NEAR(got.first.z, -5, 1e-6f);
    }
}

// Alive, entities drawn, change of the matrix stack, the oldest entity still alive once every
// shot died, and the nodes then left: the top, passing through to the oldest entity's node.
TEST_F(GlTest, aTreeOfTwentyThousandLivingShotsIsWalkedAndReleasedWithoutADeepStack) {
    Geometries lists;
    compileMarkerLists(lists);
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    std::vector<long> got;
    auto walk = [&] {
        GraphVertex top(Model(Castalia(), &lists), GraphVertexTransform());
        for (int shot = 0; shot < 20000; ++shot) { // as the world inserts: the old top goes first
            top = GraphVertex(new GraphVertex(top), castaliaNode(&lists));
        }
        got.push_back(actOn(top, infos));
        const GLint depth = modelviewDepth();
        got.push_back(long(drawnKinds(top, infos).size()));
        got.push_back(modelviewDepth() - depth);
        for (GraphVertex* level = &top; level->type == vertexBranch; level = level->first) {
            level->second->object.model.exist = false;
        }
        got.push_back(actOn(top, infos));
        got.push_back(GraphVertex::existing() - before);
    };
    onSmallStack(walk);
    EXPECT_EQ(got, (std::vector<long>{true, 20001, 0, true, 2}));
    EXPECT_EQ(GraphVertex::existing(), before);
}
