#pragma once
// The kinds of game object, one row each: the number that a Model's kind and a CollisionInfo's
// type both carry, and what follows from it (the collision radius, whether the entity reports
// its position, the display list that draws it). Everyone who asks a kind question reads the
// row instead of spelling out the numbers again.

class Geometries;

enum ModelKind : int {
    kindNone = 0, // a record that carries no entity
    kindAsteroidWithKanone = 4,
    kindToutatis = 6,
    kindBrakiri = 7,
    kindCastalia = 8,
    kindGolevka = 9,
    kindClipper = 10,
    kindKanone3d = 11,
    kindRocket3d = 12,
    kindLaser = 13,
};

struct ModelKindFacts {
    ModelKind kind;
    float collisionRadius;  // single precision; 0 for the kinds that never collide
    bool registersPosition; // has a collision record and writes its centre there when drawn
    unsigned int Geometries::*displayList; // the list that draws it; null when it draws no mesh
};

// The row of a kind number; null for a number that names no kind, kindNone included.
const ModelKindFacts* modelKindFacts(int kind);
