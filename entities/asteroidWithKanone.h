#pragma once
// The invisible centre of the cannon-carrying asteroid: it turns the whole group and carries
// the group's one collision record. It has no mesh.

#include "scene/graphVertexTransform.h"

class Cockpit;

class AsteroidWithKanone {
  public:
    AsteroidWithKanone() {}

    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit);
};
