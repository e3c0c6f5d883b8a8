#include "entities/castalia.h"

#include "entities/kindMesh.h"
#include "view/cockpit.h"

// The body of the cannon-carrying group: its parent turns it, it never moves by itself.
GraphVertexTransform Castalia::update(double, GraphVertexTransform transformation, Cockpit) {
    return transformation;
}

int Castalia::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 3.0, "bin/models/castalia.3ds", firstTexture,
                           textures);
}

void Castalia::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

void Castalia::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }
