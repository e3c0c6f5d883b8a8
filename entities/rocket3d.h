#pragma once
// The player's rocket: jumps to its launch placement in its first update, then flies 5 units
// a second along the launch direction until it touches something that is not a projectile.

#include "assets/model3ds.h"
#include "scene/graphVertexTransform.h"

class Cockpit;

class Rocket3d {
  public:
    Rocket3d() : launched(false) {}

    int load(int firstTexture, unsigned int* textures);
    double getScaleCoeff() const { return scaleCoeff; }
    void initDisplayList(unsigned int* textures);
    int getTextureNumber() const { return 2; }

    void setOriginalTransformation(GraphVertexTransform t);
    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit);

    Model_3DS model;
    double scaleCoeff = 0;
    bool launched;
    GraphVertexTransform launchTransformation;
};
