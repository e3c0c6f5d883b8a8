#pragma once
// The player's ship seen from inside: a mesh drawn 4.5 units ahead of the eye and 0.2 above,
// turned with the view. The asset registry's temporary loads and compiles the mesh; the
// world's object is only placed every frame and handed to every entity update.

#include "assets/model3ds.h"
#include "scene/graphVertexTransform.h"
#include "view/camera.h"

class Cockpit {
  public:
    Cockpit() {}

    int load(int firstTexture, unsigned int* textures);
    int getTextureNumber() const { return 1; }
    double getScaleCoeff() const { return scaleCoeff; }
    // Drawn unlit: lighting off around the mesh.
    void initDisplayList(unsigned int* textures);
    GraphVertexTransform getTransformation() const { return transformation; }
    // The offset follows the previous placement's rotation: one call late, on purpose.
    void setCockpit(Camera camera);

    Model_3DS model;
    double scaleCoeff = 0;
    GraphVertexTransform transformation;
};
