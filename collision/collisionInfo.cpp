#include "collision/collisionInfo.h"

CollisionInfo::CollisionInfo() : CollisionInfo(-1) {}

CollisionInfo::CollisionInfo(int index)
    : calculated(false), index(index), x(0), y(0), z(0), type(0), collision(false),
      collisionType(0) {}
