// Drawing a mesh into a display list, read back through feedback mode (what reaches the
// rasteriser) and through the state the list leaves behind.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <GL/gl.h>

#include <string>
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

Model_3DS read(const Chunk& file, int firstTexture = 0) {
    Model_3DS model;
    model.textureLoader = nullptr;
    const std::vector<unsigned char> bytes = file.bytes();
    model.LoadFromMemory(bytes.data(), bytes.size(), "mesh.3ds", firstTexture, nullptr);
    return model;
}

// A triangle at stored (1, 0, 0), (0, 1, 0), (0, 0, 1), in one group of `material`.
Chunk cornerTriangle(const std::string& name, const std::string& material,
                     const std::vector<Chunk>& extra = {}) {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup(material, {0}));
    std::vector<Chunk> children = {vertexList({{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}), faces};
    children.insert(children.end(), extra.begin(), extra.end());
    return objectWith(name, children);
}

Floats materialOf(GLenum parameter) {
    Floats value(4);
    glGetMaterialfv(GL_FRONT, parameter, value.data());
    return value;
}

void expectAt(const FedVertex& v, Floats at) {
    EXPECT_NEAR(v.x, at[0], 1e-4);
    EXPECT_NEAR(v.y, at[1], 1e-4);
    EXPECT_NEAR(v.z, at[2], 1e-4);
}

const Floats white = {1, 1, 1, 1};

class Model3dsDraw : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glViewport(0, 0, 64, 64);
        glGenTextures(2, &textures[6]);
    }
    GLuint compile(Model_3DS& model) {
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        model.Draw(textures);
        glEndList();
        return list;
    }
    unsigned int textures[20] = {};
};

} // namespace

TEST_F(Model3dsDraw, everyGroupTriangleIsDrawnWithItsTexCoordsAndTheLastTextureStaysBound) {
    Model_3DS model = read(samples::twoMaterialQuad(), 6);
    const Feedback fed = feedbackOf(compile(model));
    ASSERT_EQ(fed.polygons.size(), 2u);
    EXPECT_TRUE(fed.lines.empty());
    // Stored corners (0,0,0) (1,0,0) (1,1,0) (0,1,0), texture coordinates equal to x and y.
    const float expected[2][3][2] = {{{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {1, 1}, {0, 1}}};
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(fed.polygons[t].size(), 3u);
        for (int k = 0; k < 3; ++k) {
            const FedVertex& v = fed.polygons[t][k];
            expectAt(v, {expected[t][k][0], expected[t][k][1], 0});
            EXPECT_EQ((Floats{v.tex[0], v.tex[1]}), (Floats{expected[t][k][0], expected[t][k][1]}));
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint bound = 0, depth = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[7]) << "the blue material's slot";
    EXPECT_EQ(materialOf(GL_DIFFUSE), (Floats{0, 0, 1, 1}));
    EXPECT_EQ(materialOf(GL_AMBIENT), white);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Model3dsDraw, untexturedAndUnknownMaterialsDrawWithoutTexture) {
    Chunk stone = material();
    stone.child(materialName("stone"))
        .child(ambient(byteColor(51, 102, 153)))
        .child(diffuse(byteColor(255, 0, 0)));
    Chunk painted = material();
    painted.child(materialName("painted")).child(textureMap("p.tga"));
    Model_3DS model =
        read(fileWith({painted, stone,
                       cornerTriangle("first", "painted", {texCoords({{0, 0}, {1, 0}, {0, 1}})}),
                       cornerTriangle("second", "stone")}),
             7);
    ASSERT_TRUE(model.objects[0].textured);
    glCallList(compile(model));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(materialOf(GL_DIFFUSE), (Floats{1, 0, 0, 1}));
    const Floats ambient = materialOf(GL_AMBIENT);
    EXPECT_NEAR(ambient[0], 0.2, 1e-6);
    EXPECT_NEAR(ambient[1], 0.4, 1e-6);
    EXPECT_NEAR(ambient[2], 0.6, 1e-6);

    Model_3DS unknown = read(fileWith(
        {materialWith("known", {diffuse(byteColor(0, 255, 0))}), cornerTriangle("o", "unknown")}));
    ASSERT_EQ(unknown.objects[0].faceGroups[0].materialIndex, unknown.numMaterials);
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(feedbackOf(compile(unknown)).polygons.size(), 1u);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(materialOf(GL_DIFFUSE), white);
    EXPECT_EQ(materialOf(GL_AMBIENT), white);
}

TEST_F(Model3dsDraw, anInvisibleModelIssuesNothing) {
    Model_3DS model = read(samples::twoMaterialQuad(), 6);
    model.visible = false;
    model.showNormals = true;
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_NORMAL_ARRAY);
    const GLfloat red[4] = {1, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, red);
    const Feedback fed = feedbackOf(compile(model));
    EXPECT_TRUE(fed.polygons.empty() && fed.lines.empty());
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(materialOf(GL_DIFFUSE), (Floats{1, 0, 0, 1}));
}

