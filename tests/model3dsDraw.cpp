// Drawing a mesh into a display list, checked through OpenGL's feedback mode (what reaches the
// rasteriser: triangles, lines, positions, colours, texture coordinates) and through the state
// the list leaves behind.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace chunk3ds;
namespace fs = std::filesystem;

namespace {

// What the list hands to the rasteriser, back in normalised device coordinates: the viewport is
// 64 x 64 and both matrices are identities, so window x = 32 * x + 32.
Feedback feedbackOf(GLuint list) {
    Feedback drawn = feedback(GL_3D_COLOR_TEXTURE, [&] { glCallList(list); });
    for (auto* primitives : {&drawn.polygons, &drawn.lines}) {
        for (FedPolygon& primitive : *primitives) {
            for (FedVertex& v : primitive) {
                v = {(v.x - 32) / 32, (v.y - 32) / 32, 2 * v.z - 1, {v.color[0], v.color[1], v.color[2], v.color[3]}, {v.tex[0], v.tex[1], v.tex[2], v.tex[3]}};
            }
        }
    }
    return drawn;
}

GLuint compile(Model_3DS& model, unsigned int* textures) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    model.Draw(textures);
    glEndList();
    return list;
}

Model_3DS read(const Chunk& file, int firstTexture = 0) {
    Model_3DS model;
    model.textureLoader = nullptr;
    const std::vector<unsigned char> bytes = file.bytes();
    model.LoadFromMemory(bytes.data(), bytes.size(), "mesh.3ds", firstTexture, nullptr);
    return model;
}

// A triangle on the stored axes at (1, 0, 0), (0, 1, 0), (0, 0, 1), in one group of `material`.
Chunk cornerTriangle(const std::string& name, const std::string& material,
                     const std::vector<Chunk>& extra = {}) {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup(material, {0}));
    std::vector<Chunk> children = {vertexList({{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}), faces};
    children.insert(children.end(), extra.begin(), extra.end());
    return objectWith(name, children);
}

std::vector<float> materialOf(GLenum parameter) {
    std::vector<float> value(4);
    glGetMaterialfv(GL_FRONT, parameter, value.data());
    return value;
}

void expectAt(const FedVertex& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4);
    EXPECT_NEAR(v.y, y, 1e-4);
    EXPECT_NEAR(v.z, z, 1e-4);
}

const std::vector<float> white = {1, 1, 1, 1};


class Model3dsDraw : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glViewport(0, 0, 64, 64);
        glGenTextures(2, &textures[6]);
    }
    unsigned int textures[20] = {};
};

} // namespace

TEST_F(Model3dsDraw, everyGroupTriangleReachesTheScreenWithItsTexCoords) {
    Model_3DS model = read(samples::twoMaterialQuad(), 6);
    const Feedback fed = feedbackOf(compile(model, textures));
    ASSERT_EQ(fed.polygons.size(), 2u);
    ASSERT_TRUE(fed.lines.empty());
    // Stored quad corners: (0,0,0) (1,0,0) (1,1,0) (0,1,0); groups take triangles 0 then 1.
    const float expected[2][3][2] = {{{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {1, 1}, {0, 1}}};
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(fed.polygons[t].size(), 3u);
        for (int k = 0; k < 3; ++k) {
            const FedVertex& v = fed.polygons[t][k];
            expectAt(v, expected[t][k][0], expected[t][k][1], 0);
            // The quad's texture coordinates equal its x and y.
            EXPECT_NEAR(v.tex[0], expected[t][k][0], 1e-6);
            EXPECT_NEAR(v.tex[1], expected[t][k][1], 1e-6);
        }
    }
}

TEST_F(Model3dsDraw, aTexturedLastGroupLeavesItsTextureBoundAndWhiteAmbient) {
    Model_3DS model = read(samples::twoMaterialQuad(), 6);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glCallList(compile(model, textures));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[7]) << "the blue material's slot";
    EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(materialOf(GL_AMBIENT), white);
    GLint after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, depth);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Model3dsDraw, anUntexturedObjectAfterATexturedOneDrawsWithoutTexture) {
    Chunk stone = material();
    stone.child(materialName("stone")).child(ambient(byteColor(51, 102, 153)))
        .child(diffuse(byteColor(255, 0, 0)));
    Chunk painted = material();
    painted.child(materialName("painted")).child(textureMap("p.tga"));
    Model_3DS model = read(
        fileWith({painted, stone,
                  cornerTriangle("first", "painted",
                                 {texCoords({{0, 0}, {1, 0}, {0, 1}})}),
                  cornerTriangle("second", "stone")}),
        7);
    ASSERT_TRUE(model.objects[0].textured);
    ASSERT_FALSE(model.objects[1].textured);
    glCallList(compile(model, textures));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{1, 0, 0, 1}));
    const std::vector<float> ambient = materialOf(GL_AMBIENT);
    EXPECT_NEAR(ambient[0], 0.2, 1e-6);
    EXPECT_NEAR(ambient[1], 0.4, 1e-6);
    EXPECT_NEAR(ambient[2], 0.6, 1e-6);
}

