// The shell's rules through the real GLUT callbacks and the real world `scene`, and the lights;
// the world is initialised once per process in a context that lives as long as it does.

#include "support/glContext.h"

#include "app/main.h"
#include "app/windowSystem.h"
#include "scene/frameClock.h"
#include "scene/scenegraph.h"
#include "view/lights.h"

#include <GL/freeglut_std.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace {

int swaps = 0, redisplays = 0;
std::int64_t ticks = 0;

void press(int key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        GestionSpecial(key, 320, 240);
    }
}

// Everything the input callbacks may touch, and the camera the keys reach.
auto inputState() {
    const GraphVertexTransform& t = scene.camera.transformation;
    return std::make_tuple(push_up, push_down, push_left, push_right, push_page_up, push_page_down,
                           showSkybox, rocket_fired, laser_fired, firstTime, oldX, oldY, dx, dy,
                           t.getX(), t.getY(), t.getZ(), t.getAlphaX(), t.getAlphaY(),
                           t.getAlphaZ(), scene.camera.speed);
}

using Values = std::array<float, 4>;

Values light(GLenum which, GLenum what) {
    Values v{};
    glGetLightfv(which, what, v.data());
    return v;
}

// The OpenGL state initialisation leaves: clear colour and depth, depth function, shading,
// matrix mode, the depth, texture and lighting switches, then the projection.
std::vector<float> fixedState() {
    std::vector<float> state(27);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, &state[0]);
    std::size_t at = 4;
    for (GLenum one : {GL_DEPTH_CLEAR_VALUE, GL_DEPTH_FUNC, GL_SHADE_MODEL, GL_MATRIX_MODE,
                       GL_DEPTH_TEST, GL_TEXTURE_2D, GL_LIGHTING}) {
        glGetFloatv(one, &state[at++]);
    }
    glGetFloatv(GL_PROJECTION_MATRIX, &state[11]);
    return state;
}

class FrameCycle : public ::testing::Test {
  protected:
    void SetUp() override {
        static GlContext* context = new GlContext(); // kept for the process, like the world
        ASSERT_TRUE(context->ok()) << context->error();
        ASSERT_TRUE(context->makeCurrent());
        savedWindow = setWindowSystem({[] { ++swaps; }, [](void*, int) {}, [] { ++redisplays; }});
        savedClock = setFrameClock({[] { return ticks; }, [] { return std::int64_t(1000); }});
        if (initialState.empty()) {
            testing::internal::CaptureStdout();
            initialisation();
            testing::internal::GetCapturedStdout();
            initialState = fixedState();
        }
        push_up = push_down = push_left = push_right = push_page_up = push_page_down = false;
        rocket_fired = laser_fired = false;
        showSkybox = firstTime = true;
        oldX = oldY = dx = dy = 0;
        scene.camera = Camera();
        frameAfter(0.25); // the next move turns by what a quarter second allows
        swaps = redisplays = 0;
    }

    void TearDown() override {
        setFrameClock(savedClock);
        setWindowSystem(savedWindow);
    }

    // One display callback, `seconds` after the previous one; returns its console lines.
    static std::string frameAfter(double seconds) {
        ticks += std::llround(seconds * 1000);
        testing::internal::CaptureStdout();
        display();
        return testing::internal::GetCapturedStdout();
    }

    static float turnY() { return scene.camera.transformation.getAlphaY(); }

    static inline std::vector<float> initialState;
    WindowSystem savedWindow{};
    FrameClock savedClock{};
};

// A 45 degree perspective on a 640 by 480 window, near 0.1 and far 200, as GLU makes it.
TEST_F(FrameCycle, initialisationSetsTheFixedState) {
    std::vector<float> expected = {0, 0, 0, 0, 1, GL_LESS, GL_SMOOTH, GL_MODELVIEW, 1, 1, 1};
    expected.resize(27);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 640.0f / 480.0f, 0.1f, 200);
    glGetFloatv(GL_PROJECTION_MATRIX, &expected[11]);
    glMatrixMode(GL_MODELVIEW);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(initialState[i], expected[i], 1e-6f * std::max(1.0f, std::fabs(expected[i])))
            << "value " << i;
    }
}

