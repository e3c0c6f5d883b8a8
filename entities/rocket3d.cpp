#include "entities/rocket3d.h"

#include "entities/pursuit.h"
#include "view/cockpit.h"

void Rocket3d::setOriginalTransformation(GraphVertexTransform t) { launchTransformation = t; }

GraphVertexTransform Rocket3d::update(double dt, GraphVertexTransform transformation, Cockpit) {
    return flyFromLaunch(dt, transformation, launched, launchTransformation, projectileSpeed);
}
