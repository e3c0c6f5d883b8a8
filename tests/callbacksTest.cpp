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

// Turns and speed steps, each once however often its key was pressed between two frames; a
// frame turns by the duration of the frame before it (0.25 s), not by its own.
TEST_F(FrameCycle, severalPressesOfOneMoveKeyBetweenTwoFramesActOnce) {
    using Move = std::array<float, 3>;
    for (const auto& [key, x, y, speed] :
         {std::tuple(GLUT_KEY_UP, 2, 0, 0.0f), std::tuple(GLUT_KEY_DOWN, -2, 0, 0.0f),
          std::tuple(GLUT_KEY_LEFT, 0, 2, 0.0f), std::tuple(GLUT_KEY_RIGHT, 0, -2, 0.0f),
          std::tuple(GLUT_KEY_PAGE_UP, 0, 0, -0.15f),
          std::tuple(GLUT_KEY_PAGE_DOWN, 0, 0, 0.15f)}) {
        scene.camera = Camera();
        press(key, 3);
        frameAfter(1.0);
        frameAfter(0.25); // the flag lived for one frame only
        const GraphVertexTransform& t = scene.camera.transformation;
        EXPECT_EQ((Move{t.getAlphaX(), t.getAlphaY(), scene.camera.speed}),
                  (Move{float(x), float(y), speed}))
            << key;
    }
}

// Fire flags last one frame; the sky switch flips on each F4 and outlives frames.
TEST_F(FrameCycle, fireKeysLastOneFrameAndF4FlipsTheSky) {
    press(GLUT_KEY_F2, 2);
    EXPECT_TRUE(rocket_fired && !laser_fired);
    press(GLUT_KEY_F3);
    press(GLUT_KEY_F4, 3);
    EXPECT_TRUE(rocket_fired && laser_fired && !showSkybox);
    frameAfter(0.25);
    EXPECT_TRUE(!rocket_fired && !laser_fired && !showSkybox);
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

// A shot fired for a frame is spawned before that frame draws: its record is already in the
// frame's registry dump, the number taken before the dump begins. It leaves 3 units under and
// 3.5 ahead of the cockpit along the cockpit's own axes, so in the eye's frame it starts at the
// same spot however the view has turned.
TEST_F(FrameCycle, aShotIsSpawnedBeforeTheFrameThatFiresItIsDrawn) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_LEFT}) {
        press(key);
        frameAfter(2.0);
    }
    frameAfter(0.25); // the cockpit follows the view one frame late
    press(GLUT_KEY_F2);
    const std::string lines = frameAfter(0.25);
    const std::size_t at = lines.find("\n premier dispo: "), dump = lines.find("\n on print");
    ASSERT_LT(at, dump) << lines;
    const std::string record = "\nind: " + std::to_string(std::stoi(lines.substr(at + 17))) + " ";
    const std::size_t shot = lines.find(record, dump);
    ASSERT_NE(shot, std::string::npos) << "the new rocket is in its own frame's dump";
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(lines.c_str() + shot + record.size(), "x: %f y: %f z: %f", &x, &y, &z), 3)
        << lines;
    EXPECT_NEAR(x, 0.0f, 1e-3f);
    EXPECT_NEAR(y, -2.8f, 1e-3f);
    EXPECT_NEAR(z, -8.0f, 1e-3f);
}

// One strong light over a low ambient, placed before the view, so it keeps its place relative
// to the eye however the player turns; placed after, it would turn with the world.
TEST_F(FrameCycle, theLightStaysFixedToTheEyeAsTheViewTurns) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_UP}) {
        press(key);
        frameAfter(0.25);
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Values{-1, 1, 1, 0})) << key;
    }
    Values ambient{};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
    EXPECT_EQ(ambient, (Values{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), (Values{4, 4, 4, 1}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(glIsEnabled(GLenum(GL_LIGHT0 + i)), i == 0) << "light " << i;
    }
}

// Switched off, lighting sends and switches nothing; light 0 switched off is neither sent nor on,
// and the other lights are switched but keep OpenGL's defaults.
TEST_F(GlTest, lightsSendOnlyWhatIsSwitchedOn) {
    const Values presetAmbient{0.5f, 0.25f, 0.125f, 1}, presetPosition{3, 4, 5, 1};
    for (bool lightingOn : {false, true}) {
        SCOPED_TRACE(lightingOn);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, presetAmbient.data());
        glLightfv(GL_LIGHT0, GL_POSITION, presetPosition.data());
        for (int i = 0; i < 8; ++i) {
            i == 3 ? glEnable(GLenum(GL_LIGHT0 + i)) : glDisable(GLenum(GL_LIGHT0 + i));
        }
        Lights lights;
        lights.lightingOn = lightingOn;
        lights.lightSources[0].on = !lightingOn;
        lights.lightSources[5].on = true;
        lights.apply();
        Values ambient{};
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
        EXPECT_EQ(ambient, (lightingOn ? Values{0.2f, 0.2f, 0.2f, 1} : presetAmbient));
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), presetPosition);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(glIsEnabled(GLenum(GL_LIGHT0 + i)), lightingOn ? i == 5 : i == 3) << i;
        }
        EXPECT_EQ(light(GL_LIGHT5, GL_DIFFUSE), (Values{0, 0, 0, 1}));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
