// The world: the test scene it builds, how it grows its tree, how it fires, and one frame from
// the clock reading to the buffer swap. The window system and the clock are replaced by
// recorders so that frames run in a headless OpenGL context.

#include "support/markerLists.h"
#include "support/glContext.h"

#include "app/windowSystem.h"
#include "assets/geometries.h"
#include "scene/frameClock.h"
#include "scene/scenegraph.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string inserted = "\n on a reussi a en faire un vertex ajout\xE9";

int swaps = 0;
std::string bitmapText;
std::int64_t ticks = 0;

void recordSwap() { ++swaps; }
void noRedisplay() {}
void recordCharacter(void*, int character) { bitmapText += char(character); }
std::int64_t fakeNow() { return ticks; }
std::int64_t fakeFrequency() { return 1000; }

constexpr GLfloat skyMarker = 100, cockpitMarker = 101;

class WorldTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        savedWindow = setWindowSystem({recordSwap, recordCharacter, noRedisplay});
        savedClock = setFrameClock({fakeNow, fakeFrequency});
        swaps = 0;
        bitmapText.clear();
        ticks = 0;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        world.reset();
        setFrameClock(savedClock);
        setWindowSystem(savedWindow);
        GlTest::TearDown();
    }

    // The world with its test scene; returns what initTest wrote.
    std::string buildTestScene() {
        world = std::make_unique<SceneGraph>();
        testing::internal::CaptureStdout();
        world->initTest();
        return testing::internal::GetCapturedStdout();
    }

    // Swaps the loaded meshes for lists that only mark the feedback buffer.
    void markLists() {
        Geometries& lists = *world->geometries;
        compileMarkerLists(lists);
        lists.skyboxList = markerList(skyMarker);
        lists.cockpitList = markerList(cockpitMarker);
    }

    static unsigned int markerList(GLfloat marker) {
        const unsigned int list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        glPassThrough(marker);
        glEndList();
        return list;
    }

    std::string frame(bool showSkybox = true, std::int64_t elapsed = 20) {
        ticks += elapsed;
        testing::internal::CaptureStdout();
        world->render(showSkybox);
        return testing::internal::GetCapturedStdout();
    }

    std::vector<int> frameMarkers(bool showSkybox) {
        const Feedback drawn = feedback(GL_3D, [&] { frame(showSkybox); });
        EXPECT_TRUE(drawn.polygons.empty() && drawn.lines.empty()) << "only markers are expected";
        return std::vector<int>(drawn.markers.begin(), drawn.markers.end());
    }

    void markHit(int index, int partnerType) {
        ::markHit(world->collisionInfos, index, partnerType);
    }

    int kindAt(GraphVertex* node) const { return node->object.model.kind; }

    std::unique_ptr<SceneGraph> world;
    WindowSystem savedWindow{};
    FrameClock savedClock{};
};

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

// Everything initTest writes after the asset registry's own two lines.
std::string afterAssetLines(const std::string& said) {
    const std::string end = "  ******* \n";
    const std::size_t at = said.find(end);
    return at == std::string::npos ? said : said.substr(at + end.size());
}

} // namespace

TEST_F(WorldTest, theTestSceneTakesSixRecordsInOrderAndSaysEachInsertion) {
    const std::string said = buildTestScene();
    EXPECT_EQ(said.rfind("\n une geometrie est initialisee", 0), 0u) << said;
    EXPECT_EQ(afterAssetLines(said), "\n premier dispo: 1"
                                     "\n premier dispo: 2" + inserted +
                                         "\n premier dispo: 3" + inserted +
                                         "\n premier dispo: 4" + inserted +
                                         "\n premier dispo: 5" + inserted +
                                         "\n premier dispo: 6" + inserted);
    ASSERT_EQ(world->collisionInfos.infos.size(), 6u);
    EXPECT_TRUE(world->camera.getTransformation().getZ() == 20.0f);
}

TEST_F(WorldTest, entitiesAreAdvancedOldestFirstAndTheDeadLeaveTheTreeInThatWalk) {
    buildTestScene();
    markLists();
    for (int index = 1; index <= 6; ++index) {
        markHit(index, kindRocket3d);
    }
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

TEST_F(WorldTest, insertingIntoAWorldWithoutASceneKeepsTheEmptyRootAsTheFirstSubtree) {
    SceneGraph fresh;
    GraphVertex* node = castaliaNode(nullptr);
    testing::internal::CaptureStdout();
    fresh.addVertex(node);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), inserted);
    ASSERT_EQ(fresh.root.type, vertexBranch);
    EXPECT_EQ(fresh.root.first->type, vertexEmpty);
    EXPECT_EQ(fresh.root.second, node);
}

