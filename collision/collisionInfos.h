#pragma once
// The collision registry: one record per colliding entity, indexes handed out lowest free
// first, positions taken in every frame, and one pairwise overlap test per frame whose marks
// the entities read in the next frame. Records are never removed; erasing frees the index.

#include "app/function.h"
#include "collision/collisionInfo.h"

#include <vector>

class CollisionInfos {
  public:
    CollisionInfos();

    int addModel();
    int getFirstDispoIndex();
    void replace(CollisionInfo info);
    bool update();
    bool testColli(CollisionInfo a, CollisionInfo b);
    CollisionInfo getInfoIndex(int index);
    void erase(int index);
    void print();

    Function function;
    std::vector<CollisionInfo> infos; // every record ever added, in order of addition
};
