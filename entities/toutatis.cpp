#include "entities/toutatis.h"

#include "entities/kindMesh.h"
#include "entities/pursuit.h"
#include "view/cockpit.h"

namespace {
constexpr double toutatisTurnRate = 20.0; // degrees per second about X
}

GraphVertexTransform Toutatis::update(double dt, GraphVertexTransform transformation,
                                      Cockpit cockpit, CollisionInfo record) {
    transformation.composeRotationsX(float(dt * toutatisTurnRate));
    // The registered position is only meaningful once the asteroid has been drawn.
    if (followCockpit && record.calculated) {
        stepTowardCockpit(transformation, cockpit, record, function, asteroidDriftStep, 0.0f);
    }
    return transformation;
}

int Toutatis::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 1.0, "bin/models/toutatis.3ds", firstTexture,
                           textures);
}

void Toutatis::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
