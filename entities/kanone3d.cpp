#include "entities/kanone3d.h"

#include "entities/kindMesh.h"
#include "view/cockpit.h"

namespace {
constexpr double kanoneTurnRate = 100.0; // degrees per second about Y
}

GraphVertexTransform Kanone3d::update(double dt, GraphVertexTransform transformation, Cockpit) {
    if (drawn) {
        transformation.composeRotationsY(float(dt * kanoneTurnRate));
    }
    return transformation;
}

// The cannon's file lacks the class name's "3d".
int Kanone3d::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.01f, "bin/models/kanone.3ds", firstTexture,
                           textures);
}

void Kanone3d::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

void Kanone3d::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }
