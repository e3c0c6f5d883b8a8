#pragma once
// Helpers for tests of the scene tree: display lists that leave one marker in OpenGL's
// feedback buffer, so the order in which a walk draws entities can be read back from OpenGL
// itself, and small node makers.

#include "assets/geometries.h"
#include "collision/collisionInfos.h"
#include "scene/graphVertex.h"

#include "support/feedback.h"
#include "support/placementChecks.h"

#include <GL/gl.h>
#include <vector>

// Every kind's list only passes its kind number through to the feedback buffer.
inline void compileMarkerLists(Geometries& lists) {
    struct Entry {
        unsigned int* list;
        int marker;
    };
    const Entry entries[] = {
        {&lists.toutatisList, kindToutatis}, {&lists.brakiriList, kindBrakiri},
        {&lists.castaliaList, kindCastalia}, {&lists.golevkaList, kindGolevka},
        {&lists.clipperList, kindClipper},   {&lists.kanone3dList, kindKanone3d},
        {&lists.rocket3dList, kindRocket3d}, {&lists.laserList, kindLaser},
    };
    for (const Entry& entry : entries) {
        *entry.list = glGenLists(1);
        glNewList(*entry.list, GL_COMPILE);
        glPassThrough(GLfloat(entry.marker));
        glEndList();
    }
}

// The kinds whose meshes a render of `top` draws, in drawing order.
inline std::vector<int> drawnKinds(GraphVertex& top, CollisionInfos& infos) {
    std::vector<int> kinds;
    for (GLfloat marker : feedback(GL_3D, [&] { top.render(infos); }).markers) {
        kinds.push_back(int(marker));
    }
    return kinds;
}

// A Castalia never registers and never dies by itself: the plainest living entity.
inline GraphVertex* castaliaNode(Geometries* lists, float x = 0, float y = 0, float z = 0) {
    return new GraphVertex(Model(Castalia(), lists), placedAt(x, y, z));
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
