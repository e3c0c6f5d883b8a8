#include "entities/flight.h"

GraphVertexTransform flyFromLaunch(double dt, GraphVertexTransform transformation, bool& launched,
                                   GraphVertexTransform& launchTransformation, double speed) {
    if (!launched) {
        launched = true;
        return launchTransformation;
    }
    const double forwardX = -double(launchTransformation.getDirectionXZ());
    const double forwardY = -double(launchTransformation.getDirectionYZ());
    const double forwardZ = -double(launchTransformation.getDirectionZZ());
    transformation.composeTranslations(float(forwardX * dt * speed), float(forwardY * dt * speed),
                                       float(forwardZ * dt * speed));
    return transformation;
}
