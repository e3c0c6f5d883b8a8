// A mesh drawn into a display list, read back through feedback and the state it leaves.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/placementChecks.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace chunk3ds;
using Floats = std::vector<float>;

namespace {

// Both matrices are identities and the viewport is 64 x 64: window x = 32 * x + 32.
Feedback feedbackOf(GLuint list) {
    Feedback drawn = feedback(GL_3D_COLOR_TEXTURE, [&] { glCallList(list); });
    for (auto* primitives : {&drawn.polygons, &drawn.lines}) {
        for (FedPolygon& primitive : *primitives) {
            for (FedVertex& v : primitive) {
                v.x = (v.x - 32) / 32, v.y = (v.y - 32) / 32, v.z = 2 * v.z - 1;
            }
        }
    }
    return drawn;
}

// A triangle at stored (1, 0, 0), (0, 1, 0), (0, 0, 1), in one group of `material`.
Chunk cornerTriangle(const std::string& name, const std::string& material,
                     const std::vector<Chunk>& extra = {}) {
    std::vector<Chunk> children = {vertexList({{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}),
                                   faceList({{0, 1, 2}}).child(faceGroup(material, {0}))};
    children.insert(children.end(), extra.begin(), extra.end());
    return objectWith(name, children);
}

Floats materialOf(GLenum parameter) {
    Floats value(4);
    glGetMaterialfv(GL_FRONT, parameter, value.data());
    return value;
}

// Texturing, the texture-coordinate array, lighting and the normal array: which are on.
std::vector<bool> switches(std::size_t count = 3) {
    const std::vector<bool> on = {glIsEnabled(GL_TEXTURE_2D) != 0,
                                  glIsEnabled(GL_TEXTURE_COORD_ARRAY) != 0,
                                  glIsEnabled(GL_LIGHTING) != 0, glIsEnabled(GL_NORMAL_ARRAY) != 0};
    return {on.begin(), on.begin() + long(count)};
}

void expectAt(const FedVertex& v, const Floats& at) {
    expectNear({v.x, v.y, v.z}, at, 1e-4);
}

const Floats white = {1, 1, 1, 1};

class Model3dsDraw : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glViewport(0, 0, 64, 64);
        glGenTextures(2, &textures[6]);
    }
    GLuint compile(Model_3DS& model, bool withTextures = true) {
        return compiled([&] { model.Draw(withTextures ? textures : nullptr); });
    }
    unsigned int textures[20] = {};
};

} // namespace

