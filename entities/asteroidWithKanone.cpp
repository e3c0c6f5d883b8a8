#include "entities/asteroidWithKanone.h"

#include "view/cockpit.h"

namespace {
constexpr double groupTurnRate = 10.0; // degrees per second about Y, children included
}

GraphVertexTransform AsteroidWithKanone::update(double dt, GraphVertexTransform transformation,
                                                Cockpit) {
    transformation.composeRotationsY(float(dt * groupTurnRate));
    return transformation;
}
