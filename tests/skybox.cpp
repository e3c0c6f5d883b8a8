// The sky box: a cube of 98.6 half edge around the eye, one image stretched over each inner
// face, drawn unlit in white, on the world's axes.

#include "view/skybox.h"

#include "assets/textureSlots.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"
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

Corner backToCube(const FedVertex& v) {
    const float x = (v.x / 32.0f - 1.0f) / shrink;
    const float y = (v.y / 32.0f - 1.0f) / shrink;
    const float z = (v.z * 2.0f - 1.0f) / shrink;
    return {x, y, z, v.tex[0], v.tex[1]};
}

bool sameCorner(const Corner& got, const Corner& want) {
    const float tolerance = 0.05f; // a window coordinate step is about 0.03 of a cube unit
    return std::fabs(got.x - want.x) < tolerance && std::fabs(got.y - want.y) < tolerance &&
           std::fabs(got.z - want.z) < tolerance && got.s == want.s && got.t == want.t;
}

bool sameVertex(const FedVertex& a, const FedVertex& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.tex[0] == b.tex[0] && a.tex[1] == b.tex[1];
}

// OpenGL may hand a quad back as two triangles sharing an edge: join them again. The corners
// of a rebuilt quad keep their texture coordinates, not their drawing order.
std::vector<FedPolygon> quadsOf(const std::vector<FedPolygon>& polygons) {
    std::vector<FedPolygon> quads;
    for (size_t i = 0; i < polygons.size(); ++i) {
        if (polygons[i].size() != 3 || i + 1 == polygons.size()) {
            quads.push_back(polygons[i]);
            continue;
        }
        FedPolygon quad = polygons[i];
        for (const FedVertex& v : polygons[i + 1]) {
            if (std::none_of(quad.begin(), quad.end(),
                             [&](const FedVertex& q) { return sameVertex(q, v); })) {
                quad.push_back(v);
            }
        }
        quads.push_back(quad);
        ++i;
    }
    return quads;
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

TEST_F(GlTest, skyListDrawsSixWhiteQuadsWithTheImageStretchedOverEach) {
    std::array<unsigned int, textureSlotCount> textures{};
    glGenTextures(1, &textures[0]);
    Skybox sky;
    sky.textureIndex = 0;
    const GLuint list = compileSky(sky, textures.data());
    lookThroughProbe();
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D); // as an untextured mesh group leaves it
    glColor3f(1, 0, 0);

    const auto faces =
        quadsOf(feedback(GL_3D_COLOR_TEXTURE, [&] { glCallList(list); }).polygons);

    ASSERT_EQ(faces.size(), 6u) << "one quad per face";
    for (size_t face = 0; face < faces.size(); ++face) {
        SCOPED_TRACE(testing::Message() << "face " << face);
        ASSERT_EQ(faces[face].size(), 4u);
        for (const Corner& want : expectedFaces[face]) {
            int matches = 0;
            for (const FedVertex& fed : faces[face]) {
                matches += sameCorner(backToCube(fed), want) ? 1 : 0;
            }
            EXPECT_EQ(matches, 1) << "corner (" << want.x << ", " << want.y << ", " << want.z
                                  << ") with texture (" << want.s << ", " << want.t << ")";
        }
        // Unlit and white, whatever colour and lighting were current before.
        for (const FedVertex& fed : faces[face]) {
            for (float c : fed.color) {
                EXPECT_FLOAT_EQ(c, 1.0f);
            }
        }
    }
    // The image is drawn whatever the meshes drawn before left; lighting is back on for what
    // follows, the colour stays white and the image stays bound.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    float color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 1.0f);
    EXPECT_FLOAT_EQ(color[1], 1.0f);
    EXPECT_FLOAT_EQ(color[2], 1.0f);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[0]);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, skyListBindsTheTextureOfItsOwnSlotAndHoldsNoScale) {
    std::array<unsigned int, textureSlotCount> textures{};
    glGenTextures(textureSlotCount, textures.data());
    Skybox sky;
    sky.textureIndex = 7;
    const GLuint list = compileSky(sky, textures.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCallList(list);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[7]);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 1.0f);
    EXPECT_FLOAT_EQ(m[5], 1.0f);
    EXPECT_FLOAT_EQ(m[10], 1.0f);
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
    EXPECT_EQ(quadsOf(feedback(GL_3D, [&] { glCallList(list); }).polygons).size(), 6u)
        << "the cube is still drawn";
}

TEST(Skybox, followsTheEyeButNeverTurns) {
    Camera camera;
    camera.transformation = GraphVertexTransform();
    camera.transformation.composeTranslations(10, -4, 7);
    camera.transformation.composeRotationsX(30);
    camera.transformation.composeRotationsY(-75);
    camera.transformation.composeRotationsZ(200);
    camera.transformation.composeScalings(2, 3, 4);

    Skybox sky;
    sky.setSkybox(camera);
    const GraphVertexTransform placed = sky.getTransformation();
    EXPECT_FLOAT_EQ(placed.getX(), 10);
    EXPECT_FLOAT_EQ(placed.getY(), -4);
    EXPECT_FLOAT_EQ(placed.getZ(), 7);
    EXPECT_EQ(placed.getAlphaX(), 0);
    EXPECT_EQ(placed.getAlphaY(), 0);
    EXPECT_EQ(placed.getAlphaZ(), 0);
    EXPECT_FLOAT_EQ(placed.getScaleX(), 1.1f);
    EXPECT_FLOAT_EQ(placed.getScaleY(), 1.1f);
    EXPECT_FLOAT_EQ(placed.getScaleZ(), 1.1f);

    // Placed again from elsewhere, it does not accumulate the earlier position.
    camera.transformation.composeTranslations(1, 1, 1);
    sky.setSkybox(camera);
    EXPECT_FLOAT_EQ(sky.getTransformation().getX(), 11);
    EXPECT_FLOAT_EQ(sky.getTransformation().getZ(), 8);
}
