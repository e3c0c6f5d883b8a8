#include "entities/pursuit.h"

#include "app/function.h"
#include "collision/collisionInfo.h"
#include "view/cockpit.h"

#include <cmath>

void stepTowardCockpit(GraphVertexTransform& transformation, const Cockpit& cockpit,
                       const CollisionInfo& record, const Function& function, float length,
                       float stopDistance) {
    const GraphVertexTransform player = cockpit.getTransformation();
    const float px = player.getX(), py = player.getY(), pz = player.getZ();
    const float dx = px - record.x, dy = py - record.y, dz = pz - record.z;
    const float d = function.distance(px, py, pz, record.x, record.y, record.z);
    // Dividing by a zero or infinite distance would write NaN into the node's placement for
    // good, so such a frame takes no step; a NaN distance fails the comparison the same way.
    if (!(d > stopDistance) || !std::isfinite(d)) {
        return;
    }
    transformation.composeTranslations(dx / d * length, dy / d * length, dz / d * length);
}
