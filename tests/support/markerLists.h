#pragma once
// Scene tree helpers: lists that leave their kind as a feedback marker, and small node makers.

#include "assets/geometries.h"
#include "collision/collisionInfos.h"
#include "scene/graphVertex.h"

#include "support/console.h"
#include "support/feedback.h"
#include "support/placementChecks.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// What an entity's death writes, its record erased.
inline std::string deathLines(int index) {
    return "\non set un existe a false\non esaie d eraser " + std::to_string(index) +
           "\non a reussi d eraser " + std::to_string(index);
}

// The display list of a kind with a mesh, Toutatis (6) to the laser (13).
inline unsigned int* listOf(Geometries& g, int kind) {
    unsigned int* lists[] = {&g.toutatisList, &g.brakiriList,  &g.castaliaList, &g.golevkaList,
                             &g.clipperList,  &g.kanone3dList, &g.rocket3dList, &g.laserList};
    return lists[kind - kindToutatis];
}

// A marker lies at its frame's origin: it reaches no farther, as far as the far plane goes.
inline void compileMarkerLists(Geometries& g) {
    for (int kind = kindToutatis; kind <= kindLaser; ++kind) {
        *listOf(g, kind) = compiled([kind] { glPassThrough(GLfloat(kind)); });
    }
    for (float* reach : {&g.toutatisReach, &g.castaliaReach, &g.golevkaReach, &g.rocket3dReach,
                         &g.clipperReach, &g.brakiriReach, &g.kanone3dReach, &g.laserReach}) {
        *reach = 0;
    }
}

// The markers `action` draws, in drawing order, when nothing but markers is expected.
inline std::vector<int> markersOf(const std::function<void()>& action) {
    const Feedback drawn = feedback(GL_3D, action);
    EXPECT_TRUE(drawn.polygons.empty() && drawn.lines.empty()) << "only markers are expected";
    return std::vector<int>(drawn.markers.begin(), drawn.markers.end());
}

// Every entity's node in the tree below `top`, in walk order (first subtree, then second).
inline std::vector<GraphVertex*> entityNodes(GraphVertex* top) {
    std::vector<GraphVertex*> found;
    const std::function<void(GraphVertex*)> walk = [&](GraphVertex* node) {
        if (node != nullptr) {
            if (node->type == vertexObject) {
                found.push_back(node);
            }
            walk(node->first), walk(node->second);
        }
    };
    walk(top);
    return found;
}

// A Castalia never registers and never dies by itself: the plainest living entity.
inline GraphVertex* castaliaNode(Geometries* lists) {
    return new GraphVertex(Model(Castalia(), lists), placedAt(0, 0, 0));
}

// The mark a test pass leaves after an overlap with `partnerType`.
inline void markHit(CollisionInfos& infos, int index, int partnerType) {
    CollisionInfo marked = infos.getInfoIndex(index);
    marked.collision = true, marked.collisionType = partnerType;
    infos.replace(marked);
}

// An entity of no kind does not exist: its node reports dead at its first update.
inline GraphVertex* deadNode() {
    return new GraphVertex(Model(), GraphVertexTransform());
}