TEST_F(Model3dsDraw, everyGroupTriangleIsDrawnWithItsTexCoordsAndTheLastTextureStaysBound) {
    Model_3DS model = readMesh(samples::twoMaterialQuad(), 6);
    const Feedback fed = feedbackOf(compile(model));
    EXPECT_TRUE(fed.lines.empty());
    // Stored corners (0,0,0) (1,0,0) (1,1,0) (0,1,0), each vertex's x, y, z, s, t.
    Floats drawn;
    for (const FedPolygon& polygon : fed.polygons) {
        for (const FedVertex& v : polygon) {
            drawn.insert(drawn.end(), {v.x, v.y, v.z, v.tex[0], v.tex[1]});
        }
    }
    expectNear(drawn, {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1,
                       0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0, 1},
               1e-4);
    EXPECT_EQ(switches(), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(glFloats(GL_TEXTURE_BINDING_2D, 1)[0], float(textures[7])) << "the blue one's slot";
    EXPECT_EQ(glFloats(GL_MODELVIEW_STACK_DEPTH, 1)[0], 1);
    EXPECT_EQ(materialOf(GL_DIFFUSE), (Floats{0, 0, 1, 1}));
    EXPECT_EQ(materialOf(GL_AMBIENT), white);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Untextured, unknown and unmapped materials (no map name, a slot past the array, no array).
TEST_F(Model3dsDraw, groupsWithoutAUsableMapDrawTheirMaterialsColoursWithTexturingOff) {
    const Chunk stone =
        materialWith("stone", {ambient(byteColor(51, 102, 153)), diffuse(byteColor(255, 0, 0))});
    const Chunk uv = texCoords({{0, 0}, {1, 0}, {0, 1}});
    auto mapped = [&](std::vector<Chunk> parts) {
        parts.push_back(diffuse(floatColor(1, 0, 0)));
        return fileWith({materialWith("red", parts), cornerTriangle("t", "red", {uv})});
    };
    const Floats red = {1, 0, 0, 1}, dim = {0.2f, 0.4f, 0.6f, 1};
    const std::tuple<const char*, Chunk, int, bool, Floats, Floats> rows[] = {
        {"untextured", fileWith({stone, cornerTriangle("o", "stone", {uv})}), 0, true, red, dim},
        {"after a textured one",
         fileWith({materialWith("painted", {textureMap("p.tga")}), stone,
                   cornerTriangle("first", "painted", {uv}), cornerTriangle("second", "stone")}),
         7, true, red, dim},
        {"unknown", fileWith({stone, cornerTriangle("o", "unknown", {uv})}), 0, true, white, white},
        {"no map name", mapped({}), 0, true, {1, 0, 0, 1}, white},
        {"slot past the last", mapped({textureMap("red.tga")}), 20, true, {1, 0, 0, 1}, white},
        {"no texture array", mapped({textureMap("red.tga")}), 0, false, {1, 0, 0, 1}, white}};
    for (const auto& [name, file, firstTexture, withTextures, diffuse, ambient] : rows) {
        SCOPED_TRACE(name);
        Model_3DS model = readMesh(file, firstTexture);
        ASSERT_TRUE(model.objects[0].textured);
        glEnable(GL_TEXTURE_2D);
        EXPECT_GE(feedbackOf(compile(model, withTextures)).polygons.size(), 1u);
        EXPECT_EQ(switches(2), (std::vector<bool>{false, name[0] != 'a'}))
            << "the last object's coordinates stay on only if it is textured";
        expectNear(materialOf(GL_DIFFUSE), diffuse, 1e-6);
        expectNear(materialOf(GL_AMBIENT), ambient, 1e-6);
    }
}

TEST_F(Model3dsDraw, theModelScalesTurnsZYXAndMovesItsObjectsTurnedXYZAndMoved) {
    const std::tuple<const char*, bool, Vector_3DS, Floats, Floats> rows[] = {
        // (0,1,0) -> 0.5 -> about z: (-0.5,0,0) -> y: (0,0,0.5) -> x: (0,-0.5,0) -> moved.
        {"model", false, {0.25f, 0, 0}, {0.25f, 0, 0.5f}, {0.25f, -0.5f, 0}},
        // Inside the scale: (0,1,0) -> about x: (0,0,1) -> y: (1,0,0) -> z: (0,1,0) -> moved
        // by (0,0.25,0) -> halved.
        {"object", true, {0, 0.25f, 0}, {0, 0.125f, -0.5f}, {0, 0.625f, 0}}};
    for (const auto& [name, object, moved, first, second] : rows) {
        SCOPED_TRACE(name);
        Model_3DS model = readMesh(fileWith({cornerTriangle("o", "")}));
        model.scale = 0.5f;
        (object ? model.objects[0].rot : model.rot) = {90, 90, 90};
        (object ? model.objects[0].pos : model.pos) = moved;
        const Feedback fed = feedbackOf(compile(model));
        ASSERT_EQ(fed.polygons.size(), 1u);
        expectAt(fed.polygons[0][0], first);
        expectAt(fed.polygons[0][1], second);
    }
}

TEST_F(Model3dsDraw, normalLinesRunOutwardAlongTheirNormalsBlueAndUnlitAndLightingReturnsIfLit) {
    // No face groups: only the normals are drawn.
    Model_3DS model = readMesh(fileWith({objectWith(
        "o", {vertexList({{0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0.5f}}), faceList({{0, 1, 2}})})}));
    model.showNormals = true;
    model.scale = 0.5f;
    // Unit normals leaning along every axis, either way; each line runs from its vertex one
    // model unit outward along its normal (half a unit after the scale).
    const float normals[9] = {0.36f, -0.48f, 0.8f, 0.48f, 0.6f, -0.64f, -0.8f, 0.6f, 0};
    std::copy(normals, normals + 9, model.objects[0].normals);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    const Feedback fed = feedbackOf(compile(model));
    ASSERT_EQ(fed.polygons.size(), 0u);
    ASSERT_EQ(fed.lines.size(), 3u);
    const Floats from[3] = {{0, 0, 0}, {0.25f, 0, 0}, {0, 0.25f, 0}},
                 to[3] = {{0.18f, -0.24f, 0.4f}, {0.49f, 0.3f, -0.32f}, {-0.4f, 0.55f, 0}};
    for (int i = 0; i < 3; ++i) {
        expectAt(fed.lines[i][0], from[i]);
        expectAt(fed.lines[i][1], to[i]);
        for (const FedVertex& v : fed.lines[i]) {
            EXPECT_EQ(Floats(v.color, v.color + 4), (Floats{0, 0, 1, 1}));
        }
    }
    EXPECT_EQ(switches(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(glFloats(GL_CURRENT_COLOR, 4), white);

    model.lit = false;
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_LIGHTING);
    EXPECT_EQ(feedbackOf(compile(model)).lines.size(), 3u);
    EXPECT_EQ(switches(4), (std::vector<bool>{false, false, false, false}));
    glEnable(GL_LIGHTING);
    feedbackOf(compile(model));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

// Lit, each vertex is shaded by its own normal: under OpenGL's default light, which shines along
// -z, the two vertices facing +z are fully lit and the one facing +x keeps the ambient 0.2.
TEST_F(Model3dsDraw, aLitMeshShadesEachVertexByItsOwnNormal) {
    Model_3DS model = readMesh(fileWith({cornerTriangle("o", "")}));
    const float normals[9] = {1, 0, 0, 0, 0, 1, 0, 0, 1};
    std::copy(normals, normals + 9, model.objects[0].normals);
    glEnable(GL_LIGHTING), glEnable(GL_LIGHT0);
    const Feedback fed = feedbackOf(compile(model));
    ASSERT_EQ(fed.polygons.size(), 1u);
    Floats reds;
    for (const FedVertex& v : fed.polygons[0]) {
        reds.push_back(v.color[0]);
    }
    expectNear(reds, {0.2f, 1, 1}, 1e-3);
}
