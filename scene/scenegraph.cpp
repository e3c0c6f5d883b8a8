#include "scene/scenegraph.h"

#include "app/console.h"
#include "app/windowSystem.h"
#include "assets/geometries.h"
#include "scene/frameClock.h"

#include <GL/gl.h>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Where every factory puts its entity: moved, then turned about X, Y and Z in that order.
GraphVertexTransform placedAt(float x, float y, float z, float alphaX, float alphaY,
                              float alphaZ) {
    GraphVertexTransform placement;
    placement.composeTranslations(x, y, z);
    placement.composeRotationsX(alphaX);
    placement.composeRotationsY(alphaY);
    placement.composeRotationsZ(alphaZ);
    return placement;
}

// A shot leaves from the cockpit, 3 units below it and `ahead` units in front of it.
GraphVertexTransform launchPlacement(const Cockpit& cockpit, float ahead) {
    GraphVertexTransform launch;
    launch.copy(cockpit.getTransformation());
    const float x = -3 * launch.getDirectionXY() - ahead * launch.getDirectionXZ();
    const float y = -3 * launch.getDirectionYY() - ahead * launch.getDirectionYZ();
    const float z = -3 * launch.getDirectionZY() - ahead * launch.getDirectionZZ();
    launch.composeTranslations(x, y, z);
    return launch;
}

// A list that could not be made is 0, and there is nothing to call then.
void callList(unsigned int list) {
    if (list != 0) {
        glCallList(list);
    }
}

std::string fpsText(double fps) {
    const int length = std::snprintf(nullptr, 0, "fps: %lf", fps);
    std::string text(std::size_t(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), "fps: %lf", fps);
    text.resize(std::size_t(length));
    return text;
}

// Rockets and lasers are spawned alike; they differ in kind and in how far ahead they start.
template <class Projectile> void spawnProjectile(SceneGraph& world, float ahead) {
    const int index = world.addModel();
    Projectile projectile;
    const GraphVertexTransform launch = launchPlacement(world.cockpit, ahead);
    Model entity(projectile, launch, world.geometries, index);
    // The entity jumps to its launch placement at its first update.
    world.addVertex(new GraphVertex(entity, GraphVertexTransform()));
}

} // namespace

SceneGraph::SceneGraph() = default;

// The root lets go of the whole tree as it is destroyed; the display lists and textures die
// with the window.
SceneGraph::~SceneGraph() { delete geometries; }

int SceneGraph::addModel() { return collisionInfos.addModel(); }

// The tree grows at the top: the old root moves into a heap node that becomes the first
// subtree of the new root, so walks meet the oldest entities first.
void SceneGraph::addVertex(GraphVertex* node) {
    GraphVertex* previousRoot = new GraphVertex(root);
    root = GraphVertex(previousRoot, node);
    if (consoleOn()) {
        std::cout << "\n on a reussi a en faire un vertex ajout\xE9";
    }
}

GraphVertex* SceneGraph::addBrakiri(float x, float y, float z, float alphaX, float alphaY,
                                    float alphaZ) {
    const int index = addModel();
    Model entity(Brakiri(), geometries, index);
    return new GraphVertex(entity, placedAt(x, y, z, alphaX, alphaY, alphaZ));
}

GraphVertex* SceneGraph::addClipper(float x, float y, float z, float alphaX, float alphaY,
                                    float alphaZ) {
    const int index = addModel();
    Model entity(Clipper(), geometries, index);
    return new GraphVertex(entity, placedAt(x, y, z, alphaX, alphaY, alphaZ));
}

// kind 1 is a Toutatis, 2 a Golevka, 3 a Castalia (which never collides); any other number
// gives an entity of no kind.
GraphVertex* SceneGraph::addAsteroid3d(int kind, bool followCockpit, float x, float y, float z,
                                       float alphaX, float alphaY, float alphaZ) {
    Model entity;
    if (kind == 1) {
        const int index = addModel();
        entity = Model(Toutatis(followCockpit), geometries, index);
    } else if (kind == 2) {
        const int index = addModel();
        entity = Model(Golevka(followCockpit), geometries, index);
    } else if (kind == 3) {
        entity = Model(Castalia(), geometries);
    }
    return new GraphVertex(entity, placedAt(x, y, z, alphaX, alphaY, alphaZ));
}

