// The sky box: a cube of 98.6 half edge around the eye, one image stretched over each inner
// face, drawn unlit in white, on the world's axes.

#include "view/skybox.h"

#include "assets/textureSlots.h"
#include "support/feedback.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

struct Corner {
    float x, y, z, s, t;
};

// Each face of the cube in drawing order, its corners with their texture coordinates.
const float S = 98.6f;
const Corner expectedFaces[6][4] = {
    {{-S, S, -S, 0, 1}, {S, S, -S, 1, 1}, {S, -S, -S, 1, 0}, {-S, -S, -S, 0, 0}},
    {{S, -S, S, 0, 1}, {-S, -S, S, 1, 1}, {-S, S, S, 1, 0}, {S, S, S, 0, 0}},
    {{-S, S, -S, 0, 1}, {-S, S, S, 1, 1}, {-S, -S, S, 1, 0}, {-S, -S, -S, 0, 0}},
    {{S, -S, S, 0, 1}, {S, -S, -S, 1, 1}, {S, S, -S, 1, 0}, {S, S, S, 0, 0}},
    {{S, S, S, 0, 1}, {-S, S, S, 1, 1}, {-S, S, -S, 1, 0}, {S, S, -S, 0, 0}},
    {{-S, -S, -S, 0, 1}, {S, -S, -S, 1, 1}, {S, -S, S, 1, 0}, {-S, -S, S, 0, 0}},
};

// The probe's view: identity projection, the cube shrunk by 1/200 so it fits the clip volume,
// and a 64x64 viewport; window coordinates map back to the cube's own.
const float shrink = 1.0f / 200.0f;

// The fed-back corner, in the cube's own units (a window step is about 0.03 of them), matches.
bool matches(const FedVertex& v, const Corner& want) {
    return std::fabs((v.x / 32.0f - 1.0f) / shrink - want.x) < 0.05f &&
           std::fabs((v.y / 32.0f - 1.0f) / shrink - want.y) < 0.05f &&
           std::fabs((v.z * 2.0f - 1.0f) / shrink - want.z) < 0.05f && v.tex[0] == want.s &&
           v.tex[1] == want.t;
}

GLuint compileSky(Skybox& sky, unsigned int* textures) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    sky.initDisplayList(textures);
    glEndList();
    return list;
}

void lookThroughProbe() {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(shrink, shrink, shrink);
}

} // namespace

TEST_F(GlTest, skyListDrawsSixWhiteQuadsWithTheImageOfItsSlotStretchedOverEach) {
    std::array<unsigned int, textureSlotCount> textures{};
    glGenTextures(textureSlotCount, textures.data());
    Skybox sky;
    sky.textureIndex = 7;
    const GLuint list = compileSky(sky, textures.data());
    lookThroughProbe();
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D); // as an untextured mesh group leaves it
    glColor3f(1, 0, 0);

    // OpenGL may hand each quad back whole or as two triangles.
    const auto polygons = feedback(GL_3D_COLOR_TEXTURE, [&] { glCallList(list); }).polygons;
    ASSERT_TRUE(polygons.size() == 6 || polygons.size() == 12) << polygons.size();
    const std::size_t perFace = polygons.size() / 6;
    for (std::size_t face = 0; face < 6; ++face) {
        SCOPED_TRACE(testing::Message() << "face " << face);
        std::vector<FedVertex> fed;
        for (std::size_t i = face * perFace; i < (face + 1) * perFace; ++i) {
            fed.insert(fed.end(), polygons[i].begin(), polygons[i].end());
        }
        for (const Corner& want : expectedFaces[face]) {
            EXPECT_TRUE(std::any_of(fed.begin(), fed.end(),
                                    [&](const FedVertex& v) { return matches(v, want); }))
                << "corner (" << want.x << ", " << want.y << ", " << want.z << ") with texture ("
                << want.s << ", " << want.t << ")";
        }
        // Unlit and white, whatever colour and lighting were current before.
        for (const FedVertex& v : fed) {
            EXPECT_EQ((std::array<float, 3>{v.color[0], v.color[1], v.color[2]}),
                      (std::array<float, 3>{1, 1, 1}));
        }
    }
    // The image is drawn whatever the meshes drawn before left; lighting is back on for what
    // follows, the colour stays white, the image stays bound and the list holds no scale.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1, 1, 1, 1}));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[7]);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], shrink);
    EXPECT_EQ(m[10], shrink);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, skyWhoseSlotLiesPastTheArrayIsDrawnWithoutReadingPastIt) {
    // Exactly the game's array, on the heap, so a read past it is caught.
    std::vector<unsigned int> textures(textureSlotCount, 0);
    Skybox sky;
    testing::internal::CaptureStderr();
    EXPECT_EQ(sky.loadTexture(textureSlotCount, textures.data()), 1);
    const GLuint list = compileSky(sky, textures.data());
    const std::string complaint = testing::internal::GetCapturedStderr();
    EXPECT_NE(complaint.find(std::to_string(textureSlotCount)), std::string::npos) << complaint;
    for (unsigned int id : textures) {
        EXPECT_EQ(id, 0u);
    }
    lookThroughProbe();
    EXPECT_GE(feedback(GL_3D, [&] { glCallList(list); }).polygons.size(), 6u)
        << "the cube is still drawn";
}

TEST(Skybox, followsTheEyeButNeverTurnsNorScales) {
    Skybox sky;
    for (float x : {10.0f, 11.0f}) { // placed again, it does not add the earlier position up
        Camera camera;
        camera.transformation = GraphVertexTransform();
        camera.transformation.composeTranslations(x, -4, 7);
        camera.transformation.composeRotationsX(30);
        camera.transformation.composeRotationsY(-75);
        camera.transformation.composeScalings(2, 3, 4);
        sky.setSkybox(camera);
        const GraphVertexTransform p = sky.getTransformation();
        EXPECT_EQ(
            (std::array<float, 9>{p.getX(), p.getY(), p.getZ(), p.getAlphaX(), p.getAlphaY(),
                                  p.getAlphaZ(), p.getScaleX(), p.getScaleY(), p.getScaleZ()}),
            (std::array<float, 9>{x, -4, 7, 0, 0, 0, 1.1f, 1.1f, 1.1f}));
    }
}
