#include "previewScene.h"

#include "assets/tga.h"
#include "view/lights.h"
#include "view/skybox.h"

#include "assets/model3ds.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace preview {

std::vector<Shot> shots() {
    std::vector<Shot> list;
    for (const char* name : {"golevka", "toutatis", "castalia", "kanone", "brakiri", "clipper",
                             "rocket", "laser"}) {
        list.push_back({name, ShotKind::model, name, 960, 480});
    }
    list.push_back({"cockpit-model", ShotKind::model, "cockpit", 960, 480});
    list.push_back({"asteroid-with-kanone", ShotKind::group, "", 480, 480});
    list.push_back({"cockpit", ShotKind::cockpit, "", 640, 480});
    list.push_back({"game-view", ShotKind::gameView, "", 640, 480});
    list.push_back({"sky-corner", ShotKind::skyCorner, "", 640, 480});
    return list;
}

namespace {

// The game's per-kind scale (its scaleCoeff), and its load order, which fixes texture slots.
struct KindInfo {
    const char* name;
    double scale;
};
const KindInfo kindOrder[] = {{"toutatis", 1.0},  {"cockpit", 0.1f},  {"rocket", 0.1f},
                              {"clipper", 0.05f}, {"brakiri", 0.02f}, {"castalia", 3.0},
                              {"golevka", 5.0},   {"kanone", 0.01f},  {"laser", 0.1f}};

const double nodeScale = 1.1f;

void perspective(double aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 0.1f, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void gameState() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
}

void applyGameLights() {
    Lights lights;
    lights.apply();
}

} // namespace

