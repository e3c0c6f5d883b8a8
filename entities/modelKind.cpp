#include "entities/modelKind.h"

#include "assets/geometries.h"

namespace {

// Castalia and the cannon never register: a projectile passes through them, and the cannon-
// carrying asteroid is hit through its own record at the centre of the group, which draws no
// mesh of its own.
constexpr ModelKindFacts kinds[] = {
    {kindAsteroidWithKanone, 2.0f, true, nullptr},
    {kindToutatis, 1.77f, true, &Geometries::toutatisList},
    {kindBrakiri, 5.48f, true, &Geometries::brakiriList},
    {kindCastalia, 0.0f, false, &Geometries::castaliaList},
    {kindGolevka, 1.615f, true, &Geometries::golevkaList},
    {kindClipper, 4.975f, true, &Geometries::clipperList},
    {kindKanone3d, 0.0f, false, &Geometries::kanone3dList},
    {kindRocket3d, 2.0f, true, &Geometries::rocket3dList},
    {kindLaser, 2.07f, true, &Geometries::laserList},
};

} // namespace

const ModelKindFacts* modelKindFacts(int kind) {
    for (const ModelKindFacts& facts : kinds) {
        if (facts.kind == kind) {
            return &facts;
        }
    }
    return nullptr;
}
