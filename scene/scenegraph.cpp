#include "scene/scenegraph.h"

#include "app/windowSystem.h"
#include "scene/frameClock.h"

#include <GL/gl.h>

SceneGraph::SceneGraph() = default;

SceneGraph::~SceneGraph() = default;

void SceneGraph::initTest() {
    camera = Camera();
    counterLast = frameClockNow();
}

void SceneGraph::manageFire(bool /*rocket*/, bool /*laser*/) {}

void SceneGraph::move(bool up, bool down, bool left, bool right, bool pageDown, bool pageUp,
                      int dx, int dy) {
    // The camera takes Page Up before Page Down.
    camera.move(frameTime, up, down, left, right, pageUp, pageDown, dx, dy);
}

void SceneGraph::render(bool /*showSkybox*/) {
    counterNow = frameClockNow();
    frequency = frameClockFrequency();
    frameTime = double(counterNow - counterLast) / double(frequency);
    counterLast = counterNow;
    fps = 1.0 / frameTime;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    camera.setCamera();
    windowSystem().swapBuffers();
}
