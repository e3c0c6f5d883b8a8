#include "view/lights.h"

#include <GL/gl.h>

Lights::Lights() : lightingOn(true), ambient{0.2f, 0.2f, 0.2f, 1.0f}, lightSources{} {
    // Four times the usual intensity: the meshes' materials are dark and the ambient is low.
    lightSources[0] = {true, {-1.0f, 1.0f, 1.0f, 0.0f}, {4.0f, 4.0f, 4.0f, 1.0f}};
}

// Called with the identity model-view matrix, so light 0's position is fixed in eye space:
// the light turns with the view.
void Lights::apply() {
    if (!lightingOn) {
        return;
    }
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const LightSource& first = lightSources[0];
    if (first.on) {
        glLightfv(GL_LIGHT0, GL_POSITION, first.position);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, first.diffuse);
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
    // The other lights are only switched; their parameters are never sent.
    for (int i = 1; i < 8; ++i) {
        const GLenum light = GLenum(GL_LIGHT0 + i);
        if (lightSources[i].on) {
            glEnable(light);
        } else {
            glDisable(light);
        }
    }
}
