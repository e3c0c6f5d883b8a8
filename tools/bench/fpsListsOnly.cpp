// The frame-rate comparison's reference: the game's own display lists, loaded by the game's
// asset registry and drawn each frame the way the game draws them (lights, camera, sky box,
// cockpit with the frame-rate text, the six entities of the test scene in their frames), but
// with no game logic: no walk of the tree, no collision registry, no console output.
// Run from the build directory under the same X server as the game (tools/bench/fps.sh).
// Prints its figure on stderr.

#include "fpsWindow.h"

#include "app/function.h"
#include "app/windowSystem.h"
#include "assets/geometries.h"
#include "scene/graphVertexTransform.h"
#include "view/camera.h"
#include "view/cockpit.h"
#include "view/lights.h"
#include "view/skybox.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

namespace {

struct Placed {
    unsigned int Geometries::*list = nullptr;
    GraphVertexTransform placement;
    std::vector<Placed> children; // drawn in this one's frame
};

GraphVertexTransform placedAt(float x, float y, float z, float ax = 0, float ay = 0,
                              float az = 0) {
    GraphVertexTransform t;
    t.composeTranslations(x, y, z);
    t.composeRotationsX(ax);
    t.composeRotationsY(ay);
    t.composeRotationsZ(az);
    return t;
}

Geometries geometries;
Camera camera;
Lights lights;
Cockpit cockpit;
Skybox skybox;
Function function;
std::vector<Placed> scene;
double fps = 0;
std::chrono::steady_clock::time_point last;

// Where the game's entities stand once the game has settled: the first asteroid, the cannon
// group and the Toutatis ahead where they were built; the two ships and the following Golevka
// behind the eye, around the point they close in on (0, 6.2, 35.5).
Placed placed(unsigned int Geometries::*list, GraphVertexTransform placement,
              std::vector<Placed> children = {}) {
    Placed thing;
    thing.list = list;
    thing.placement = placement;
    thing.children = std::move(children);
    return thing;
}

std::vector<Placed> settledTestScene() {
    std::vector<Placed> group{placed(&Geometries::castaliaList, placedAt(0, -0.75f, 0)),
                              placed(&Geometries::kanone3dList, placedAt(0, 0.75f, 0))};
    std::vector<Placed> things;
    things.push_back(placed(&Geometries::golevkaList, placedAt(-3, 3, 0)));
    things.push_back(placed(nullptr, placedAt(3, -3, 0), group));
    things.push_back(placed(&Geometries::clipperList, placedAt(-1, 5, 38)));
    things.push_back(placed(&Geometries::golevkaList, placedAt(0, 6.2f, 35.5f, 150, 70, 220)));
    things.push_back(placed(&Geometries::toutatisList, placedAt(3, 3, -10, 380, 130, 30)));
    things.push_back(placed(&Geometries::brakiriList, placedAt(1, 6, 38, 10, 250, 80)));
    return things;
}

void callList(unsigned int list) {
    if (list != 0) {
        glCallList(list);
    }
}

void draw(const Placed& thing) {
    glPushMatrix();
    GraphVertexTransform placement = thing.placement;
    placement.apply();
    if (thing.list != nullptr) {
        callList(geometries.*thing.list);
    }
    for (const Placed& child : thing.children) {
        draw(child);
    }
    glPopMatrix();
}

void display() {
    const auto now = std::chrono::steady_clock::now();
    fps = 1.0 / std::chrono::duration<double>(now - last).count();
    last = now;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    lights.apply();
    camera.setCamera();
    glPushMatrix();
    skybox.setSkybox(camera);
    GraphVertexTransform sky = skybox.getTransformation();
    sky.apply();
    callList(geometries.skyboxList);
    glPopMatrix();
    glPushMatrix();
    cockpit.setCockpit(camera);
    GraphVertexTransform seat = cockpit.getTransformation();
    seat.apply();
    callList(geometries.cockpitList);
    char text[64];
    std::snprintf(text, sizeof text, "fps: %lf", fps);
    function.drawString(text, -1.0f, 0.0f);
    glPopMatrix();
    for (const Placed& thing : scene) {
        draw(thing);
    }
    windowSystem().swapBuffers();
    fpsWindow::frameDone();
}

} // namespace

int main(int argc, char** argv) {
    fpsWindow::open(argc, argv, "display lists only", display);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0f / 480.0f, 0.1f, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    // The registry's own console lines are not this program's output.
    std::ostringstream quiet;
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());
    geometries.init();
    std::cout.rdbuf(console);
    scene = settledTestScene();
    last = std::chrono::steady_clock::now();
    glutMainLoop();
    return 0;
}
