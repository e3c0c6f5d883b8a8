#include "app/windowShape.h"

#include "sys/desktopWindow.h"
#include "entities/farPlane.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

PictureArea pictureArea(int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    using Wide = long long;                    // a side times 8 fits whatever the window's size
    if (Wide(width) * 3 >= Wide(height) * 4) { // wider than 4:3: bars left and right
        const int pictureWidth = int((Wide(height) * 8 + 3) / 6); // 4/3 of the height, rounded
        return {(width - pictureWidth) / 2, 0, pictureWidth, height};
    }
    const int pictureHeight = int((Wide(width) * 6 + 4) / 8); // 3/4 of the width, rounded
    return {0, (height - pictureHeight) / 2, width, pictureHeight};
}

void setPerspective(float aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 0.1f, farPlaneDistance);
    glMatrixMode(GL_MODELVIEW);
}

void reshapeWindow(int width, int height) {
    const PictureArea area = pictureArea(width, height);
    glViewport(area.x, area.y, area.width, area.height);
}

namespace {

// The window's place and size before the game covered the screen with it by itself.
struct WindowPlace {
    bool covering = false; // the window covers the screen by the game's doing
    int x = 0, y = 0, width = 0, height = 0;
} before;

} // namespace

void switchFullScreen() {
    if (desktopSwitchesFullScreen()) {
        glutFullScreenToggle();
    } else if (!before.covering) {
        before = {true, glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
                  glutGet(GLUT_WINDOW_HEIGHT)};
        glutPositionWindow(0, 0);
        glutReshapeWindow(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    } else {
        before.covering = false;
        glutPositionWindow(before.x, before.y);
        glutReshapeWindow(before.width, before.height);
    }
}
