#pragma once
// Helpers for tests of the scene tree: display lists that leave one marker in OpenGL's
// feedback buffer, so the order in which a walk draws entities is read back from OpenGL
// itself, and small node makers.

#include "assets/geometries.h"
#include "collision/collisionInfos.h"
#include "scene/graphVertex.h"

#include "support/feedback.h"
#include "support/placementChecks.h"

#include <GL/gl.h>
#include <vector>

// The display list of a kind with a mesh, Toutatis (6) to the laser (13).
inline unsigned int* listOf(Geometries& g, int kind) {
    unsigned int* lists[] = {&g.toutatisList, &g.brakiriList,  &g.castaliaList, &g.golevkaList,
                             &g.clipperList,  &g.kanone3dList, &g.rocket3dList, &g.laserList};
    return lists[kind - kindToutatis];
}

// Every kind's list only passes its kind number through to the feedback buffer.
inline void compileMarkerLists(Geometries& g) {
    for (int kind = kindToutatis; kind <= kindLaser; ++kind) {
        *listOf(g, kind) = glGenLists(1);
        glNewList(*listOf(g, kind), GL_COMPILE);
        glPassThrough(GLfloat(kind));
        glEndList();
    }
}

// The kinds whose meshes a render of `top` draws, in drawing order.
inline std::vector<int> drawnKinds(GraphVertex& top, CollisionInfos& infos) {
    const std::vector<GLfloat> markers = feedback(GL_3D, [&] { top.render(infos); }).markers;
    return std::vector<int>(markers.begin(), markers.end());
}

// A Castalia never registers and never dies by itself: the plainest living entity.
inline GraphVertex* castaliaNode(Geometries* lists) {
    return new GraphVertex(Model(Castalia(), lists), placedAt(0, 0, 0));
}

// Leaves in the registry the mark a test pass would leave after an overlap with `partnerType`.
inline void markHit(CollisionInfos& infos, int index, int partnerType) {
    CollisionInfo marked = infos.getInfoIndex(index);
    marked.collision = true;
    marked.collisionType = partnerType;
    infos.replace(marked);
}

// An entity of no kind does not exist: its node reports dead at its first update.
inline GraphVertex* deadNode() { return new GraphVertex(Model(), GraphVertexTransform()); }
