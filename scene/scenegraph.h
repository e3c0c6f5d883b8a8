#pragma once
// The world: it owns the collision registry, the frame clock readings, the asset registry,
// the camera, the lights, the scene tree, the cockpit and the sky box, builds the test scene
// and runs each frame. Every node it makes belongs to the tree (see graphVertex.h) and the
// asset registry to the world: both are released when the world is destroyed.

#include "app/function.h"
#include "collision/collisionInfos.h"
#include "scene/graphVertex.h"
#include "view/camera.h"
#include "view/cockpit.h"
#include "view/lights.h"
#include "view/skybox.h"

#include <cstdint>

class Geometries;

class SceneGraph {
  public:
    SceneGraph(); // no OpenGL call, no file read: it runs before the window exists
    ~SceneGraph();
    SceneGraph(const SceneGraph&) = delete;
    SceneGraph& operator=(const SceneGraph&) = delete;

    int addModel();
    void addVertex(GraphVertex* node);
    GraphVertex* addBrakiri(float x, float y, float z, float alphaX, float alphaY, float alphaZ);
    GraphVertex* addClipper(float x, float y, float z, float alphaX, float alphaY, float alphaZ);
    GraphVertex* addAsteroid3d(int kind, bool followCockpit, float x, float y, float z,
                               float alphaX, float alphaY, float alphaZ);
    GraphVertex* addAsteroidWithKanone(float x, float y, float z, float alphaX, float alphaY,
                                       float alphaZ);
    void initTest();

    // One frame, in the order the display callback calls them.
    void manageFire(bool rocket, bool laser);
    void move(bool up, bool down, bool left, bool right, bool pageDown, bool pageUp, int dx,
              int dy);
    void render(bool showSkybox);

    CollisionInfos collisionInfos;
    std::int64_t counterNow = 0;
    std::int64_t counterLast = 0;
    std::int64_t frequency = 0;
    double fps = 0;
    Geometries* geometries = nullptr;
    Camera camera;
    Lights lights;
    GraphVertex root;
    Cockpit cockpit;
    Skybox skybox;
    Function function;
    double frameTime = 0; // seconds
    bool empty = false;
    bool collided = false;

  private:
    // Frame steps of render, in the order it runs them.
    void measureFrameTime();
    void drawSkybox(bool showSkybox);
    void drawCockpit();
};
