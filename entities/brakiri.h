#pragma once
// The other ship: behaves as the Clipper, with its own mesh, scale, life and radius.

#include "app/function.h"
#include "assets/model3ds.h"
#include "collision/collisionInfo.h"
#include "scene/graphVertexTransform.h"

class Cockpit;

class Brakiri {
  public:
    Brakiri() : drawn(false), drawnX(0), drawnY(0), drawnZ(0) {}

    int load(int firstTexture, unsigned int* textures);
    double getScaleCoeff() const { return scaleCoeff; }
    void initDisplayList(unsigned int* textures);
    int getTextureNumber() const { return 1; }
    void draw();

    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit,
                                CollisionInfo record);

    Function function;
    Model_3DS model;
    double scaleCoeff = 0;
    bool drawn;
    float drawnX, drawnY, drawnZ;
};
