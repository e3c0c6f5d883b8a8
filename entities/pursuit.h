#pragma once
// The step shared by kinds that close in on the player: the two following asteroids and the
// two ships move toward the cockpit by a fixed step per frame.

#include "scene/graphVertexTransform.h"

class Cockpit;
class CollisionInfo;
class Function;

// Fixed steps per frame, not scaled by the frame time.
constexpr float asteroidDriftStep = 0.8f; // a following asteroid, no stopping distance
constexpr float shipApproachStep = 0.5f;
constexpr float shipHoldDistance = 3.0f;  // a ship holds still once this close, or closer

// Moves `transformation` by `length` units along the line from the registered position in
// `record` to the cockpit's position (the two are used as stored, without changing frames),
// but only while their distance is greater than `stopDistance`. A distance of 0, or one that
// is not a finite number, gives no direction: no step is taken then.
void stepTowardCockpit(GraphVertexTransform& transformation, const Cockpit& cockpit,
                       const CollisionInfo& record, const Function& function, float length,
                       float stopDistance);
