#include "previewScene.h"

#include "assets/tga.h"
#include "view/lights.h"
#include "view/skybox.h"

#include "artModels.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

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

// Draws one mesh the way the game's mesh drawing does: vertex arrays, per-vertex smooth normals
// summed from the triangles, one indexed draw per material group.
void drawMesh(const art::Mesh3ds& mesh, const std::vector<unsigned>& slots, const unsigned* textures) {
    for (const art::Object3ds& o : mesh.objects) {
        std::vector<float> vertices, normals(o.vertices.size() * 3, 0.0f), uvs;
        for (const art::Vec3& v : o.vertices) {
            vertices.insert(vertices.end(), {float(v.x), float(v.y), float(v.z)});
        }
        for (const auto& t : o.triangles) {
            const float* a = &vertices[t[0] * 3];
            const float* b = &vertices[t[1] * 3];
            const float* c = &vertices[t[2] * 3];
            const float e1[3] = {b[0] - c[0], b[1] - c[1], b[2] - c[2]};
            const float e2[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
            for (int k = 0; k < 3; ++k) {
                for (int i = 0; i < 3; ++i) {
                    normals[t[k] * 3 + i] += n[i];
                }
            }
        }
        for (std::size_t i = 0; i < o.vertices.size(); ++i) {
            float* n = &normals[i * 3];
            float l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            l = l == 0 ? 1 : l;
            n[0] /= l, n[1] /= l, n[2] /= l;
        }
        const bool textured = !o.texCoords.empty();
        for (const auto& uv : o.texCoords) {
            uvs.insert(uvs.end(), {uv[0], uv[1]});
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, vertices.data());
        glNormalPointer(GL_FLOAT, 0, normals.data());
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, uvs.data());
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        for (const art::FaceGroup3ds& g : o.groups) {
            std::size_t m = 0;
            while (mesh.materials[m].name != g.material) {
                ++m;
            }
            const art::Material3ds& mat = mesh.materials[m];
            const float white[4] = {1, 1, 1, 1};
            const float diffuse[4] = {mat.diffuse[0], mat.diffuse[1],
                                      mat.diffuse[2], 1};
            const float ambient[4] = {mat.ambient[0] / 255.0f, mat.ambient[1] / 255.0f,
                                      mat.ambient[2] / 255.0f, 1};
            glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
            if (textured) {
                glMaterialfv(GL_FRONT, GL_AMBIENT, white);
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, textures[slots[m]]);
            } else {
                glDisable(GL_TEXTURE_2D);
                glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
            }
            std::vector<unsigned short> indices;
            for (unsigned short f : g.faces) {
                indices.insert(indices.end(), o.triangles[f].begin(), o.triangles[f].end());
            }
            glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_SHORT, indices.data());
        }
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
}

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
    const std::vector<art::ModelArt> models = art::buildModels();
    bool ok = true;
    for (const KindInfo& info : kindOrder) {
        const std::string file = std::string(info.name) + ".3ds";
        const art::ModelArt* model = nullptr;
        for (const art::ModelArt& m : models) {
            if (m.file == file) {
                model = &m;
            }
        }
        if (model == nullptr) {
            ok = false;
            continue;
        }
        std::vector<unsigned> slots;
        for (const art::Material3ds& mat : model->mesh.materials) {
            slots.push_back(unsigned(slot));
            if (!mat.mapName.empty()) {
                TGA_Texture(textures, ("bin/models/" + mat.mapName).c_str(), slot++);
            }
        }
        Kind kind{info.name, info.scale, 0, glGenLists(1)};
        for (const art::Object3ds& o : model->mesh.objects) {
            for (const art::Vec3& v : o.vertices) {
                kind.radius = std::max(kind.radius, art::length(v));
            }
        }
        glNewList(kind.list, GL_COMPILE);
        glScalef(float(info.scale), float(info.scale), float(info.scale));
        if (kind.name == "cockpit") {
            glDisable(GL_LIGHTING);
        }
        drawMesh(model->mesh, slots, textures);
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

// Two views side by side: from the front left and from behind on the right, each framing the
// model's bounding sphere on a dark grey ground.
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
