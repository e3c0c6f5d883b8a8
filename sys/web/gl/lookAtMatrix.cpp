#include "sys/web/gl/lookAtMatrix.h"

#include <cmath>

namespace weblayer {

namespace {

struct Vector {
    float x, y, z;
};

Vector cross(Vector a, Vector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A null vector stays null, as GLU leaves it.
Vector normalised(Vector v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) {
        return v;
    }
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

std::array<float, 16> lookAtMatrix(Point eye, Point centre, Point up) {
    const Vector forward = normalised({float(centre.x - eye.x), float(centre.y - eye.y),
                                       float(centre.z - eye.z)});
    const Vector side = normalised(cross(forward, {float(up.x), float(up.y), float(up.z)}));
    const Vector upright = cross(side, forward);
    // The turn's rows are side, upright and backward; then the eye is moved to the origin.
    std::array<float, 16> m = {side.x, upright.x, -forward.x, 0.0f,
                               side.y, upright.y, -forward.y, 0.0f,
                               side.z, upright.z, -forward.z, 0.0f,
                               0.0f,   0.0f,      0.0f,       1.0f};
    const float ex = float(-eye.x), ey = float(-eye.y), ez = float(-eye.z);
    for (int row = 0; row < 3; ++row) {
        m[12 + row] = m[row] * ex + m[4 + row] * ey + m[8 + row] * ez;
    }
    return m;
}

} // namespace weblayer
