#pragma once
// A smooth two-lobed asteroid; the body of the cannon-carrying group. It never moves by itself.

#include "assets/model3ds.h"
#include "scene/graphVertexTransform.h"

class Cockpit;

class Castalia {
  public:
    Castalia() : drawn(false), drawnX(0), drawnY(0), drawnZ(0) {}

    int load(int firstTexture, unsigned int* textures);
    double getScaleCoeff() const { return scaleCoeff; }
    void initDisplayList(unsigned int* textures);
    int getTextureNumber() const { return 1; }
    // Records the origin of the current modelling frame in eye coordinates; draws nothing.
    void draw();

    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit);

    Model_3DS model;
    double scaleCoeff = 0;
    bool drawn;
    float drawnX, drawnY, drawnZ;
};