// Turns and speed steps, each once however often its key was pressed between two frames.
TEST_F(FrameCycle, severalPressesOfOneMoveKeyBetweenTwoFramesActOnce) {
    using Move = std::array<float, 3>;
    for (const auto& [key, x, y, speed] :
         {std::tuple(GLUT_KEY_UP, 2, 0, 0.0f), std::tuple(GLUT_KEY_DOWN, -2, 0, 0.0f),
          std::tuple(GLUT_KEY_LEFT, 0, 2, 0.0f), std::tuple(GLUT_KEY_RIGHT, 0, -2, 0.0f),
          std::tuple(GLUT_KEY_PAGE_UP, 0, 0, -0.15f),
          std::tuple(GLUT_KEY_PAGE_DOWN, 0, 0, 0.15f)}) {
        scene.camera = Camera();
        press(key, 3);
        frameAfter(0.25);
        frameAfter(0.25); // the flag lived for one frame only
        const GraphVertexTransform& t = scene.camera.transformation;
        EXPECT_EQ((Move{t.getAlphaX(), t.getAlphaY(), scene.camera.speed}),
                  (Move{float(x), float(y), speed}))
            << key;
    }
}

// Fire flags last one frame; the sky switch flips on each F4 and outlives frames.
TEST_F(FrameCycle, fireKeysLastOneFrameAndF4FlipsTheSky) {
    press(GLUT_KEY_F2, 3);
    EXPECT_TRUE(rocket_fired && !laser_fired);
    frameAfter(0.25);
    press(GLUT_KEY_F3);
    EXPECT_TRUE(!rocket_fired && laser_fired);
    press(GLUT_KEY_F2);
    frameAfter(0.25);
    EXPECT_FALSE(rocket_fired || laser_fired);
    press(GLUT_KEY_F4, 2);
    frameAfter(0.25);
    EXPECT_TRUE(showSkybox);
    press(GLUT_KEY_F4);
    frameAfter(0.25);
    frameAfter(0.25);
    EXPECT_FALSE(showSkybox);
}

TEST_F(FrameCycle, anyOtherKeyChangesNothing) {
    const auto before = inputState();
    for (int key : {GLUT_KEY_F1, GLUT_KEY_F5, GLUT_KEY_F12, GLUT_KEY_HOME, GLUT_KEY_END,
                    GLUT_KEY_INSERT, 0x6D, 0x75, 0, -1, 13, 27, int('a'), 255,
                    std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        press(key);
    }
    EXPECT_EQ(inputState(), before);
    frameAfter(0.25);
    EXPECT_EQ(inputState(), before);
    EXPECT_EQ(swaps, 1);
}

// The mouse measures from its last position (the first time from the corner); idle asks for
// the next frame, draws nothing and forgets the deltas but not the position.
TEST_F(FrameCycle, mouseDeltasLastUntilIdleWhichOnlyAsksForTheNextFrame) {
    mouseMotion(30, 40);
    mouseMotion(25, 50);
    EXPECT_EQ((std::array<int, 4>{dx, dy, oldX, oldY}), (std::array<int, 4>{-5, 10, 25, 50}));
    Idle();
    Idle();
    EXPECT_EQ((std::array<int, 7>{dx, dy, oldX, oldY, firstTime, redisplays, swaps}),
              (std::array<int, 7>{0, 0, 25, 50, false, 2, 0}));
}

// The move of a frame uses the time of the frame before it.
TEST_F(FrameCycle, theCameraTurnsByTheDurationOfThePreviousFrame) {
    frameAfter(0.5);
    const float y = turnY();
    press(GLUT_KEY_LEFT);
    frameAfter(0.125);
    EXPECT_EQ(turnY(), y + 4);
}

// A shot fired for a frame is spawned before that frame draws: its record is already in the
// frame's registry dump, the number taken before the dump begins.
TEST_F(FrameCycle, aShotIsSpawnedBeforeTheFrameThatFiresItIsDrawn) {
    press(GLUT_KEY_F2);
    const std::string lines = frameAfter(0.25);
    const std::size_t at = lines.find("\n premier dispo: "), dump = lines.find("\n on print");
    ASSERT_LT(at, dump) << lines;
    const int index = std::stoi(lines.substr(at + 17));
    EXPECT_NE(lines.find("\nind: " + std::to_string(index) + " x: ", dump), std::string::npos)
        << "the new rocket is in the dump of the frame that fired it";
}

// A shot leaves 3 units under and 3.5 ahead of the cockpit along the cockpit's own axes, so in
// the eye's frame it starts at the same spot however the view has turned.
TEST_F(FrameCycle, aShotStartsUnderAndAheadOfTheCockpitWhereverTheViewPoints) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_LEFT}) {
        press(key);
        frameAfter(2.0);
    }
    frameAfter(0.25); // the cockpit follows the view one frame late
    press(GLUT_KEY_F2);
    const std::string lines = frameAfter(0.25);
    const std::size_t at = lines.find("\n premier dispo: ");
    ASSERT_NE(at, std::string::npos) << lines;
    const std::string record = "\nind: " + std::to_string(std::stoi(lines.substr(at + 17))) + " ";
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(lines.c_str() + lines.find(record) + record.size(), "x: %f y: %f z: %f",
                          &x, &y, &z),
              3)
        << lines;
    EXPECT_NEAR(x, 0.0f, 1e-3f);
    EXPECT_NEAR(y, -2.8f, 1e-3f);
    EXPECT_NEAR(z, -8.0f, 1e-3f);
}

