#include "entities/laser.h"

#include "entities/pursuit.h"
#include "view/cockpit.h"

void Laser::setOriginalTransformation(GraphVertexTransform t) { launchTransformation = t; }

GraphVertexTransform Laser::update(double dt, GraphVertexTransform transformation, Cockpit) {
    return flyFromLaunch(dt, transformation, launched, launchTransformation, projectileSpeed);
}
