#include "collision/collisionInfo.h"

CollisionInfo::CollisionInfo() : CollisionInfo(-1) {}

CollisionInfo::CollisionInfo(int index)
    : calculated(false), index(index), x(0), y(0), z(0), type(0), collision(false),
      collisionType(0) {}

float CollisionInfo::getRadius() const {
    // Castalia (8) and Kanone3d (11) have no sphere of their own: they never register, and a
    // record whose type was never filled in sits at a point.
    switch (type) {
    case 4: // AsteroidWithKanone: the centre of the whole group
        return 2.0f;
    case 6: // Toutatis
        return 1.77f;
    case 7: // Brakiri
        return 5.48f;
    case 9: // Golevka
        return 1.615f;
    case 10: // Clipper
        return 4.975f;
    case 12: // Rocket3d
        return 2.0f;
    case 13: // Laser
        return 2.07f;
    default:
        return 0.0f;
    }
}

bool operator==(const CollisionInfo& a, const CollisionInfo& b) {
    // Coordinates compare as floats on purpose: a NaN centre equals nothing, itself included.
    return a.calculated == b.calculated && a.index == b.index && a.x == b.x && a.y == b.y &&
           a.z == b.z && a.type == b.type && a.collision == b.collision &&
           a.collisionType == b.collisionType;
}
