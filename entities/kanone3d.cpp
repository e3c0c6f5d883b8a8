#include "entities/kanone3d.h"

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
