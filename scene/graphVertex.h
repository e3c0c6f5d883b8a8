#pragma once
// A node of the scene tree: empty, branch, transform, object or pass-through. Links are plain
// pointers that a node never owns; copies are shallow and share their subtrees.

#include "scene/graphVertexObject.h"
#include "scene/graphVertexTransform.h"

class Cockpit;
class CollisionInfos;

enum GraphVertexType : int {
    vertexEmpty = 0,
    vertexBranch = 1,
    vertexTransform = 2,
    vertexObject = 3,
    vertexPassThrough = 4, // a branch that lost one of its subtrees
};

class GraphVertex {
  public:
    GraphVertex();                                                 // empty
    GraphVertex(Model model, GraphVertexTransform t);              // object
    GraphVertex(Model model, GraphVertex* child, GraphVertexTransform t); // composed object
    GraphVertex(GraphVertex* a, GraphVertex* b);                   // branch
    GraphVertex(GraphVertex* child, GraphVertexTransform t);       // transform

    // Draws the subtree with nested matrices; each entity reports its position into infos.
    void render(CollisionInfos& infos);
    // Advances every entity of the subtree, unlinks dead subtrees below this node and returns
    // whether anything in the subtree is still alive.
    bool act(double dt, Cockpit cockpit, CollisionInfos& infos);

    int type;
    GraphVertexTransform transformation; // transform nodes only
    GraphVertexObject object;            // object nodes only
    GraphVertex* first;
    GraphVertex* second;
};
