#pragma once
// The player's point of view: a placement plus a signed speed along its own Z axis.
// It looks along its negative Z axis, so a negative speed moves it forward.

#include "scene/graphVertexTransform.h"

class Camera {
  public:
    Camera(); // eye at (0, 3, 20), no rotation, at rest

    GraphVertexTransform getTransformation() const { return transformation; }
    // Multiplies the current matrix by the gluLookAt view of the eye, 10 units ahead, up = local Y.
    void setCamera();
    // One frame of keyboard input; dt in seconds. Mouse deltas are accepted and unused.
    void move(double dt, bool up, bool down, bool left, bool right, bool pageUp, bool pageDown,
              int dx, int dy);

    float getSpeed() const { return speed; }

    GraphVertexTransform transformation;
    float speed; // the eye travels 10 x speed units per second along local Z; negative is forward
};
