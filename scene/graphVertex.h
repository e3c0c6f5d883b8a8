#pragma once
// A node of the scene tree: empty, branch, transform, object or pass-through. Copies are
// shallow and share their subtrees.
//
// Ownership: a node below another lives on the heap and belongs to the links that point at
// it. Every link (a constructor's child argument, or a copy of a node that has links) counts
// as one holder; when the last holder lets go, the node is deleted together with its share of
// its own subtrees. So a shallow copy can never free what its source still reaches, and a
// subtree that act unlinks is released on the spot. Only the top of a tree (the world's root)
// may live elsewhere: nothing links to it.
//
// Both walks run on an explicit stack of their own, so the depth of the tree (one branch per
// shot ever fired) never reaches the thread's stack.

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
    GraphVertex();                                                        // empty
    GraphVertex(Model model, GraphVertexTransform t);                     // object
    GraphVertex(Model model, GraphVertex* child, GraphVertexTransform t); // composed object
    GraphVertex(GraphVertex* a, GraphVertex* b);                          // branch
    GraphVertex(GraphVertex* child, GraphVertexTransform t);              // transform
    // Shallow: kind, placement, entity and links; the copy shares the subtrees.
    GraphVertex(const GraphVertex& other);
    GraphVertex& operator=(const GraphVertex& other);
    // Lets go of this node's share of its subtrees.
    ~GraphVertex();

    // Draws the subtree with nested matrices; each entity reports its position into infos.
    // The model-view stack is as deep afterwards as before.
    void render(CollisionInfos& infos);
    // Advances every entity of the subtree, unlinks dead subtrees below this node and returns
    // whether anything in the subtree is still alive. A pass-through met below this node is
    // taken out of the tree: its parent links straight to what it passed through to.
    bool act(double dt, Cockpit cockpit, CollisionInfos& infos);

    // Nodes in existence, for checks that unlinked subtrees are really gone.
    static long existing();

    int type;
    GraphVertexTransform transformation; // transform nodes only
    GraphVertexObject object;            // object nodes only
    GraphVertex* first;
    GraphVertex* second;

  private:
    // How far a node's turn in a walk has gone: each finished link moves it one stage on.
    enum class Stage { enter, afterFirst, afterSecond };
    // What a node's rule asks of the walk next: walk `child` and come back, or be done. A
    // missing child holds nothing alive and draws nothing.
    struct Turn {
        GraphVertex* child;
        bool done;
    };
    template <class Rule, class MissingLink>
    static void walk(GraphVertex* top, Rule rule, MissingLink missingLink);

    // The rules of act, one per node kind; `alive` carries the result of the node that finished
    // last, and a node's own result when it is done.
    Turn actOn(Stage stage, bool& alive, bool& firstAlive, double dt, const Cockpit& cockpit,
               CollisionInfos& infos);
    Turn actObject(Stage stage, bool& alive, double dt, const Cockpit& cockpit,
                   CollisionInfos& infos);
    Turn actPassingOn(Stage stage); // transform and pass-through: alive as their subtree is
    Turn actBranch(Stage stage, bool& alive, bool& firstAlive);
    // The rules of render, one per node kind.
    Turn renderOn(Stage stage, CollisionInfos& infos);
    Turn renderObject(Stage stage, CollisionInfos& infos);
    Turn renderTransform(Stage stage);
    Turn renderBranch(Stage stage);
    Turn renderPassingOn(Stage stage); // pass-through: draws what its one subtree draws

    static GraphVertex* hold(GraphVertex* node);
    static void release(GraphVertex* node);
    static void spliceOutPassThrough(GraphVertex*& link);
    bool settleBranch(bool firstAlive, bool secondAlive);

    int holders = 0; // links that point at this node; not copied with it
};
