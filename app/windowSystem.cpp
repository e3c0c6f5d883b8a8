#include "app/windowSystem.h"

#include "app/windowShape.h"

#include <GL/freeglut.h>

namespace {

// Constant-initialised, so that it holds GLUT's calls before any constructor runs.
WindowSystem currentCalls = {glutSwapBuffers, glutBitmapCharacter, glutPostRedisplay,
                             switchFullScreen, glutLeaveMainLoop};

} // namespace

WindowSystem glutWindowSystem() {
    return {glutSwapBuffers, glutBitmapCharacter, glutPostRedisplay, switchFullScreen,
            glutLeaveMainLoop};
}

WindowSystem setWindowSystem(WindowSystem calls) {
    WindowSystem previous = currentCalls;
    currentCalls = calls;
    return previous;
}

const WindowSystem& windowSystem() { return currentCalls; }
