#pragma once
// The flight the two projectiles share: straight along the direction they were launched in.

#include "scene/graphVertexTransform.h"

constexpr double projectileSpeed = 5.0; // units per second along the launch direction

// The flight of a projectile, whatever the node did to its placement in between: the first
// call marks it `launched` and hands back `launchTransformation` as stored; every later call
// moves `transformation` by `speed` * dt units along the launch placement's negative Z axis.
GraphVertexTransform flyFromLaunch(double dt, GraphVertexTransform transformation, bool& launched,
                                   GraphVertexTransform& launchTransformation, double speed);
