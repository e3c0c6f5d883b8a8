#include "entities/brakiri.h"

#include "entities/pursuit.h"
#include "view/cockpit.h"

GraphVertexTransform Brakiri::update(double, GraphVertexTransform transformation, Cockpit cockpit,
                                     CollisionInfo record) {
    // Until the ship has been drawn its record holds no position to start from.
    if (record.calculated) {
        stepTowardCockpit(transformation, cockpit, record, function, shipApproachStep,
                          shipHoldDistance);
    }
    return transformation;
}
