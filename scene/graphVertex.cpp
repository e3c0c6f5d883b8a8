#include "scene/graphVertex.h"

#include "collision/collisionInfos.h"
#include "view/cockpit.h"

#include <GL/gl.h>
#include <vector>

namespace {

long nodesInExistence = 0;

} // namespace

GraphVertex::GraphVertex() : type(vertexEmpty), first(nullptr), second(nullptr) {
    ++nodesInExistence;
}

GraphVertex::GraphVertex(Model model, GraphVertexTransform t)
    : type(vertexObject), object(model, false, t), first(nullptr), second(nullptr) {
    ++nodesInExistence;
}

GraphVertex::GraphVertex(Model model, GraphVertex* child, GraphVertexTransform t)
    : type(vertexObject), object(model, true, t), first(hold(child)), second(nullptr) {
    ++nodesInExistence;
}

GraphVertex::GraphVertex(GraphVertex* a, GraphVertex* b)
    : type(vertexBranch), first(hold(a)), second(hold(b)) {
    ++nodesInExistence;
}

GraphVertex::GraphVertex(GraphVertex* child, GraphVertexTransform t)
    : type(vertexTransform), transformation(t), first(hold(child)), second(nullptr) {
    ++nodesInExistence;
}

GraphVertex::GraphVertex(const GraphVertex& other)
    : type(other.type), transformation(other.transformation), object(other.object),
      first(hold(other.first)), second(hold(other.second)) {
    ++nodesInExistence;
}

GraphVertex& GraphVertex::operator=(const GraphVertex& other) {
    // Take the new shares before dropping the old ones: other may hang below this node.
    GraphVertex* newFirst = hold(other.first);
    GraphVertex* newSecond = hold(other.second);
    type = other.type;
    transformation = other.transformation;
    object = other.object;
    release(first);
    release(second);
    first = newFirst;
    second = newSecond;
    return *this;
}

GraphVertex::~GraphVertex() {
    release(first);
    release(second);
    --nodesInExistence;
}

long GraphVertex::existing() { return nodesInExistence; }

GraphVertex* GraphVertex::hold(GraphVertex* node) {
    if (node != nullptr) {
        ++node->holders;
    }
    return node;
}

// Iterative, so that letting go of a chain of a million branches needs no deep stack.
void GraphVertex::release(GraphVertex* node) {
    if (node == nullptr || --node->holders > 0) {
        return;
    }
    std::vector<GraphVertex*> unheld{node};
    while (!unheld.empty()) {
        GraphVertex* gone = unheld.back();
        unheld.pop_back();
        for (GraphVertex* child : {gone->first, gone->second}) {
            if (child != nullptr && --child->holders == 0) {
                unheld.push_back(child);
            }
        }
        gone->first = nullptr;
        gone->second = nullptr;
        delete gone;
    }
}

// A pass-through only forwards to its one subtree, so its parent may as well link there;
// this keeps the chain of branches from growing by one node per shot that ever died.
void GraphVertex::spliceOutPassThrough(GraphVertex*& link) {
    while (link != nullptr && link->type == vertexPassThrough) {
        GraphVertex* passThrough = link;
        link = hold(passThrough->first);
        release(passThrough);
    }
}

bool GraphVertex::settleBranch(bool firstAlive, bool secondAlive) {
    if (!firstAlive && !secondAlive) {
        return false; // the nearest branch above unlinks this one whole
    }
    if (!firstAlive) {
        GraphVertex* dead = first;
        first = second;
        second = nullptr;
        type = vertexPassThrough;
        release(dead);
    } else if (!secondAlive) {
        GraphVertex* dead = second;
        second = nullptr;
        type = vertexPassThrough;
        release(dead);
    }
    return true;
}

