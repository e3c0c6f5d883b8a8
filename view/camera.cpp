#include "view/camera.h"

#include <GL/glu.h>

Camera::Camera() : speed(0) { transformation.composeTranslations(0, 3, 20); }

void Camera::setCamera() {
    const float upX = transformation.getDirectionXY();
    const float upY = transformation.getDirectionYY();
    const float upZ = transformation.getDirectionZY();
    const float eyeX = transformation.getX();
    const float eyeY = transformation.getY();
    const float eyeZ = transformation.getZ();
    const float centreX = eyeX - 10 * transformation.getDirectionXZ();
    const float centreY = eyeY - 10 * transformation.getDirectionYZ();
    const float centreZ = eyeZ - 10 * transformation.getDirectionZZ();
    gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void Camera::move(double dt, bool up, bool down, bool left, bool right, bool pageUp, bool pageDown,
                  int /*dx*/, int /*dy*/) {
    if (left) {
        transformation.composeRotationsY(float(dt * 8.0));
    }
    if (right) {
        transformation.composeRotationsY(float(dt * -8.0));
    }
    if (up) {
        transformation.composeRotationsX(float(dt * 8.0));
    }
    if (down) {
        transformation.composeRotationsX(float(dt * -8.0));
    }
    // The two keys use 0.15 at different precisions, so they do not cancel exactly.
    if (pageDown) {
        speed = float(speed + 0.15);
    }
    if (pageUp) {
        speed = float(speed - 0.15f);
    }
    transformation.composeTranslations(
        float(double(transformation.getDirectionXZ()) * 10.0 * speed * dt),
        float(double(transformation.getDirectionYZ()) * 10.0 * speed * dt),
        float(double(transformation.getDirectionZZ()) * 10.0 * speed * dt));
}
