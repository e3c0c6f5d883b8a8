#pragma once
// An elongated asteroid: turns about X and, when built to follow, drifts toward the cockpit.

#include "app/function.h"
#include "assets/model3ds.h"
#include "collision/collisionInfo.h"
#include "scene/graphVertexTransform.h"

class Cockpit;

class Toutatis {
  public:
    Toutatis() : followCockpit(false) {}
    explicit Toutatis(bool follow) : followCockpit(follow) {}

    int load(int firstTexture, unsigned int* textures);
    double getScaleCoeff() const { return scaleCoeff; }
    void initDisplayList(unsigned int* textures);
    int getTextureNumber() const { return 1; }

    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit,
                                CollisionInfo record);

    Model_3DS model;        // loaded only in the asset registry's temporary
    double scaleCoeff = 0;  // uniform scale of the mesh, set by load
    bool followCockpit;     // drifts toward the cockpit once drawn
    Function function;
};
