#pragma once
// The kinds of game object, one row each: the number that a Model's kind and a CollisionInfo's
// type both carry, and what follows from it (the collision radius, whether the entity reports
// its position, the display list that draws it and how far that list reaches). Everyone who
// asks a kind question reads the row instead of spelling out the numbers again.

#include "assets/geometries.h"

#include <array>
#include <iterator>

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
    float Geometries::*meshReach;          // how far its list draws; skipped past the far plane
};

// Castalia and the cannon never register: a projectile passes through them, and the cannon-
// carrying asteroid is hit through its own record at the centre of the group, which draws no
// mesh of its own.
inline constexpr ModelKindFacts modelKinds[] = {
    {kindAsteroidWithKanone, 2.0f, true, nullptr, nullptr},
    {kindToutatis, 1.77f, true, &Geometries::toutatisList, &Geometries::toutatisReach},
    {kindBrakiri, 5.48f, true, &Geometries::brakiriList, &Geometries::brakiriReach},
    {kindCastalia, 0.0f, false, &Geometries::castaliaList, &Geometries::castaliaReach},
    {kindGolevka, 1.615f, true, &Geometries::golevkaList, &Geometries::golevkaReach},
    {kindClipper, 4.975f, true, &Geometries::clipperList, &Geometries::clipperReach},
    {kindKanone3d, 0.0f, false, &Geometries::kanone3dList, &Geometries::kanone3dReach},
    {kindRocket3d, 2.0f, true, &Geometries::rocket3dList, &Geometries::rocket3dReach},
    {kindLaser, 2.07f, true, &Geometries::laserList, &Geometries::laserReach},
};

// Every kind number is below this.
constexpr int kindNumberLimit = 14;

// The row of each number, or -1: the registry asks for a radius per record every frame.
inline constexpr std::array<int, kindNumberLimit> modelKindRows = [] {
    std::array<int, kindNumberLimit> rows{};
    for (int& row : rows) {
        row = -1;
    }
    for (int row = 0; row < int(std::size(modelKinds)); ++row) {
        rows[std::size_t(modelKinds[row].kind)] = row;
    }
    return rows;
}();

// The row of a kind number; null for a number that names no kind, kindNone included.
constexpr const ModelKindFacts* modelKindFacts(int kind) {
    if (kind < 0 || kind >= kindNumberLimit || modelKindRows[std::size_t(kind)] < 0) {
        return nullptr;
    }
    return &modelKinds[modelKindRows[std::size_t(kind)]];
}
