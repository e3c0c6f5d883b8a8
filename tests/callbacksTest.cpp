// The shell's rules, through the real GLUT callbacks and the real world `scene`: what a key
// event sets, how long it lasts, what a frame does with it, and what the mouse and the idle
// callback do. The buffer swap, the redisplay request and the frame clock are replaced by
// recorders, and the world is initialised once per process in one OpenGL context that lives
// as long as it does (its display lists belong to that context).

#include "support/glContext.h"

#include "app/main.h"
#include "app/windowSystem.h"
#include "scene/frameClock.h"
#include "scene/scenegraph.h"

#include <GL/freeglut_std.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace {

int swaps = 0;
int redisplays = 0;
std::int64_t ticks = 0;

void recordSwap() {
    ++swaps;
}
void ignoreCharacter(void*, int) {}
void recordRedisplay() {
    ++redisplays;
}
std::int64_t fakeNow() {
    return ticks;
}
std::int64_t fakeFrequency() {
    return 1000;
}

// The OpenGL state right after initialisation, before any frame could change it.
struct FixedState {
    std::array<GLfloat, 4> clearColour{};
    GLfloat clearDepth = 0;
    GLint depthFunction = 0, shadeModel = 0, matrixMode = 0;
    bool depthTest = false, texture2d = false, lighting = false;
    std::array<GLfloat, 16> projection{};
};

FixedState readFixedState() {
    FixedState s;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clearColour.data());
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &s.clearDepth);
    glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunction);
    glGetIntegerv(GL_SHADE_MODEL, &s.shadeModel);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.texture2d = glIsEnabled(GL_TEXTURE_2D);
    s.lighting = glIsEnabled(GL_LIGHTING);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection.data());
    return s;
}

// Everything the input callbacks may touch, and the camera the keys reach.
struct Snapshot {
    bool flags[10];
    int mouse[4];
    float camera[7];
};

Snapshot snapshot() {
    const GraphVertexTransform& t = scene.camera.transformation;
    return {{push_up, push_down, push_left, push_right, push_page_up, push_page_down, showSkybox,
             rocket_fired, laser_fired, firstTime},
            {oldX, oldY, dx, dy},
            {t.getX(), t.getY(), t.getZ(), t.getAlphaX(), t.getAlphaY(), t.getAlphaZ(),
             scene.camera.speed}};
}

void expectSame(const Snapshot& a, const Snapshot& b) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(a.flags[i], b.flags[i]) << "flag " << i;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.mouse[i], b.mouse[i]) << "mouse value " << i;
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(a.camera[i], b.camera[i]) << "camera value " << i;
    }
}

void press(int key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        GestionSpecial(key, 320, 240);
    }
}

class FrameCycle : public ::testing::Test {
  protected:
    static GlContext& context() {
        static GlContext* shared = new GlContext(); // kept for the process, like the world
        return *shared;
    }

    void SetUp() override {
        ASSERT_TRUE(context().ok()) << context().error();
        ASSERT_TRUE(context().makeCurrent());
        savedWindow = setWindowSystem({recordSwap, ignoreCharacter, recordRedisplay});
        savedClock = setFrameClock({fakeNow, fakeFrequency});
        if (!started) {
            testing::internal::CaptureStdout();
            initialisation();
            startupOutput = testing::internal::GetCapturedStdout();
            fixedState = readFixedState();
            started = true;
        }
        clearInput();
        scene.camera = Camera();
        frameAfter(0.25); // the next move turns by what a quarter second allows
        swaps = 0;
        redisplays = 0;
    }

    void TearDown() override {
        clearInput();
        setFrameClock(savedClock);
        setWindowSystem(savedWindow);
    }

    static void clearInput() {
        push_up = push_down = push_left = push_right = false;
        push_page_up = push_page_down = rocket_fired = laser_fired = false;
        showSkybox = true;
        firstTime = true;
        oldX = oldY = dx = dy = 0;
    }

    // One display callback, `seconds` after the previous one; returns its console lines.
    static std::string frameAfter(double seconds) {
        ticks += std::llround(seconds * fakeFrequency());
        testing::internal::CaptureStdout();
        display();
        return testing::internal::GetCapturedStdout();
    }

    static inline bool started = false;
    static inline std::string startupOutput;
    static inline FixedState fixedState;
    WindowSystem savedWindow{};
    FrameClock savedClock{};
};

