// The shell's rules through the real GLUT callbacks and the real world `scene`, initialised once
// per process in a context that lives as long as it does.

#include "support/console.h"
#include "support/fakeFrameSystem.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/placementChecks.h"

#include "app/main.h"
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
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

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
        if (initialState.empty()) {
            consoleOf(initialisation);
            initialState = fixedState();
        }
        push_up = push_down = push_left = push_right = push_page_up = push_page_down = false;
        rocket_fired = laser_fired = false;
        showSkybox = firstTime = true;
        oldX = oldY = dx = dy = 0;
        scene.camera = Camera();
        frameAfter(0.25); // the next move turns by what a quarter second allows
        fake.swaps = fake.redisplays = 0;
    }

    // One display callback, `seconds` after the previous one; returns its console lines.
    static std::string frameAfter(double seconds) {
        FakeFrameSystem::ticks += std::llround(seconds * 1000);
        return consoleOf(display);
    }

    static inline std::vector<float> initialState;
    FakeFrameSystem fake;
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

// Fire flags last one frame. The sky switch flips on each F4, outlives frames and tells the
// frame whether to draw the sky, which is placed around the eye only when drawn, on the world's
// axes however the view has turned. F11 switches full screen and Escape ends the game; keys
// other than these eleven do nothing.
TEST_F(FrameCycle, fireKeysLastOneFrameF4AndF11SwitchEscapeQuitsAndOtherKeysDoNothing) {
    for (int key = -1; key < 300; ++key) {
        if (key < 2 || (key > 4 && key < 100 && key != GLUT_KEY_F11) || key > 105) {
            press(key);
        }
        if (key >= 0 && key < 256 && key != 27) { // Escape's character
            ordinaryKey(static_cast<unsigned char>(key), 320, 240);
        }
    }
    const auto anyFlag = [] {
        return push_up || push_down || push_left || push_right || push_page_up || push_page_down ||
               rocket_fired || laser_fired || FakeFrameSystem::fullScreenSwitches ||
               FakeFrameSystem::mainLoopEnds;
    };
    EXPECT_TRUE(!anyFlag() && showSkybox);
    press(GLUT_KEY_F11, 2);
    ordinaryKey(27, 320, 240);
    EXPECT_EQ((std::array<int, 2>{fake.fullScreenSwitches, fake.mainLoopEnds}),
              (std::array<int, 2>{2, 1}));
    fake.fullScreenSwitches = fake.mainLoopEnds = 0;
    press(GLUT_KEY_F2, 2);
    EXPECT_TRUE(rocket_fired && !laser_fired);
    press(GLUT_KEY_F3);
    press(GLUT_KEY_F4, 3);
    EXPECT_TRUE(rocket_fired && laser_fired && !showSkybox);
    scene.skybox.transformation = placedAt(7, 7, 7); // where no eye stands
    frameAfter(0.25);
    EXPECT_TRUE(!anyFlag() && !showSkybox);
    expectSamePlacement(scene.skybox.getTransformation(), placedAt(7, 7, 7));
    press(GLUT_KEY_F4), press(GLUT_KEY_LEFT);
    frameAfter(0.25);
    expectSamePlacement(scene.skybox.getTransformation(), placedAt(0, 3, 20));
    EXPECT_EQ(fake.swaps, 2);
}

// The mouse measures from its last position (the first time from the corner); idle asks for
// the next frame, draws nothing and forgets the deltas but not the position, every time.
TEST_F(FrameCycle, mouseDeltasLastUntilIdleWhichOnlyAsksForTheNextFrame) {
    mouseMotion(30, 40);
    mouseMotion(25, 50);
    EXPECT_EQ((std::array<int, 4>{dx, dy, oldX, oldY}), (std::array<int, 4>{-5, 10, 25, 50}));
    Idle();
    mouseMotion(35, 45);
    Idle();
    EXPECT_EQ((std::array<int, 7>{dx, dy, oldX, oldY, firstTime, fake.redisplays, fake.swaps}),
              (std::array<int, 7>{0, 0, 35, 45, false, 2, 0}));
}

// Shots fired for a frame are spawned, the rocket first, before that frame's dump shows them: 3
// under the cockpit and 3.5 (rocket) or 5 (laser) ahead along its own axes, so at the same spots
// in the eye's frame however the view has turned.
TEST_F(FrameCycle, shotsAreSpawnedRocketFirstBeforeTheFrameThatFiresThemIsDrawn) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_LEFT}) {
        press(key);
        frameAfter(2.0);
    }
    frameAfter(0.25); // the cockpit follows the view one frame late
    press(GLUT_KEY_F3), press(GLUT_KEY_F2);
    const std::string lines = frameAfter(0.25);
    int rocket = 0, laser = 0;
    ASSERT_EQ(std::sscanf(lines.c_str(),
                          "\n premier dispo: %d\n on a reussi a en faire un vertex "
                          "ajout\xE9\n premier dispo: %d\n on a reussi",
                          &rocket, &laser),
              2)
        << lines;
    for (const auto& [index, type, z] :
         {std::tuple(rocket, 12, -8.0f), std::tuple(laser, 13, -9.5f)}) {
        const std::optional<DumpedRecord> shot =
            dumpedRecord(lines, index, lines.find("\n on print"));
        ASSERT_TRUE(shot.has_value()) << index << " in " << lines;
        EXPECT_EQ(shot->type, type);
        expectNear({shot->x, shot->y, shot->z}, {0, -2.8f, z}, 1e-3);
    }
}

// One strong light over a low ambient, placed before the view: fixed to the eye as the player
// turns. Switched on, a set-up sends its ambient and switches every light, sending light 0 only
// when on; switched off, nothing at all (the next frame sets the world's lights again).
TEST_F(FrameCycle, theLightStaysFixedToTheEyeAndOnlyWhatIsSwitchedOnIsSent) {
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_UP}) {
        press(key);
        frameAfter(0.25);
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Values{-1, 1, 1, 0})) << key;
    }
    EXPECT_EQ(glFloats(GL_LIGHT_MODEL_AMBIENT, 4), (std::vector<float>{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), (Values{4, 4, 4, 1}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(glIsEnabled(GLenum(GL_LIGHT0 + i)), i == 0) << "light " << i;
    }
    const Values preset{3, 4, 5, 1};
    glLoadIdentity(); // as the frame does before it sends its lights
    glEnable(GL_LIGHT3);
    for (bool lightingOn : {true, false}) {
        SCOPED_TRACE(lightingOn);
        glLightfv(GL_LIGHT0, GL_POSITION, preset.data());
        Lights lights;
        std::fill(lights.ambient, lights.ambient + 3, lightingOn ? 0.5f : 0.75f);
        lights.lightingOn = lightingOn;
        lights.lightSources[0].on = false;
        lights.lightSources[5].on = true;
        lights.apply();
        EXPECT_EQ(glFloats(GL_LIGHT_MODEL_AMBIENT, 4), (std::vector<float>{0.5f, 0.5f, 0.5f, 1}));
        EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), preset);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(glIsEnabled(GLenum(GL_LIGHT0 + i)), i == 5) << "light " << i;
        }
        EXPECT_EQ(light(GL_LIGHT5, GL_DIFFUSE), (Values{0, 0, 0, 1}));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
