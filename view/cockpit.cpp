#include "view/cockpit.h"

#include "entities/kindMesh.h"

#include <GL/gl.h>

int Cockpit::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.1f, "bin/models/cockpit.3ds", firstTexture,
                           textures);
}

// Unlit: the cockpit shows its own textures whatever the light. Unlit triangles take the
// current colour, which otherwise is whatever was drawn last (the red frame-rate text when the
// sky is off), so it is set to white first.
void Cockpit::initDisplayList(unsigned int* textures) {
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    issueMeshCommands(model, textures);
    glEnable(GL_LIGHTING);
}

// 4.5 ahead of the eye and 0.2 above it. The offset is read from the previous placement's
// axes before this one replaces it, so it follows the view's turn one call late.
void Cockpit::setCockpit(Camera camera) {
    GraphVertexTransform placement;
    placement.copy(camera.getTransformation());
    const double aheadX = transformation.getDirectionXZ();
    const double upX = transformation.getDirectionXY();
    const double aheadY = transformation.getDirectionYZ();
    const double upY = transformation.getDirectionYY();
    const double aheadZ = transformation.getDirectionZZ();
    const double upZ = transformation.getDirectionZY();
    const double ahead = -4.5f;
    const double up = 0.2;
    placement.composeTranslations(float(aheadX * ahead + upX * up), float(aheadY * ahead + upY * up),
                                  float(aheadZ * ahead + upZ * up));
    transformation = placement;
}