TEST_F(WorldTest, onlyFollowingAsteroidKindsTakeACollisionRecord) {
    SceneGraph fresh;
    testing::internal::CaptureStdout();
    std::vector<std::unique_ptr<GraphVertex>> made;
    for (int kind : {3, 0, 7}) {
        made.emplace_back(fresh.addAsteroid3d(kind, true, 1, 2, 3, 0, 0, 0));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(fresh.collisionInfos.infos.empty());
    EXPECT_EQ(made[0]->object.model.kind, kindCastalia);
    EXPECT_EQ(made[1]->object.model.kind, kindNone);
    testing::internal::CaptureStdout();
    made.emplace_back(fresh.addAsteroid3d(1, true, 1, 2, 3, 0, 0, 0));
    made.emplace_back(fresh.addAsteroid3d(2, false, 1, 2, 3, 0, 0, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n premier dispo: 1\n premier dispo: 2");
    EXPECT_EQ(made[3]->object.model.kind, kindToutatis);
    EXPECT_TRUE(made[3]->object.model.toutatis.followCockpit);
    EXPECT_EQ(made[4]->object.model.kind, kindGolevka);
    EXPECT_EQ(made[4]->object.model.collisionIndex, 2);
}

TEST_F(WorldTest, shotsLeaveFromUnderAndAheadOfTheCockpitTheRocketFirst) {
    buildTestScene();
    frame(); // places the cockpit at (0, 3.2, 15.5)
    testing::internal::CaptureStdout();
    world->manageFire(true, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n premier dispo: 7" + inserted + "\n premier dispo: 8" + inserted);
    GraphVertex* laser = world->root.second;
    GraphVertex* rocket = world->root.first->second;
    ASSERT_EQ(kindAt(laser), kindLaser);
    ASSERT_EQ(kindAt(rocket), kindRocket3d);
    const float cockpitY = 3.0f + 0.2f;
    const GraphVertexTransform rocketLaunch = rocket->object.model.rocket3d.launchTransformation;
    EXPECT_EQ(rocketLaunch.getX(), 0.0f);
    EXPECT_EQ(rocketLaunch.getY(), cockpitY + -3.0f);
    EXPECT_EQ(rocketLaunch.getZ(), 15.5f + -3.5f);
    const GraphVertexTransform laserLaunch = laser->object.model.laser.launchTransformation;
    EXPECT_EQ(laserLaunch.getY(), cockpitY + -3.0f);
    EXPECT_EQ(laserLaunch.getZ(), 15.5f + -5.0f);
    EXPECT_EQ(laser->object.getTransformation().getZ(), 0.0f) << "placed at the first update";

    frame();
    const CollisionInfo rocketRecord = world->collisionInfos.getInfoIndex(7);
    EXPECT_TRUE(rocketRecord.calculated);
    EXPECT_EQ(rocketRecord.type, kindRocket3d);
    EXPECT_EQ(rocketRecord.y, (cockpitY + -3.0f) + -3.0f);
    EXPECT_EQ(rocketRecord.z, 12.0f + -20.0f);
    EXPECT_EQ(world->collisionInfos.getInfoIndex(8).z, 10.5f + -20.0f);
}

TEST_F(WorldTest, aFrameTakesItsTimeFromTheClockAndWritesTheRateInTheCockpit) {
    buildTestScene();
    frame(true, 20);
    EXPECT_EQ(world->frameTime, 0.02);
    EXPECT_EQ(bitmapText, "fps: 50.000000");
    EXPECT_EQ(swaps, 1);
    bitmapText.clear();
    frame(true, 0);
    EXPECT_EQ(world->frameTime, 0.0);
    EXPECT_TRUE(std::isinf(world->fps));
    EXPECT_EQ(bitmapText, "fps: inf");
    EXPECT_EQ(swaps, 2);
}

TEST_F(WorldTest, theSkyIsDrawnFirstOnlyWhenOnAndTheMatrixStackStaysBalanced) {
    buildTestScene();
    markLists();
    const GLint depth = modelviewDepth();
    const std::vector<int> entities{kindGolevka, kindCastalia, kindKanone3d, kindClipper,
                                    kindGolevka, kindToutatis, kindBrakiri};
    std::vector<int> withSky{int(skyMarker), int(cockpitMarker)};
    withSky.insert(withSky.end(), entities.begin(), entities.end());
    EXPECT_EQ(frameMarkers(true), withSky);
    EXPECT_EQ(modelviewDepth(), depth);
    std::vector<int> withoutSky{int(cockpitMarker)};
    withoutSky.insert(withoutSky.end(), entities.begin(), entities.end());
    EXPECT_EQ(frameMarkers(false), withoutSky);
    EXPECT_EQ(modelviewDepth(), depth);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WorldTest, aWorldWithNothingAliveSaysSoEachFrameUntilAShotBringsItBack) {
    buildTestScene();
    for (int index = 1; index <= 6; ++index) {
        markHit(index, kindRocket3d);
    }
    frame();
    for (int index : {2, 3, 6}) {
        markHit(index, kindRocket3d);
    }
    frame();
    const std::string emptyFrame = frame();
    EXPECT_TRUE(world->empty);
    EXPECT_EQ(emptyFrame.rfind("\vide\n on print", 0), 0u) << emptyFrame;
    EXPECT_EQ(swaps, 3);

    testing::internal::CaptureStdout();
    world->manageFire(false, true);
    testing::internal::GetCapturedStdout();
    const std::string revived = frame();
    EXPECT_FALSE(world->empty);
    EXPECT_EQ(revived.find('\v'), std::string::npos);
    EXPECT_EQ(world->root.type, vertexPassThrough);
    EXPECT_EQ(kindAt(world->root.first), kindLaser);
}

TEST_F(WorldTest, theWorldReleasesEveryNodeItMade) {
    const long before = GraphVertex::existing();
    buildTestScene();
    for (int shot = 0; shot < 5; ++shot) {
        testing::internal::CaptureStdout();
        world->manageFire(true, shot % 2 == 0);
        testing::internal::GetCapturedStdout();
        frame();
    }
    EXPECT_GT(GraphVertex::existing(), before + 10);
    world.reset();
    EXPECT_EQ(GraphVertex::existing(), before);
}
