#pragma once
// The cannon turret on the cannon-carrying asteroid. It turns only once its own draw has run,
// which the frame cycle never calls, so in the game it turns with its group alone.

#include "assets/model3ds.h"
#include "scene/graphVertexTransform.h"

class Cockpit;

class Kanone3d {
  public:
    Kanone3d() : drawn(false), drawnX(0), drawnY(0), drawnZ(0) {}

    int load(int firstTexture, unsigned int* textures);
    double getScaleCoeff() const { return scaleCoeff; }
    void initDisplayList(unsigned int* textures);
    int getTextureNumber() const { return 1; }
    void draw();

    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit);

    Model_3DS model;
    double scaleCoeff = 0;
    bool drawn;
    float drawnX, drawnY, drawnZ;
};
