#include "scene/graphVertexTransform.h"

#include <GL/gl.h>
#include <cmath>

namespace {
constexpr double degreesToRadians = 3.14159265358979323846 / 180.0;
}

GraphVertexTransform::GraphVertexTransform()
    : directionOutdated(true), directionXZ(0), directionYZ(0), directionZZ(1), directionXY(0),
      directionYY(1), directionZY(0), directionXX(1), directionYX(0), directionZX(0), alphaX(0),
      alphaY(0), alphaZ(0), x(0), y(0), z(0), scaleX(1.1f), scaleY(1.1f), scaleZ(1.1f) {}

void GraphVertexTransform::copy(GraphVertexTransform other) {
    x = other.x;
    y = other.y;
    z = other.z;
    alphaX = other.alphaX;
    alphaY = other.alphaY;
    alphaZ = other.alphaZ;
    scaleX = other.scaleX;
    scaleY = other.scaleY;
    scaleZ = other.scaleZ;
    directionOutdated = true;
}

void GraphVertexTransform::apply() {
    glTranslatef(x, y, z);
    glRotatef(alphaX, 1, 0, 0);
    glRotatef(alphaY, 0, 1, 0);
    glRotatef(alphaZ, 0, 0, 1);
    glScalef(scaleX, scaleY, scaleZ);
}

void GraphVertexTransform::composeTranslations(float a, float b, float c) {
    x += a;
    y += b;
    z += c;
}

void GraphVertexTransform::composeRotationsX(float a) {
    alphaX += a;
    directionOutdated = true;
}

void GraphVertexTransform::composeRotationsY(float a) {
    alphaY += a;
    directionOutdated = true;
}

void GraphVertexTransform::composeRotationsZ(float a) {
    alphaZ += a;
    directionOutdated = true;
}

void GraphVertexTransform::composeScalings(float a, float b, float c) {
    scaleX *= a;
    scaleY *= b;
    scaleZ *= c;
}

void GraphVertexTransform::inverseTransformation() {
    x = -x;
    y = -y;
    z = -z;
    alphaX = -alphaX;
    alphaY = -alphaY;
    alphaZ = -alphaZ;
    directionOutdated = true;
}

// The columns of Rx(alphaX) * Ry(alphaY) * Rz(alphaZ), the rotation that apply builds, worked
// out in closed form so that no OpenGL context is needed to read a direction.
void GraphVertexTransform::updateDirection() {
    const double cx = std::cos(alphaX * degreesToRadians), sx = std::sin(alphaX * degreesToRadians);
    const double cy = std::cos(alphaY * degreesToRadians), sy = std::sin(alphaY * degreesToRadians);
    const double cz = std::cos(alphaZ * degreesToRadians), sz = std::sin(alphaZ * degreesToRadians);
    directionXZ = float(sy);
    directionYZ = float(-sx * cy);
    directionZZ = float(cx * cy);
    directionXY = float(-cy * sz);
    directionYY = float(cx * cz - sx * sy * sz);
    directionZY = float(sx * cz + cx * sy * sz);
    directionXX = float(cy * cz);
    directionYX = float(sx * sy * cz + cx * sz);
    directionZX = float(sx * sz - cx * sy * cz);
}

void GraphVertexTransform::refreshDirection() {
    if (directionOutdated) {
        updateDirection();
        directionOutdated = false;
    }
}

float GraphVertexTransform::getDirectionXZ() { refreshDirection(); return directionXZ; }
float GraphVertexTransform::getDirectionYZ() { refreshDirection(); return directionYZ; }
float GraphVertexTransform::getDirectionZZ() { refreshDirection(); return directionZZ; }
float GraphVertexTransform::getDirectionXY() { refreshDirection(); return directionXY; }
float GraphVertexTransform::getDirectionYY() { refreshDirection(); return directionYY; }
float GraphVertexTransform::getDirectionZY() { refreshDirection(); return directionZY; }
float GraphVertexTransform::getDirectionXX() { refreshDirection(); return directionXX; }
float GraphVertexTransform::getDirectionYX() { refreshDirection(); return directionYX; }
float GraphVertexTransform::getDirectionZX() { refreshDirection(); return directionZX; }
