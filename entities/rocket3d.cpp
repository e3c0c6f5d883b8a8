#include "entities/rocket3d.h"

#include "entities/flight.h"
#include "entities/kindMesh.h"
#include "view/cockpit.h"

void Rocket3d::setOriginalTransformation(GraphVertexTransform t) { launchTransformation = t; }

GraphVertexTransform Rocket3d::update(double dt, GraphVertexTransform transformation, Cockpit) {
    return flyFromLaunch(dt, transformation, launched, launchTransformation, projectileSpeed);
}

int Rocket3d::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.1f, "bin/models/rocket.3ds", firstTexture,
                           textures);
}

void Rocket3d::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
