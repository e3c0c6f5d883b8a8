// The lights as OpenGL sees them: one strong light fixed to the eye over a low ambient, and
// nothing sent for what is switched off.

#include "view/lights.h"

#include "support/glContext.h"

#include <GL/gl.h>

#include <array>

namespace {

using Values = std::array<float, 4>;

Values light(GLenum which, GLenum what) {
    Values v{};
    glGetLightfv(which, what, v.data());
    return v;
}

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