// The group's entity turns the body and the cannon with it and carries the one collision
// record of all three.
GraphVertex* SceneGraph::addAsteroidWithKanone(float x, float y, float z, float alphaX,
                                               float alphaY, float alphaZ) {
    GraphVertex* body = addAsteroid3d(3, false, 0, -0.75f, 0, 0, 0, 0);
    const int index = addModel();
    GraphVertex* cannon =
        new GraphVertex(Model(Kanone3d(), geometries), placedAt(0, 0.75f, 0, 0, 0, 0));
    GraphVertex* pair = new GraphVertex(body, cannon);
    Model group(AsteroidWithKanone(), index);
    return new GraphVertex(group, pair, placedAt(x, y, z, alphaX, alphaY, alphaZ));
}

void SceneGraph::initTest() {
    camera = Camera();
    delete geometries;
    geometries = new Geometries();
    geometries->init();
    counterLast = frameClock().now();

    const int index = addModel();
    root = GraphVertex(Model(Golevka(false), geometries, index), placedAt(-3, 3, 0, 0, 0, 0));
    addVertex(addAsteroidWithKanone(3, -3, 0, 0, 0, 0));
    addVertex(addClipper(-2, -2, -15, 0, 0, 0));
    addVertex(addAsteroid3d(2, true, -3, 3, -10, 150, 70, 220));
    addVertex(addAsteroid3d(1, false, 3, 3, -10, 380, 130, 30));
    addVertex(addBrakiri(-3, 3, -15, 10, 250, 80));
}

void SceneGraph::manageFire(bool rocket, bool laser) {
    if (rocket) {
        spawnProjectile<Rocket3d>(*this, 3.5f);
    }
    if (laser) {
        spawnProjectile<Laser>(*this, 5.0f);
    }
}

void SceneGraph::move(bool up, bool down, bool left, bool right, bool pageDown, bool pageUp,
                      int dx, int dy) {
    // The camera takes Page Up before Page Down.
    camera.move(frameTime, up, down, left, right, pageUp, pageDown, dx, dy);
}

void SceneGraph::render(bool showSkybox) {
    measureFrameTime();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // With the identity loaded, the lights stay fixed relative to the eye.
    lights.apply();
    camera.setCamera();
    drawSkybox(showSkybox);
    drawCockpit();
    empty = !root.act(frameTime, cockpit, collisionInfos);
    if (!empty) {
        root.render(collisionInfos);
    } else if (consoleOn()) {
        std::cout << "\vide";
    }
    collisionInfos.print();
    collided = collisionInfos.update();
    windowSystem().swapBuffers();
}

void SceneGraph::measureFrameTime() {
    counterNow = frameClock().now();
    frequency = frameClock().ticksPerSecond();
    frameTime = double(counterNow - counterLast) / double(frequency);
    counterLast = counterNow;
    fps = 1.0 / frameTime;
}

// Pushed and popped even when the sky is off, so the matrix stack never depends on F4.
void SceneGraph::drawSkybox(bool showSkybox) {
    glPushMatrix();
    if (showSkybox) {
        skybox.setSkybox(camera);
        GraphVertexTransform placement = skybox.getTransformation();
        placement.apply();
        if (geometries != nullptr) {
            callList(geometries->skyboxList);
        }
    }
    glPopMatrix();
}

// The frame rate is written in the cockpit's frame, so it travels with the cockpit.
void SceneGraph::drawCockpit() {
    glPushMatrix();
    cockpit.setCockpit(camera);
    GraphVertexTransform placement = cockpit.getTransformation();
    placement.apply();
    if (geometries != nullptr) {
        callList(geometries->cockpitList);
    }
    function.drawString(fpsText(fps).c_str(), -1.0f, 0.0f);
    glPopMatrix();
}
