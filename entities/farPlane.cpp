#include "entities/farPlane.h"

#include "assets/model3ds.h"

#include <algorithm>
#include <cmath>

namespace {

double length(float x, float y, float z) {
    return std::sqrt(double(x) * x + double(y) * y + double(z) * z);
}

} // namespace

float meshReach(const Model_3DS& model, float listScale) {
    // Drawn normals stick out of the mesh by a unit of the model's own: not worth bounding.
    if (!model.visible || model.showNormals) {
        return -1.0f;
    }
    // Turns keep lengths, so the object's offset plus its farthest vertex bounds the object,
    // whatever its turns; the model's own offset and scale come on top.
    double farthest = 0.0;
    for (int i = 0; i < model.numObjects; ++i) {
        const Object_3DS& object = model.objects[i];
        double vertexReach = 0.0;
        for (int v = 0; v < object.numVerts; ++v) {
            const float* p = object.vertices + 3 * v;
            vertexReach = std::max(vertexReach, length(p[0], p[1], p[2]));
        }
        farthest =
            std::max(farthest, length(object.pos.x, object.pos.y, object.pos.z) + vertexReach);
    }
    const double reach = (length(model.pos.x, model.pos.y, model.pos.z) +
                          std::fabs(double(model.scale)) * farthest) *
                         std::fabs(double(listScale));
    return std::isfinite(reach) ? float(reach) : -1.0f;
}

bool liesBeyondFarPlane(const float* m, float reach) {
    if (!(reach >= 0.0f) || m[3] != 0.0f || m[7] != 0.0f || m[11] != 0.0f || !(m[15] > 0.0f)) {
        return false;
    }
    // The Frobenius norm of the linear part is at least its largest stretch, so the frame's
    // sphere fits in one of this radius about the frame's origin.
    double stretch = 0.0;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            stretch += double(m[4 * column + row]) * m[4 * column + row];
        }
    }
    const double w = m[15];
    const double radius = std::sqrt(stretch) * reach / w;
    const double depth = -double(m[14]) / w; // distance in front of the eye
    if (!std::isfinite(radius) || !std::isfinite(depth)) {
        return false;
    }
    // A margin for the rounding of the projection and of the list's own matrices.
    return depth - radius * 1.001 > farPlaneDistance * 1.001 + 0.01;
}