TEST_F(FrameCycle, initialisationSetsTheFixedStateAndThenSaysTheSceneIsReady) {
    const std::string ready = "on a reussi a init la scene";
    ASSERT_GE(startupOutput.size(), ready.size());
    EXPECT_EQ(startupOutput.substr(startupOutput.size() - ready.size()), ready);
    const FixedState& s = fixedState;
    EXPECT_EQ(s.clearColour, (std::array<GLfloat, 4>{0, 0, 0, 0}));
    EXPECT_EQ(s.clearDepth, 1.0f);
    EXPECT_EQ(s.depthFunction, GL_LESS);
    EXPECT_EQ(s.shadeModel, GL_SMOOTH);
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    EXPECT_TRUE(s.depthTest);
    EXPECT_TRUE(s.texture2d);
    EXPECT_TRUE(s.lighting);
    // A 45 degree perspective on a 640 by 480 window, near 0.1 and far 200.
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double aspect = 640.0f / 480.0f, zNear = 0.1f, zFar = 200.0;
    const double expected[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0,
                                 (zFar + zNear) / (zNear - zFar), -1, 0, 0,
                                 2 * zFar * zNear / (zNear - zFar), 0};
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(s.projection[i], expected[i], 1e-6 * std::max(1.0, std::fabs(expected[i])))
            << "element " << i;
    }
}

TEST_F(FrameCycle, severalPressesOfOneArrowBetweenTwoFramesTurnTheCameraOnce) {
    struct Case {
        int key;
        float turnX, turnY;
    };
    for (const Case& c : {Case{GLUT_KEY_UP, 2, 0}, Case{GLUT_KEY_DOWN, -2, 0},
                          Case{GLUT_KEY_LEFT, 0, 2}, Case{GLUT_KEY_RIGHT, 0, -2}}) {
        SCOPED_TRACE(c.key);
        const float alphaX = scene.camera.transformation.getAlphaX();
        const float alphaY = scene.camera.transformation.getAlphaY();
        press(c.key, 3);
        frameAfter(0.25);
        EXPECT_EQ(scene.camera.transformation.getAlphaX(), alphaX + c.turnX);
        EXPECT_EQ(scene.camera.transformation.getAlphaY(), alphaY + c.turnY);
        // The flag lived for that frame only.
        frameAfter(0.25);
        EXPECT_EQ(scene.camera.transformation.getAlphaX(), alphaX + c.turnX);
        EXPECT_EQ(scene.camera.transformation.getAlphaY(), alphaY + c.turnY);
    }
}

TEST_F(FrameCycle, pageKeysChangeTheSpeedOncePerFrameTheirWayRound) {
    press(GLUT_KEY_PAGE_UP, 4);
    frameAfter(0.25);
    EXPECT_EQ(scene.camera.speed, -0.15f) << "Page Up speeds the camera forward, once";
    frameAfter(0.25);
    EXPECT_EQ(scene.camera.speed, -0.15f);
    press(GLUT_KEY_PAGE_DOWN, 2);
    frameAfter(0.25);
    EXPECT_EQ(scene.camera.speed, -0x1.99999ap-28f);

    // Both in one frame from rest: the double 0.15 goes on first, then the float comes off.
    scene.camera = Camera();
    press(GLUT_KEY_PAGE_UP);
    press(GLUT_KEY_PAGE_DOWN);
    frameAfter(0.25);
    EXPECT_EQ(scene.camera.speed, 0.0f);
}

TEST_F(FrameCycle, fireKeysSetTheirFlagForExactlyOneFrame) {
    press(GLUT_KEY_F2, 3);
    EXPECT_TRUE(rocket_fired);
    EXPECT_FALSE(laser_fired);
    frameAfter(0.25);
    EXPECT_FALSE(rocket_fired);

    press(GLUT_KEY_F3);
    EXPECT_TRUE(laser_fired);
    EXPECT_FALSE(rocket_fired);
    frameAfter(0.25);
    EXPECT_FALSE(laser_fired);

    press(GLUT_KEY_F2);
    press(GLUT_KEY_F3);
    EXPECT_TRUE(rocket_fired && laser_fired);
    frameAfter(0.25);
    EXPECT_FALSE(rocket_fired || laser_fired);
    frameAfter(0.25);
    EXPECT_FALSE(rocket_fired || laser_fired);
}

