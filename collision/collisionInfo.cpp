#include "collision/collisionInfo.h"

#include "entities/modelKind.h"

CollisionInfo::CollisionInfo() : CollisionInfo(-1) {}

CollisionInfo::CollisionInfo(int index)
    : calculated(false), index(index), x(0), y(0), z(0), type(0), collision(false),
      collisionType(0) {}

float CollisionInfo::getRadius() const {
    // A record whose type was never filled in, or names no kind, sits at a point.
    const ModelKindFacts* facts = modelKindFacts(type);
    return facts != nullptr ? facts->collisionRadius : 0.0f;
}

bool operator==(const CollisionInfo& a, const CollisionInfo& b) {
    // Coordinates compare as floats on purpose: a NaN centre equals nothing, itself included.
    return a.calculated == b.calculated && a.index == b.index && a.x == b.x && a.y == b.y &&
           a.z == b.z && a.type == b.type && a.collision == b.collision &&
           a.collisionType == b.collisionType;
}