TEST_F(Model3dsDraw, theModelScalesTurnsZYXAndMovesItsObjectsTurnedXYZAndMoved) {
    const struct {
        const char* name;
        bool object;
        Floats first, second;
    } rows[] = {
        // (0,1,0) -> 0.5 -> about z: (-0.5,0,0) -> y: (0,0,0.5) -> x: (0,-0.5,0) -> moved.
        {"model", false, {0.25f, 0, 0.5f}, {0.25f, -0.5f, 0}},
        // Inside the scale: (0,1,0) -> about x: (0,0,1) -> y: (1,0,0) -> z: (0,1,0) -> moved
        // by (0,0.25,0) -> halved.
        {"object", true, {0, 0.125f, -0.5f}, {0, 0.625f, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Model_3DS model = read(fileWith({cornerTriangle("o", "")}));
        model.scale = 0.5f;
        (row.object ? model.objects[0].rot : model.rot) = {90, 90, 90};
        if (row.object) {
            model.objects[0].pos = {0, 0.25f, 0};
        } else {
            model.pos = {0.25f, 0, 0};
        }
        const Feedback fed = feedbackOf(compile(model));
        ASSERT_EQ(fed.polygons.size(), 1u);
        expectAt(fed.polygons[0][0], row.first);
        expectAt(fed.polygons[0][1], row.second);
    }
}

TEST_F(Model3dsDraw, normalLinesAreBlueUnlitAndLightingComesBackOnlyIfTheModelIsLit) {
    // No face groups: only the normals are drawn.
    Model_3DS model = read(fileWith({objectWith(
        "o", {vertexList({{0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0.5f}}), faceList({{0, 1, 2}})})}));
    model.showNormals = true;
    model.scale = 0.5f;
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    const Feedback fed = feedbackOf(compile(model));
    ASSERT_EQ(fed.polygons.size(), 0u);
    ASSERT_EQ(fed.lines.size(), 3u);
    // Every normal is (0,0,1), one model unit long before the scale.
    const float corners[3][2] = {{0, 0}, {0.25f, 0}, {0, 0.25f}};
    for (int i = 0; i < 3; ++i) {
        expectAt(fed.lines[i][0], {corners[i][0], corners[i][1], 0});
        expectAt(fed.lines[i][1], {corners[i][0], corners[i][1], 0.5f});
        for (const FedVertex& v : fed.lines[i]) {
            EXPECT_EQ(Floats(v.color, v.color + 4), (Floats{0, 0, 1, 1}));
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    Floats colour(4);
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, white);

    model.lit = false;
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_LIGHTING);
    EXPECT_EQ(feedbackOf(compile(model)).lines.size(), 3u);
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    glEnable(GL_LIGHTING);
    feedbackOf(compile(model));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(Model3dsDraw, mapsTakeTheirSlotsEvenWhenAnImageIsMissing) {
    Scratch folder;
    const std::string mesh = folder.write("quad.3ds", samples::twoMaterialQuad().bytes());
    folder.write("red.tga", tgaFiles::plain(2, 2, 255, 0, 0)); // blue.tga is missing
    unsigned int slots[20] = {};
    slots[7] = 4242;
    Model_3DS model; // with the game's texture loader
    testing::internal::CaptureStderr();
    EXPECT_EQ(model.Load(mesh.c_str(), 6, slots), 2);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(texturePixels(slots[6]),
              (std::vector<unsigned char>{255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}))
        << said;
    EXPECT_EQ(slots[7], 4242u) << "a missing image leaves its slot as it was";
    EXPECT_EQ(model.materials[1].textureIndex, 7);
    EXPECT_NE(said.find("blue.tga"), std::string::npos) << said;
}
