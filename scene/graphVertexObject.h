#pragma once
// The payload of an object node: one entity and the placement that puts it in its parent's
// frame. The entity decides where it goes; the object keeps the result.

#include "entities/model.h"
#include "scene/graphVertexTransform.h"

class Cockpit;
class CollisionInfos;

class GraphVertexObject {
  public:
    GraphVertexObject();
    GraphVertexObject(Model model, bool composed, GraphVertexTransform t);

    bool getComposed() const { return composed; }
    bool getExist() const { return model.getExist(); }
    GraphVertexTransform getTransformation() const { return transformation; }
    // Draws the entity, which also reports its eye-space position into infos; the caller has
    // applied the placement.
    void draw(CollisionInfos& infos);
    // The entity moves itself; its answer becomes the new placement.
    void update(double dt, Cockpit cockpit, CollisionInfos& infos);

    bool composed; // the holding node also carries a subtree, drawn in this object's frame
    GraphVertexTransform transformation;
    Model model;
};
