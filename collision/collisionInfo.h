#pragma once
// One bounding sphere of the collision registry: a centre measured each frame by its entity,
// a radius that follows from the entity's kind, the registry index and the last test's marks.

class CollisionInfo {
  public:
    CollisionInfo(); // index -1: free
    explicit CollisionInfo(int index);

    float getRadius() const; // by kind tag; 0 for kinds that never collide

    bool calculated;   // the entity has written a measured position
    int index;         // 1 or more while live, -1 once free
    float x, y, z;     // centre in eye coordinates
    int type;          // kind tag of the owning entity
    bool collision;    // set by the last test pass
    int collisionType; // type of the partner of the last overlap written here
};

bool operator==(const CollisionInfo& a, const CollisionInfo& b);