// The recursive rules of the two walks, unrolled onto a stack of their own. At each turn the
// node on top is handed to its kind's rule with the stage it has reached; the rule either
// finishes it or names the link to walk before it goes on.
template <class Rule, class MissingLink>
void GraphVertex::walk(GraphVertex* top, Rule rule, MissingLink missingLink) {
    struct Step {
        GraphVertex* node;
        Stage stage;
        bool firstAlive; // act only: what the first link reported
    };
    std::vector<Step> steps{{top, Stage::enter, false}};
    while (!steps.empty()) {
        Step& step = steps.back();
        const Stage stage = step.stage;
        step.stage = stage == Stage::enter ? Stage::afterFirst : Stage::afterSecond;
        const Turn turn = rule(*step.node, stage, step.firstAlive);
        if (turn.done) {
            steps.pop_back();
        } else if (turn.child != nullptr) {
            steps.push_back({turn.child, Stage::enter, false});
        } else {
            missingLink();
        }
    }
}

bool GraphVertex::act(double dt, Cockpit cockpit, CollisionInfos& infos) {
    bool alive = false;
    walk(
        this,
        [&](GraphVertex& node, Stage stage, bool& firstAlive) {
            return node.actOn(stage, alive, firstAlive, dt, cockpit, infos);
        },
        [&] { alive = false; });
    return alive;
}

GraphVertex::Turn GraphVertex::actOn(Stage stage, bool& alive, bool& firstAlive, double dt,
                                     const Cockpit& cockpit, CollisionInfos& infos) {
    switch (GraphVertexType(type)) {
    case vertexObject:
        return actObject(stage, alive, dt, cockpit, infos);
    case vertexTransform:
    case vertexPassThrough:
        return actPassingOn(stage);
    case vertexBranch:
        return actBranch(stage, alive, firstAlive);
    case vertexEmpty:
        break;
    }
    alive = false;
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::actObject(Stage stage, bool& alive, double dt,
                                         const Cockpit& cockpit, CollisionInfos& infos) {
    if (stage == Stage::enter) {
        object.update(dt, cockpit, infos);
        // A dead entity takes its subtree with it, unvisited; a composed one lives through its
        // subtree.
        alive = object.getExist();
        return {first, !(alive && object.getComposed())};
    }
    spliceOutPassThrough(first);
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::actPassingOn(Stage stage) {
    if (stage == Stage::enter) {
        return {first, false};
    }
    spliceOutPassThrough(first);
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::actBranch(Stage stage, bool& alive, bool& firstAlive) {
    switch (stage) {
    case Stage::enter:
        return {first, false};
    case Stage::afterFirst:
        firstAlive = alive;
        spliceOutPassThrough(first);
        return {second, false};
    case Stage::afterSecond:
        break;
    }
    spliceOutPassThrough(second);
    alive = settleBranch(firstAlive, alive);
    return {nullptr, true};
}

void GraphVertex::render(CollisionInfos& infos) {
    walk(
        this,
        [&](GraphVertex& node, Stage stage, bool&) { return node.renderOn(stage, infos); },
        [] {});
}

GraphVertex::Turn GraphVertex::renderOn(Stage stage, CollisionInfos& infos) {
    switch (GraphVertexType(type)) {
    case vertexObject:
        return renderObject(stage, infos);
    case vertexTransform:
        return renderTransform(stage);
    case vertexBranch:
        return renderBranch(stage);
    case vertexPassThrough:
        return renderPassingOn(stage);
    case vertexEmpty:
        break;
    }
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::renderObject(Stage stage, CollisionInfos& infos) {
    if (stage == Stage::enter) {
        glPushMatrix();
        GraphVertexTransform placement = object.getTransformation();
        placement.apply();
        object.draw(infos);
        // A composed object's subtree is drawn in the object's frame, after it.
        return {object.getComposed() ? first : nullptr, false};
    }
    glPopMatrix();
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::renderTransform(Stage stage) {
    if (stage == Stage::enter) {
        glPushMatrix();
        transformation.apply();
        return {first, false};
    }
    glPopMatrix();
    return {nullptr, true};
}

GraphVertex::Turn GraphVertex::renderPassingOn(Stage stage) {
    return {stage == Stage::enter ? first : nullptr, stage != Stage::enter};
}

GraphVertex::Turn GraphVertex::renderBranch(Stage stage) {
    switch (stage) {
    case Stage::enter:
        return {first, false};
    case Stage::afterFirst:
        return {second, false};
    case Stage::afterSecond:
        break;
    }
    return {nullptr, true};
}