TEST_F(FrameCycle, theSkySwitchFlipsOnEachF4AndOutlivesFrames) {
    ASSERT_TRUE(showSkybox);
    press(GLUT_KEY_F4, 2);
    frameAfter(0.25);
    EXPECT_TRUE(showSkybox) << "two F4 events between frames leave the sky as it was";
    press(GLUT_KEY_F4);
    frameAfter(0.25);
    EXPECT_FALSE(showSkybox);
    frameAfter(0.25);
    EXPECT_FALSE(showSkybox) << "frames do not reset the sky switch";
    press(GLUT_KEY_F4, 3);
    EXPECT_TRUE(showSkybox);
}

TEST_F(FrameCycle, anyOtherKeyChangesNothing) {
    const Snapshot before = snapshot();
    for (int key : {GLUT_KEY_F1, GLUT_KEY_F5, GLUT_KEY_F12, GLUT_KEY_HOME, GLUT_KEY_END,
                    GLUT_KEY_INSERT, 0x6D, 0x75, 0, -1, 13, 27, int('a'), 255,
                    std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        press(key);
    }
    expectSame(snapshot(), before);
    const int swapsBefore = swaps;
    frameAfter(0.25);
    expectSame(snapshot(), before);
    EXPECT_EQ(swaps, swapsBefore + 1);
}

TEST_F(FrameCycle, mouseMotionMeasuresFromTheLastPositionAndTheFirstFromTheCorner) {
    mouseMotion(30, 40);
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, 40);
    mouseMotion(25, 50);
    EXPECT_EQ(dx, -5);
    EXPECT_EQ(dy, 10);
    EXPECT_EQ(oldX, 25);
    EXPECT_EQ(oldY, 50);
}

TEST_F(FrameCycle, idleOnlyAsksForTheNextFrameAndForgetsTheMouseDeltas) {
    mouseMotion(10, 20);
    Idle();
    EXPECT_EQ(redisplays, 1);
    EXPECT_EQ(swaps, 0) << "idle draws nothing itself";
    EXPECT_FALSE(firstTime);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(oldX, 10) << "the last position is kept";
    mouseMotion(12, 20);
    EXPECT_EQ(dx, 2);
    Idle();
    Idle();
    EXPECT_EQ(redisplays, 3);
    EXPECT_EQ(dx, 0);
}

// The move of a frame uses the time of the frame before it.
TEST_F(FrameCycle, theCameraTurnsByTheDurationOfThePreviousFrame) {
    frameAfter(0.5);
    const float alphaY = scene.camera.transformation.getAlphaY();
    press(GLUT_KEY_LEFT);
    frameAfter(0.125);
    EXPECT_EQ(scene.camera.transformation.getAlphaY(), alphaY + 4);
}

// A shot fired for a frame is spawned before that frame draws: its record is already in the
// frame's registry dump, the number taken before the dump begins.
TEST_F(FrameCycle, aShotIsSpawnedBeforeTheFrameThatFiresItIsDrawn) {
    press(GLUT_KEY_F2);
    const std::string lines = frameAfter(0.25);
    const std::string taken = "\n premier dispo: ";
    const std::size_t at = lines.find(taken);
    const std::size_t dump = lines.find("\n on print");
    ASSERT_NE(at, std::string::npos) << lines;
    ASSERT_NE(dump, std::string::npos);
    EXPECT_LT(at, dump);
    const int index = std::stoi(lines.substr(at + taken.size()));
    EXPECT_NE(lines.find("\nind: " + std::to_string(index) + " x: ", dump),
              std::string::npos)
        << "the new rocket is in the dump of the frame that fired it";
}

// The light is placed before the view, so it keeps its place relative to the eye however the
// player turns; placed after, it would turn with the world.
TEST_F(FrameCycle, theLightStaysFixedToTheEyeAsTheViewTurns) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_UP}) {
        press(key);
        frameAfter(0.25);
        GLfloat position[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);
        EXPECT_EQ(position[0], -1.0f);
        EXPECT_EQ(position[1], 1.0f);
        EXPECT_EQ(position[2], 1.0f);
        EXPECT_EQ(position[3], 0.0f);
    }
}

} // namespace
