#include "app/windowSystem.h"

#include <GL/freeglut.h>

namespace {

WindowSystem currentCalls = {glutSwapBuffers, glutBitmapCharacter, glutPostRedisplay};

} // namespace

WindowSystem glutWindowSystem() { return {glutSwapBuffers, glutBitmapCharacter, glutPostRedisplay}; }

WindowSystem setWindowSystem(WindowSystem calls) {
    WindowSystem previous = currentCalls;
    currentCalls = calls;
    return previous;
}

const WindowSystem& windowSystem() { return currentCalls; }
