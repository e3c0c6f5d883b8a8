#include "app/windowShape.h"

#include "entities/farPlane.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {
float aspectSet = 0.0f; // aspect of the projection last loaded; 0 before the first
}

void setPerspective(float aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 0.1f, farPlaneDistance);
    glMatrixMode(GL_MODELVIEW);
    aspectSet = aspect;
}

void reshapeWindow(int width, int height) {
    glViewport(0, 0, width, height);
    if (width <= 0 || height <= 0) {
        return;
    }
    // Single precision, as the opening 640.0f / 480.0f: the same shape gives the same aspect.
    const float aspect = float(width) / float(height);
    if (aspect != aspectSet) {
        setPerspective(aspect);
    }
}