// The light is placed before the view, so it keeps its place relative to the eye however the
// player turns; placed after, it would turn with the world.
TEST_F(FrameCycle, theLightStaysFixedToTheEyeAsTheViewTurns) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_UP}) {
        press(key);
        frameAfter(0.25);
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Values{-1, 1, 1, 0})) << key;
    }
}

// One strong light fixed to the eye over a low ambient, and nothing sent for what is off.
TEST_F(GlTest, lightsSendOnlyWhatIsSwitchedOn) {
    struct Row {
        const char* name;
        bool lightingOn, firstOn;
        unsigned enabledBefore; // one bit per light
        Values ambient, position, diffuse;
    };
    const Values presetAmbient{0.5f, 0.25f, 0.125f, 1}, presetPosition{3, 4, 5, 1},
        presetDiffuse{0.5f, 0.5f, 0.5f, 1};
    const Row rows[] = {
        {"everythingOn", true, true, 0x1E, {0.2f, 0.2f, 0.2f, 1}, {-1, 1, 1, 0}, {4, 4, 4, 1}},
        {"lightingOff", false, true, 0x1E, presetAmbient, presetPosition, presetDiffuse},
        {"firstLightOff", true, false, 0x3F, {0.2f, 0.2f, 0.2f, 1}, presetPosition, presetDiffuse},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, presetAmbient.data());
        glLightfv(GL_LIGHT0, GL_POSITION, presetPosition.data());
        glLightfv(GL_LIGHT0, GL_DIFFUSE, presetDiffuse.data());
        for (int i = 0; i < 8; ++i) {
            (row.enabledBefore >> i & 1u) != 0 ? glEnable(GLenum(GL_LIGHT0 + i))
                                               : glDisable(GLenum(GL_LIGHT0 + i));
        }
        Lights lights;
        lights.lightingOn = row.lightingOn;
        lights.lightSources[0].on = row.firstOn;
        lights.lightSources[5].on = true;
        lights.apply();

        Values ambient{};
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
        EXPECT_EQ(ambient, row.ambient);
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), row.position);
        EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), row.diffuse);
        // Switched off, lighting leaves every switch as it was; else each light follows its own.
        for (int i = 0; i < 8; ++i) {
            const bool on = row.lightingOn ? (i == 0 ? row.firstOn : i == 5)
                                           : (row.enabledBefore >> i & 1u) != 0;
            EXPECT_EQ(glIsEnabled(GLenum(GL_LIGHT0 + i)), on) << "light " << i;
        }
        // Only the switches of the other lights are touched: they keep OpenGL's defaults.
        EXPECT_EQ(light(GL_LIGHT1, GL_DIFFUSE), (Values{0, 0, 0, 1}));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
