// The scene's light set-up as OpenGL sees it after Lights::apply.

#include "view/lights.h"

#include "support/glContext.h"

#include <GL/gl.h>

namespace {

void expectVector(GLenum light, GLenum what, float a, float b, float c, float d) {
    float v[4] = {};
    glGetLightfv(light, what, v);
    EXPECT_FLOAT_EQ(v[0], a);
    EXPECT_FLOAT_EQ(v[1], b);
    EXPECT_FLOAT_EQ(v[2], c);
    EXPECT_FLOAT_EQ(v[3], d);
}

void expectAmbient(float a, float b, float c, float d) {
    float v[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], a);
    EXPECT_FLOAT_EQ(v[1], b);
    EXPECT_FLOAT_EQ(v[2], c);
    EXPECT_FLOAT_EQ(v[3], d);
}

void enableEveryLight() {
    for (int i = 0; i < 8; ++i) {
        glEnable(GLenum(GL_LIGHT0 + i));
    }
}

} // namespace

TEST_F(GlTest, lightsGiveLowAmbientAndOneStrongEyeFixedLight) {
    enableEveryLight();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Lights lights;
    lights.apply();

    expectAmbient(0.2f, 0.2f, 0.2f, 1.0f);
    expectVector(GL_LIGHT0, GL_POSITION, -1.0f, 1.0f, 1.0f, 0.0f);
    expectVector(GL_LIGHT0, GL_DIFFUSE, 4.0f, 4.0f, 4.0f, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    for (int i = 1; i < 8; ++i) {
        EXPECT_FALSE(glIsEnabled(GLenum(GL_LIGHT0 + i))) << "light " << i;
    }
    // Only the switches of lights 1 to 7 are touched: their parameters keep OpenGL's defaults.
    expectVector(GL_LIGHT1, GL_DIFFUSE, 0, 0, 0, 1);
    expectVector(GL_LIGHT1, GL_POSITION, 0, 0, 1, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, lightingSwitchedOffLeavesEveryLightAsItWas) {
    const float presetAmbient[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    const float presetPosition[4] = {3, 4, 5, 1};
    const float presetDiffuse[4] = {0.5f, 0.5f, 0.5f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, presetAmbient);
    glLightfv(GL_LIGHT0, GL_POSITION, presetPosition);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, presetDiffuse);
    glDisable(GL_LIGHT0);
    glEnable(GL_LIGHT3);

    Lights lights;
    lights.lightingOn = false;
    lights.apply();

    expectAmbient(0.5f, 0.25f, 0.125f, 1.0f);
    expectVector(GL_LIGHT0, GL_POSITION, 3, 4, 5, 1);
    expectVector(GL_LIGHT0, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
}

TEST_F(GlTest, aSwitchedOffFirstLightSendsNoPositionNorColour) {
    const float presetPosition[4] = {3, 4, 5, 1};
    const float presetDiffuse[4] = {0.5f, 0.5f, 0.5f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, presetPosition);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, presetDiffuse);
    enableEveryLight();

    Lights lights;
    lights.lightSources[0].on = false;
    lights.lightSources[5].on = true;
    lights.apply();

    expectAmbient(0.2f, 0.2f, 0.2f, 1.0f);
    expectVector(GL_LIGHT0, GL_POSITION, 3, 4, 5, 1);
    expectVector(GL_LIGHT0, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT4));
}
