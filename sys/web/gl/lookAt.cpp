// Emscripten's own gluLookAt hands the current matrix to its matrix library as the eye and
// leaves the matrix as it was: the game would see its world from the origin, without its
// camera. This one multiplies the matrix GLU describes onto the current one.

#include "sys/web/gl/lookAtMatrix.h"

#include <GL/gl.h>
#include <GL/glu.h>

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    const std::array<float, 16> view = weblayer::lookAtMatrix(
        {eyeX, eyeY, eyeZ}, {centreX, centreY, centreZ}, {upX, upY, upZ});
    glMultMatrixf(view.data());
}
