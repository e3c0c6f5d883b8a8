#include "entities/golevka.h"

#include "entities/kindMesh.h"
#include "entities/pursuit.h"
#include "view/cockpit.h"

namespace {
constexpr double golevkaTurnRate = 20.0; // degrees per second about Y
}

GraphVertexTransform Golevka::update(double dt, GraphVertexTransform transformation,
                                     Cockpit cockpit, CollisionInfo record) {
    transformation.composeRotationsY(float(dt * golevkaTurnRate));
    // The registered position is only meaningful once the asteroid has been drawn.
    if (followCockpit && record.calculated) {
        stepTowardCockpit(transformation, cockpit, record, function, asteroidDriftStep, 0.0f);
    }
    return transformation;
}

int Golevka::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 5.0, "bin/models/golevka.3ds", firstTexture,
                           textures);
}

void Golevka::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