TEST_F(Model3dsDraw, aGroupOfAnUnknownMaterialIsDrawnWhiteWithoutTexture) {
    Chunk only = material();
    only.child(materialName("known")).child(diffuse(byteColor(0, 255, 0)))
        .child(ambient(byteColor(0, 0, 255)));
    Model_3DS model = read(fileWith({only, cornerTriangle("o", "unknown")}));
    ASSERT_EQ(model.objects[0].faceGroups[0].materialIndex, model.numMaterials);
    glEnable(GL_TEXTURE_2D);
    const Feedback fed = feedbackOf(compile(model, textures));
    EXPECT_EQ(int(fed.polygons.size()), 1);
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
    glDisable(GL_LIGHTING);
    const GLfloat red[4] = {1, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, red);
    const GLuint list = compile(model, textures);
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY)) << "not even the arrays are touched";
    EXPECT_TRUE(feedbackOf(list).polygons.empty());
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{1, 0, 0, 1}));
}

TEST_F(Model3dsDraw, theModelIsScaledThenTurnedAboutZYXThenMoved) {
    Model_3DS model = read(fileWith({cornerTriangle("o", "")}));
    model.scale = 0.5f;
    model.rot = {90, 90, 0};
    model.pos = {0.25f, 0, 0};
    const Feedback fed = feedbackOf(compile(model, textures));
    ASSERT_EQ(fed.polygons.size(), 1u);
    // (1,0,0) -> 0.5 -> about y: (0,0,-0.5) -> about x: (0,0.5,0) -> moved: (0.25,0.5,0).
    expectAt(fed.polygons[0][0], 0.25f, 0.5f, 0);
    // (0,1,0) -> (0,0.5,0) -> about y unchanged -> about x: (0,0,0.5) -> (0.25,0,0.5).
    expectAt(fed.polygons[0][1], 0.25f, 0, 0.5f);
    // (0,0,1) -> (0,0,0.5) -> about y: (0.5,0,0) -> about x unchanged -> (0.75,0,0).
    expectAt(fed.polygons[0][2], 0.75f, 0, 0);
}

TEST_F(Model3dsDraw, anObjectIsTurnedAboutXYZThenMoved) {
    Model_3DS model = read(fileWith({cornerTriangle("o", "")}));
    model.scale = 0.5f;
    model.objects[0].rot = {90, 90, 0};
    model.objects[0].pos = {0, 0.25f, 0};
    const Feedback fed = feedbackOf(compile(model, textures));
    ASSERT_EQ(fed.polygons.size(), 1u);
    // Inside the model's scale of 0.5: (1,0,0) -> about x unchanged -> about y: (0,0,-1) ->
    // moved: (0,0.25,-1) -> scaled: (0,0.125,-0.5).
    expectAt(fed.polygons[0][0], 0, 0.125f, -0.5f);
    // (0,1,0) -> about x: (0,0,1) -> about y: (1,0,0) -> (1,0.25,0) -> (0.5,0.125,0).
    expectAt(fed.polygons[0][1], 0.5f, 0.125f, 0);
}

TEST_F(Model3dsDraw, normalLinesAreBlueUnlitAndLightingComesBack) {
    // An object without face groups still shows its normals.
    Model_3DS model = read(fileWith({objectWith(
        "o", {vertexList({{0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0.5f}}), faceList({{0, 1, 2}})})}));
    model.showNormals = true;
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_TEXTURE_2D);
    model.scale = 0.5f;
    const Feedback fed = feedbackOf(compile(model, textures));
    ASSERT_EQ(int(fed.polygons.size()), 0);
    ASSERT_EQ(int(fed.lines.size()), 3);
    // The triangle lies in the stored x-y plane, winding toward +z: every normal is (0,0,1),
    // one model unit long before the scale.
    const float corners[3][2] = {{0, 0}, {0.5f, 0}, {0, 0.5f}};
    for (int i = 0; i < 3; ++i) {
        const FedPolygon& line = fed.lines[std::size_t(i)];
        expectAt(line[0], corners[i][0] * 0.5f, corners[i][1] * 0.5f, 0);
        expectAt(line[1], corners[i][0] * 0.5f, corners[i][1] * 0.5f, 0.5f);
        for (const FedVertex& v : line) {
            EXPECT_EQ((std::vector<float>(v.color, v.color + 4)), (std::vector<float>{0, 0, 1, 1}))
                << "drawn with lighting off";
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    std::vector<float> colour(4);
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, white);
}

TEST_F(Model3dsDraw, anUnlitModelLeavesLightingAndTheNormalArrayAlone) {
    Model_3DS model = read(fileWith({cornerTriangle("o", "")}));
    model.lit = false;
    model.showNormals = true;
    model.scale = 0.5f; // keeps the lines inside the view
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_LIGHTING);
    const Feedback fed = feedbackOf(compile(model, textures));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(int(fed.lines.size()), 3);
    glEnable(GL_LIGHTING);
    feedbackOf(compile(model, textures));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(Model3dsDraw, mapsTakeTheirSlotsEvenWhenAnImageIsMissing) {
    Scratch folder;
    const std::string mesh = folder.write("quad.3ds", samples::twoMaterialQuad().bytes());
    folder.write("red.tga", tgaFiles::plain(2, 2, 255, 0, 0)); // blue.tga is missing

    unsigned int slots[20] = {};
    slots[7] = 4242;
    Model_3DS model; // the game's texture loader, TGA_Texture
    testing::internal::CaptureStderr();
    const int used = model.Load(mesh.c_str(), 6, slots);
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(used, 2);
    EXPECT_TRUE(glIsTexture(slots[6])) << said;
    EXPECT_EQ(slots[7], 4242u) << "a missing image leaves its slot as it was";
    EXPECT_EQ(model.materials[0].textureIndex, 6);
    EXPECT_EQ(model.materials[1].textureIndex, 7);
    EXPECT_NE(said.find("blue.tga"), std::string::npos) << said;
}
