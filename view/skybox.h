#pragma once
// The space background: a cube textured inside with one image, centred on the eye every frame
// and kept on the world's axes, so the player never reaches its walls but sees it turn.

#include "scene/graphVertexTransform.h"
#include "view/camera.h"

class Skybox {
  public:
    Skybox() : size(98.6f), textureIndex(0) {}

    // Loads the sky image into `slot`; always counts one slot.
    int loadTexture(int slot, unsigned int* textures);
    void initDisplayList(unsigned int* textures);
    GraphVertexTransform getTransformation() const { return transformation; }
    void setSkybox(Camera camera);

    double size;      // half edge of the cube before the placement's 1.1 scale
    int textureIndex; // slot of the sky texture
    GraphVertexTransform transformation;
};