bool Scene::load() {
    gameState();
    Skybox sky;
    int slot = sky.loadTexture(0, textures);
    skyList = glGenLists(1);
    glNewList(skyList, GL_COMPILE);
    sky.initDisplayList(textures);
    glEndList();
    bool ok = true;
    for (const KindInfo& info : kindOrder) {
        const std::string file = std::string("bin/models/") + info.name + ".3ds";
        // The game's own reader and drawing, compiled into a list as the asset registry does.
        Model_3DS model;
        const int used = model.Load(file.c_str(), slot, textures);
        slot += used;
        Kind kind{info.name, info.scale, 0, {0, 0, 0}, glGenLists(1)};
        double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
        for (int o = 0; o < model.numObjects; ++o) {
            const Object_3DS& object = model.objects[o];
            for (int v = 0; v < object.numVerts * 3; ++v) {
                low[v % 3] = std::min(low[v % 3], double(object.vertices[v]));
                high[v % 3] = std::max(high[v % 3], double(object.vertices[v]));
            }
        }
        for (int k = 0; k < 3; ++k) {
            kind.centre[k] = (low[k] + high[k]) / 2;
        }
        for (int o = 0; o < model.numObjects; ++o) {
            const Object_3DS& object = model.objects[o];
            for (int v = 0; v < object.numVerts; ++v) {
                const float* p = object.vertices + 3 * v;
                const double d[3] = {p[0] - kind.centre[0], p[1] - kind.centre[1], p[2] - kind.centre[2]};
                kind.radius = std::max(kind.radius, std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
            }
        }
        if (model.numObjects == 0) {
            std::fprintf(stderr, "artpreview: %s holds no object\n", file.c_str());
            ok = false;
        }
        glNewList(kind.list, GL_COMPILE);
        glScalef(float(info.scale), float(info.scale), float(info.scale));
        if (kind.name == "cockpit") {
            glDisable(GL_LIGHTING); // the cockpit is drawn unlit, in its texture's colours
        }
        model.Draw(textures);
        if (kind.name == "cockpit") {
            glEnable(GL_LIGHTING);
        }
        glEndList();
        kinds.push_back(kind);
    }
    return ok;
}

const Scene::Kind* Scene::find(const std::string& name) const {
    for (const Kind& k : kinds) {
        if (k.name == name) {
            return &k;
        }
    }
    return nullptr;
}

void Scene::render(const Shot& shot) {
    glViewport(0, 0, shot.width, shot.height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gameState();
    glColor3f(1, 1, 1);
    switch (shot.kind) {
    case ShotKind::model:
        if (const Kind* kind = find(shot.model)) {
            drawModelViews(*kind);
        }
        break;
    case ShotKind::group:
        drawGroup();
        break;
    case ShotKind::cockpit:
        drawCockpit();
        break;
    case ShotKind::gameView:
        drawGameView();
        break;
    case ShotKind::skyCorner:
        drawSkyCorner();
        break;
    }
    glFinish();
}

// Two views side by side, from behind on the left and from the front on the right (the game's
// meshes face -Z, away from an unturned eye), each framing the mesh on a dark grey ground.
void Scene::drawModelViews(const Kind& kind) {
    const double drawn = kind.radius * kind.scale * nodeScale;
    const double distance = drawn / std::sin(22.5 * 3.14159265358979 / 180.0) * 1.05;
    const double turns[2] = {-35.0, 145.0};
    for (int view = 0; view < 2; ++view) {
        glViewport(view * 480, 0, 480, 480);
        glEnable(GL_SCISSOR_TEST);
        glScissor(view * 480, 0, 480, 480);
        glClearColor(0.16f, 0.17f, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        perspective(1.0);
        applyGameLights();
        glTranslated(0, 0, -distance);
        glRotated(20, 1, 0, 0);
        glRotated(turns[view], 0, 1, 0);
        const double k = kind.scale * nodeScale;
        glTranslated(-kind.centre[0] * k, -kind.centre[1] * k, -kind.centre[2] * k);
        glScaled(nodeScale, nodeScale, nodeScale);
        glCallList(kind.list);
    }
    glViewport(0, 0, 960, 480);
}

// The cannon-carrying asteroid as the game groups it: two children in a node scaled 1.1.
void Scene::drawGroup() {
    glClearColor(0.16f, 0.17f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    perspective(1.0);
    applyGameLights();
    glTranslated(0, 0, -2.0 / std::sin(22.5 * 3.14159265358979 / 180.0) * 1.05);
    glRotated(15, 1, 0, 0);
    glRotated(-30, 0, 1, 0);
    glScaled(nodeScale, nodeScale, nodeScale);
    const char* children[2] = {"castalia", "kanone"};
    for (int k = 0; k < 2; ++k) {
        if (const Kind* kind = find(children[k])) {
            glPushMatrix();
            glTranslated(0, k == 0 ? -0.75 : 0.75, 0);
            glScaled(nodeScale, nodeScale, nodeScale);
            glCallList(kind->list);
            glPopMatrix();
        }
    }
}

// The cockpit from the player's eye: 4.5 ahead, 0.2 up, at the node's scale, over black.
void Scene::drawCockpit() {
    perspective(640.0f / 480.0f);
    applyGameLights();
    if (const Kind* cockpit = find("cockpit")) {
        glTranslatef(0, 0.2f, -4.5f);
        glScaled(nodeScale, nodeScale, nodeScale);
        glCallList(cockpit->list);
    }
}

// Sky, cockpit and a few of each kind, about as the player sees them at the start.
void Scene::drawGameView() {
    perspective(640.0f / 480.0f);
    applyGameLights();
    glRotated(-12, 0, 1, 0);
    glPushMatrix();
    glScaled(nodeScale, nodeScale, nodeScale);
    glCallList(skyList);
    glPopMatrix();
    glPushMatrix();
    glRotated(12, 0, 1, 0);
    drawCockpit();
    glPopMatrix();
    struct Placed {
        const char* kind;
        double x, y, z, turn;
    };
    const Placed placed[] = {{"golevka", -2.5, 1.2, -12, 30},  {"toutatis", 3.5, -0.5, -14, 60},
                             {"brakiri", -9, 2, -34, -30},     {"clipper", 10, 1.5, -30, 40},
                             {"rocket", 0.6, -1.4, -8, 200},    {"laser", -0.8, -0.6, -10, 190}};
    for (const Placed& p : placed) {
        if (const Kind* kind = find(p.kind)) {
            glPushMatrix();
            glTranslated(p.x, p.y, p.z);
            glRotated(p.turn, 0, 1, 0);
            glScaled(nodeScale, nodeScale, nodeScale);
            glCallList(kind->list);
            glPopMatrix();
        }
    }
    glPushMatrix();
    glTranslated(5, -2, -18);
    glRotated(-20, 0, 1, 0);
    glScaled(nodeScale, nodeScale, nodeScale);
    for (int k = 0; k < 2; ++k) {
        if (const Kind* kind = find(k == 0 ? "castalia" : "kanone")) {
            glPushMatrix();
            glTranslated(0, k == 0 ? -0.75 : 0.75, 0);
            glScaled(nodeScale, nodeScale, nodeScale);
            glCallList(kind->list);
            glPopMatrix();
        }
    }
    glPopMatrix();
}

// Looking into a corner of the sky box, where three faces meet: the seams should not show.
void Scene::drawSkyCorner() {
    perspective(640.0f / 480.0f);
    glRotated(-30, 1, 0, 0);
    glRotated(45, 0, 1, 0);
    glScaled(nodeScale, nodeScale, nodeScale);
    glCallList(skyList);
}

} // namespace preview
