#include "entities/laser.h"

#include "entities/flight.h"
#include "entities/kindMesh.h"
#include "view/cockpit.h"

void Laser::setOriginalTransformation(GraphVertexTransform t) { launchTransformation = t; }

GraphVertexTransform Laser::update(double dt, GraphVertexTransform transformation, Cockpit) {
    return flyFromLaunch(dt, transformation, launched, launchTransformation, projectileSpeed);
}

int Laser::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.1f, "bin/models/laser.3ds", firstTexture,
                           textures);
}

void Laser::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
