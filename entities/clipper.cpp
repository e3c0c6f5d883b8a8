#include "entities/clipper.h"

#include "entities/kindMesh.h"
#include "entities/pursuit.h"
#include "view/cockpit.h"

GraphVertexTransform Clipper::update(double, GraphVertexTransform transformation, Cockpit cockpit,
                                     CollisionInfo record) {
    // Until the ship has been drawn its record holds no position to start from.
    if (record.calculated) {
        stepTowardCockpit(transformation, cockpit, record, function, shipApproachStep,
                          shipHoldDistance);
    }
    return transformation;
}

int Clipper::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.05f, "bin/models/clipper.3ds", firstTexture,
                           textures);
}

void Clipper::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

void Clipper::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }
