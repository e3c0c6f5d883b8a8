#pragma once
// The viewing matrix gluLookAt multiplies onto the current one: the eye at `eye`, looking at
// `centre`, `up` tilted into the plane it makes with the line of sight. Column-major, as OpenGL
// takes it. Pure arithmetic, so that it is checked against a desktop's GLU without a browser.

#include <array>

namespace weblayer {

struct Point {
    double x, y, z;
};

// GLU works in floats; so does this, so that both give the same matrix to the last bits the
// floats' rounding allows. An eye on its centre, or an up along the line of sight, gives what
// GLU gives: no turn, only the move.
std::array<float, 16> lookAtMatrix(Point eye, Point centre, Point up);

} // namespace weblayer
