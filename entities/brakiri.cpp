#include "entities/brakiri.h"

#include "entities/kindMesh.h"
#include "entities/pursuit.h"
#include "view/cockpit.h"

GraphVertexTransform Brakiri::update(double, GraphVertexTransform transformation, Cockpit cockpit,
                                     CollisionInfo record) {
    // Until the ship has been drawn its record holds no position to start from.
    if (record.calculated) {
        stepTowardCockpit(transformation, cockpit, record, function, shipApproachStep,
                          shipHoldDistance);
    }
    return transformation;
}

int Brakiri::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.02f, "bin/models/brakiri.3ds", firstTexture,
                           textures);
}

void Brakiri::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

void Brakiri::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }
