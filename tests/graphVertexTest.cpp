// The scene tree's rules: what each kind of node advances and draws, how dead subtrees leave
// the tree, and that a tree as deep as a long session makes it is walked without a deep stack.

#include "support/markerLists.h"
#include "support/glContext.h"

#include "scene/scenegraph.h"
#include "view/cockpit.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <iostream>
#include <string>

namespace {

// A Golevka whose record carries a rocket hit from the last test pass: its next update
// takes its last two life and erases it.
GraphVertex* golevkaHitByRocket(CollisionInfos& infos, Geometries* lists, float x = 0) {
    const int index = infos.addModel();
    markHit(infos, index, kindRocket3d);
    return new GraphVertex(Model(Golevka(false), lists, index), placedAt(x, 0, 0));
}

bool actOn(GraphVertex& top, CollisionInfos& infos) { return top.act(0.02, Cockpit(), infos); }

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

} // namespace

TEST(GraphVertexAct, aBranchThatLosesOneSubtreeBecomesAPassThroughToTheOther) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    {
        GraphVertex* survivor = castaliaNode(nullptr);
        GraphVertex secondDies(survivor, deadNode());
        EXPECT_TRUE(actOn(secondDies, infos));
        EXPECT_EQ(secondDies.type, vertexPassThrough);
        EXPECT_EQ(secondDies.first, survivor);
        EXPECT_EQ(secondDies.second, nullptr);

        GraphVertex* formerSecond = castaliaNode(nullptr);
        GraphVertex firstDies(deadNode(), formerSecond);
        EXPECT_TRUE(actOn(firstDies, infos));
        EXPECT_EQ(firstDies.type, vertexPassThrough);
        EXPECT_EQ(firstDies.first, formerSecond) << "the former second moves into first";
        EXPECT_EQ(firstDies.second, nullptr);

        EXPECT_EQ(GraphVertex::existing(), before + 4) << "the two dead nodes are released";
        EXPECT_TRUE(actOn(firstDies, infos)) << "a pass-through reports what it passes to";
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

TEST(GraphVertexAct, aBranchWhoseSubtreesBothDieIsUnlinkedByTheNearestBranchAbove) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    {
        GraphVertex* bothDie = new GraphVertex(deadNode(), deadNode());
        GraphVertex* keeper = castaliaNode(nullptr);
        GraphVertex top(bothDie, keeper);
        EXPECT_TRUE(actOn(top, infos));
        EXPECT_EQ(top.type, vertexPassThrough);
        EXPECT_EQ(top.first, keeper);
        EXPECT_EQ(GraphVertex::existing(), before + 2) << "the dead branch left with its subtrees";

        // At the top of a tree no branch lies above: the dead subtree stays linked.
        GraphVertex* a = deadNode();
        GraphVertex* b = deadNode();
        GraphVertex deadTop(a, b);
        EXPECT_FALSE(actOn(deadTop, infos));
        EXPECT_EQ(deadTop.type, vertexBranch);
        EXPECT_EQ(deadTop.first, a);
        EXPECT_EQ(deadTop.second, b);
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

TEST(GraphVertexAct, anObjectLivesByItsEntityAndAComposedOneAlsoByItsSubtree) {
    CollisionInfos infos;
    testing::internal::CaptureStdout();
    // The child would lose its last life and say so if it were visited.
    GraphVertex* unvisited = golevkaHitByRocket(infos, nullptr);
    GraphVertex deadCarrier(Model(), unvisited, GraphVertexTransform());
    const std::string allocation = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(actOn(deadCarrier, infos));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a dead object's subtree is not visited";

    GraphVertex livingCarrierOfTheDead(Model(AsteroidWithKanone(), -1), deadNode(),
                                       GraphVertexTransform());
    EXPECT_FALSE(actOn(livingCarrierOfTheDead, infos))
        << "a composed object whose subtree is dead reports dead though its entity lives";
    EXPECT_TRUE(livingCarrierOfTheDead.object.getExist());

    GraphVertex livingCarrier(Model(AsteroidWithKanone(), -1), castaliaNode(nullptr),
                              GraphVertexTransform());
    EXPECT_TRUE(actOn(livingCarrier, infos));

    GraphVertex plain(Model(Castalia(), nullptr), GraphVertexTransform());
    EXPECT_TRUE(actOn(plain, infos));
    GraphVertex transform(castaliaNode(nullptr), placedAt(1, 0, 0));
    EXPECT_TRUE(actOn(transform, infos)) << "a transform reports its subtree";
}

TEST(GraphVertexAct, anEntityKilledInThisWalkLeavesTheTreeInTheSameWalk) {
    CollisionInfos infos;
    testing::internal::CaptureStdout();
    GraphVertex* target = golevkaHitByRocket(infos, nullptr);
    GraphVertex* keeper = castaliaNode(nullptr);
    GraphVertex top(target, keeper);
    testing::internal::GetCapturedStdout();
    const long withTarget = GraphVertex::existing();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(actOn(top, infos));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("\n life: 0\non set un existe a false"), std::string::npos) << said;
    EXPECT_EQ(top.first, keeper);
    EXPECT_EQ(GraphVertex::existing(), withTarget - 1);
}

TEST(GraphVertexAct, passThroughsBelowTheTopAreTakenOutSoChainsDoNotGrowWithDeadShots) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    {
        // The shape the world makes: old content at the bottom of a first-leaning chain and
        // one shot per level, here all shots already dead.
        GraphVertex* oldest = castaliaNode(nullptr);
        GraphVertex* chain = new GraphVertex(oldest, deadNode());
        chain = new GraphVertex(chain, deadNode());
        GraphVertex* newest = castaliaNode(nullptr);
        GraphVertex top(chain, newest);
        EXPECT_TRUE(actOn(top, infos));
        EXPECT_EQ(top.type, vertexBranch);
        EXPECT_EQ(top.first, oldest) << "both pass-throughs were taken out";
        EXPECT_EQ(top.second, newest);
        EXPECT_EQ(GraphVertex::existing(), before + 3) << "the top and its two entities";
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

TEST(GraphVertexCopy, aCopySharesItsSubtreesAndNothingIsReleasedTwice) {
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    {
        GraphVertex* kept = castaliaNode(nullptr);
        GraphVertex* lower = new GraphVertex(kept, deadNode());
        GraphVertex source(lower, castaliaNode(nullptr));
        GraphVertex copy(source);
        EXPECT_EQ(copy.type, vertexBranch);
        EXPECT_EQ(copy.first, source.first);
        EXPECT_EQ(copy.second, source.second);

        EXPECT_TRUE(actOn(copy, infos));
        // The change below is seen through the source, which still holds the pass-through
        // that the copy's own link went around.
        EXPECT_EQ(source.first, lower);
        EXPECT_EQ(lower->type, vertexPassThrough);
        EXPECT_EQ(lower->first, kept);
        EXPECT_EQ(copy.first, kept);
        EXPECT_TRUE(actOn(source, infos));
        EXPECT_EQ(source.first, kept);

        GraphVertex assigned;
        assigned = source;
        assigned = assigned;
        EXPECT_EQ(assigned.first, kept);
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

TEST_F(GlTest, renderDrawsDepthFirstFirstBeforeSecondAndComposedSubtreesAfterTheirObject) {
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
    const GLint depth = modelviewDepth();
    EXPECT_EQ(drawnKinds(top, infos),
              (std::vector<int>{kindToutatis, kindCastalia, kindKanone3d, kindBrakiri}));
    EXPECT_EQ(modelviewDepth(), depth);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    GraphVertex empty;
    EXPECT_TRUE(drawnKinds(empty, infos).empty());
    GraphVertex passThrough(castaliaNode(&lists), deadNode());
    ASSERT_TRUE(actOn(passThrough, infos));
    ASSERT_EQ(passThrough.type, vertexPassThrough);
    EXPECT_EQ(drawnKinds(passThrough, infos), std::vector<int>{kindCastalia});
    EXPECT_EQ(modelviewDepth(), depth);
}

TEST_F(GlTest, nestedNodesPlaceTheirSubtreesInTheirOwnFrames) {
    CollisionInfos infos;
    testing::internal::CaptureStdout();
    const int inner = infos.addModel();
    const int outer = infos.addModel();
    testing::internal::GetCapturedStdout();
    // Placements scale by 1.1 by default, and a child's offset is scaled with its parent's frame.
    GraphVertex* child =
        new GraphVertex(Model(Golevka(false), nullptr, inner), placedAt(0, 1, 0));
    GraphVertex* carrier =
        new GraphVertex(Model(AsteroidWithKanone(), outer), child, placedAt(3, 0, 0));
    GraphVertex top(carrier, placedAt(0, 0, -5));
    glLoadIdentity();
    top.render(infos);
    const CollisionInfo carried = infos.getInfoIndex(outer);
    EXPECT_TRUE(carried.calculated);
    EXPECT_FLOAT_EQ(carried.x, 3 * 1.1f);
    EXPECT_FLOAT_EQ(carried.y, 0);
    EXPECT_FLOAT_EQ(carried.z, -5);
    EXPECT_EQ(carried.type, kindAsteroidWithKanone);
    const CollisionInfo inside = infos.getInfoIndex(inner);
    EXPECT_FLOAT_EQ(inside.x, 3 * 1.1f);
    EXPECT_FLOAT_EQ(inside.y, 1.1f * 1.1f);
    EXPECT_FLOAT_EQ(inside.z, -5);
    EXPECT_EQ(inside.type, kindGolevka);
}

namespace {

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

// Discards what the game writes to its console while it lives.
struct SilencedConsole {
    std::streambuf* kept = std::cout.rdbuf(nullptr);
    ~SilencedConsole() {
        std::cout.rdbuf(kept);
        std::cout.clear();
    }
};

// Grows `top` the way the world inserts a node: the old top becomes the first subtree.
void insertAtTop(GraphVertex& top, GraphVertex* node) {
    GraphVertex* previous = new GraphVertex(top);
    top = GraphVertex(previous, node);
}

} // namespace

TEST_F(GlTest, aMillionShotsThatDieLeaveTheTreeAsSmallAsBefore) {
    Geometries lists;
    compileMarkerLists(lists);
    const long before = GraphVertex::existing();
    {
        SceneGraph world;
        world.root = GraphVertex(Model(Castalia(), &lists), GraphVertexTransform());
        const SilencedConsole quiet; // a million insertion lines are not what this is about
        world.addVertex(castaliaNode(&lists));
        const long settled = GraphVertex::existing();
        const Model spent; // a shot that is gone by the next walk
        for (int shot = 1; shot <= 1000000; ++shot) {
            world.addVertex(new GraphVertex(spent, GraphVertexTransform()));
            if (shot % 1000 == 0) {
                ASSERT_TRUE(actOn(world.root, world.collisionInfos));
                ASSERT_LE(GraphVertex::existing(), settled + 2) << "after shot " << shot;
            }
        }
        EXPECT_EQ(drawnKinds(world.root, world.collisionInfos),
                  (std::vector<int>{kindCastalia, kindCastalia}));
    }
    EXPECT_EQ(GraphVertex::existing(), before);
}

TEST_F(GlTest, aTreeOfTwentyThousandLivingShotsIsWalkedAndReleasedWithoutADeepStack) {
    Geometries lists;
    compileMarkerLists(lists);
    CollisionInfos infos;
    const long before = GraphVertex::existing();
    constexpr int shots = 20000;
    bool alive = false, oldestAlive = false;
    std::size_t drawn = 0;
    long leftAfterShotsDied = -1;
    GLint depthBefore = 0, depthAfter = -1;
    auto walk = [&] {
        GraphVertex top(Model(Castalia(), &lists), GraphVertexTransform());
        for (int shot = 0; shot < shots; ++shot) {
            insertAtTop(top, castaliaNode(&lists));
        }
        alive = actOn(top, infos);
        depthBefore = modelviewDepth();
        drawn = drawnKinds(top, infos).size();
        depthAfter = modelviewDepth();
        for (GraphVertex* level = &top; level->type == vertexBranch; level = level->first) {
            level->second->object.model.exist = false;
        }
        oldestAlive = actOn(top, infos);
        leftAfterShotsDied = GraphVertex::existing() - before;
    };
    onSmallStack(walk);
    EXPECT_TRUE(alive);
    EXPECT_EQ(drawn, std::size_t(shots + 1));
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_TRUE(oldestAlive) << "the oldest entity, below every shot, still lives";
    EXPECT_EQ(leftAfterShotsDied, 2) << "the top, passing through to the oldest entity's node";
    EXPECT_EQ(GraphVertex::existing(), before);
}
