#include "scene/graphVertex.h"

#include "collision/collisionInfos.h"
#include "view/cockpit.h"

#include <GL/gl.h>
#include <vector>

namespace {

long nodesInExistence = 0;

// Where one node of a walk stands: which of its links it has walked so far.
struct WalkStep {
    GraphVertex* node;
    int stage;       // 0: nothing walked yet; each finished link adds one
    bool firstAlive; // act only: what the first link reported
};

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

// The recursive rules of the two walks, unrolled onto a stack of WalkSteps. At each turn the
// step on top either finishes (its result is then in `alive`) or names the link to walk
// before it goes on; a missing link holds nothing alive and draws nothing.
bool GraphVertex::act(double dt, Cockpit cockpit, CollisionInfos& infos) {
    std::vector<WalkStep> steps{{this, 0, false}};
    bool alive = false; // the result of the step that finished last
    while (!steps.empty()) {
        WalkStep& step = steps.back();
        GraphVertex& node = *step.node;
        const int stage = step.stage++;
        GraphVertex* child = nullptr;
        bool finished = false;
        switch (GraphVertexType(node.type)) {
        case vertexObject:
            if (stage == 0) {
                node.object.update(dt, cockpit, infos);
                // A dead entity takes its subtree with it, unvisited; a composed one lives
                // through its subtree.
                alive = node.object.getExist();
                finished = !(alive && node.object.getComposed());
                child = node.first;
            } else {
                spliceOutPassThrough(node.first);
                finished = true;
            }
            break;
        case vertexTransform:
        case vertexPassThrough:
            if (stage == 0) {
                child = node.first;
            } else {
                spliceOutPassThrough(node.first);
                finished = true;
            }
            break;
        case vertexBranch:
            if (stage == 0) {
                child = node.first;
            } else if (stage == 1) {
                step.firstAlive = alive;
                spliceOutPassThrough(node.first);
                child = node.second;
            } else {
                spliceOutPassThrough(node.second);
                alive = node.settleBranch(step.firstAlive, alive);
                finished = true;
            }
            break;
        case vertexEmpty:
        default:
            alive = false;
            finished = true;
            break;
        }
        if (finished) {
            steps.pop_back();
        } else if (child != nullptr) {
            steps.push_back({child, 0, false});
        } else {
            alive = false;
        }
    }
    return alive;
}

void GraphVertex::render(CollisionInfos& infos) {
    std::vector<WalkStep> steps{{this, 0, false}};
    while (!steps.empty()) {
        WalkStep& step = steps.back();
        GraphVertex& node = *step.node;
        const int stage = step.stage++;
        GraphVertex* child = nullptr;
        bool finished = false;
        switch (GraphVertexType(node.type)) {
        case vertexBranch:
            child = stage == 0 ? node.first : stage == 1 ? node.second : nullptr;
            finished = stage == 2;
            break;
        case vertexPassThrough:
            child = stage == 0 ? node.first : nullptr;
            finished = stage == 1;
            break;
        case vertexTransform:
            if (stage == 0) {
                glPushMatrix();
                node.transformation.apply();
                child = node.first;
            } else {
                glPopMatrix();
                finished = true;
            }
            break;
        case vertexObject:
            if (stage == 0) {
                glPushMatrix();
                GraphVertexTransform placement = node.object.getTransformation();
                placement.apply();
                node.object.draw(infos);
                // A composed object's subtree is drawn in the object's frame, after it.
                if (node.object.getComposed()) {
                    child = node.first;
                }
            } else {
                glPopMatrix();
                finished = true;
            }
            break;
        case vertexEmpty:
        default:
            finished = true;
            break;
        }
        if (finished) {
            steps.pop_back();
        } else if (child != nullptr) {
            steps.push_back({child, 0, false});
        }
    }
}
