// Around the eye: the sky box, a cube of 98.6 half edge, one image on each inner face, unlit and
// white; the cockpit 4.5 ahead and 0.2 above, turned with the view, its offset one frame late.

#include "view/skybox.h"
#include "view/cockpit.h"

#include "assets/textureSlots.h"
#include "support/chunkBuilder.h"
#include "support/console.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/placementChecks.h"
#include "support/scratch.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

bool white(const FedVertex& v) {
    return v.color[0] == 1 && v.color[1] == 1 && v.color[2] == 1;
}

struct Corner {
    float x, y, z, s, t;
};

// The faces in drawing order, in opposite pairs whose second mirrors the first's corners through
// the centre; every face meets the image's corners as (0, 1), (1, 1), (1, 0), (0, 0).
Corner expectedCorner(int face, int corner) {
    const int firstOfPair[3][4][3] = {{{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}},
                                      {{-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}, {-1, -1, -1}},
                                      {{1, 1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, 1, -1}}};
    const int* at = firstOfPair[face / 2][corner];
    const float S = face % 2 == 0 ? 98.6f : -98.6f;
    return {S * at[0], S * at[1], S * at[2], float(corner == 1 || corner == 2), float(corner < 2)};
}

// The probe's view: identity projection, the cube shrunk by 1/200 to fit the clip volume, a
// 64x64 viewport; a fed-back corner matches in the cube's own units (a window step is ~0.03).
const float shrink = 1.0f / 200.0f;
bool matches(const FedVertex& v, const Corner& want) {
    return std::fabs((v.x / 32.0f - 1.0f) / shrink - want.x) < 0.05f &&
           std::fabs((v.y / 32.0f - 1.0f) / shrink - want.y) < 0.05f &&
           std::fabs((v.z * 2.0f - 1.0f) / shrink - want.z) < 0.05f && v.tex[0] == want.s &&
           v.tex[1] == want.t;
}

GLuint compileSkyAndLookThroughProbe(Skybox& sky, unsigned int* textures) {
    const GLuint list = compiled([&] { sky.initDisplayList(textures); });
    glLoadIdentity(); // the projection is the context's fresh identity
    glScalef(shrink, shrink, shrink);
    return list;
}

class SkyAndCockpitGl : public GlTest {};

} // namespace

TEST_F(SkyAndCockpitGl, skyListDrawsSixWhiteQuadsWithTheImageOfItsSlotStretchedOverEach) {
    std::array<unsigned int, textureSlotCount> textures{};
    glGenTextures(textureSlotCount, textures.data());
    Skybox sky;
    Scratch nowhere(true); // no image to read: the slot keeps the texture made above
    stderrOf([&] { sky.loadTexture(0, textures.data()); }); // the first slot is a slot too
    const GLuint list = compileSkyAndLookThroughProbe(sky, textures.data());
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
        for (int corner = 0; corner < 4; ++corner) {
            const Corner want = expectedCorner(int(face), corner);
            EXPECT_TRUE(std::any_of(fed.begin(), fed.end(),
                                    [&](const FedVertex& v) { return matches(v, want); }))
                << want.x << ", " << want.y << ", " << want.z << " at " << want.s << ", " << want.t;
        }
        // Unlit and white, whatever colour and lighting were current before.
        EXPECT_TRUE(std::all_of(fed.begin(), fed.end(), white));
    }
    // The image is drawn whatever the meshes drawn before left; lighting is back on for what
    // follows, the colour stays white, the image stays bound and the list holds no scale.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glFloats(GL_CURRENT_COLOR, 4), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(glFloats(GL_TEXTURE_BINDING_2D, 1)[0], float(textures[0]));
    const std::vector<float> m = glFloats(GL_MODELVIEW_MATRIX);
    EXPECT_TRUE(m[0] == shrink && m[10] == shrink);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SkyAndCockpitGl, skyWhoseSlotLiesPastTheArrayIsDrawnWithoutReadingPastIt) {
    // Exactly the game's array, on the heap, so a read past it is caught.
    std::vector<unsigned int> textures(textureSlotCount, 0);
    Skybox sky;
    GLuint list = 0;
    EXPECT_EQ(stderrOf([&] {
                  EXPECT_EQ(sky.loadTexture(textureSlotCount, textures.data()), 1);
                  list = compileSkyAndLookThroughProbe(sky, textures.data());
              }),
              "texture bin\\texture\\hubble2min.tga: slot 20 is outside the 20 texture slots\n");
    EXPECT_EQ(textures, std::vector<unsigned int>(textureSlotCount, 0));
    EXPECT_GE(feedback(GL_3D, [&] { glCallList(list); }).polygons.size(), 6u)
        << "the cube is still drawn";
}

// The angles are the camera's at once, but the offset is taken along the view and up axes of
// the previous placement: the view (0, 0, -1) turned a quarter about Y is (-1, 0, 0); turned a
// quarter up it is (0, 1, 0), and up becomes (0, 0, 1).
TEST(Cockpit, standsAheadAndAboveTheEyeAlongTheAxesOfThePreviousPlacement) {
    const GraphVertexTransform start = placedAt(0, 3, 20), left = placedAt(0, 3, 20, 0, 90),
                               back = placedAt(0, 3, 20, 0, 180), up = placedAt(0, 3, 20, 90);
    // The eyes placed in turn, and where the cockpit then stands.
    const std::tuple<const char*, std::vector<GraphVertexTransform>, float, float, float> rows[] = {
        {"defaultEye", {start}, 0, 3.2f, 15.5f},
        {"firstTurnIgnored", {left}, 0, 3.2f, 15.5f},
        {"quarterTurnLate", {left, back}, -4.5f, 3.2f, 20},
        {"halfTurnLate", {left, back, placedAt(1, 3, 20, 0, 180)}, 1, 3.2f, 24.5f},
        {"tiltedUp", {up, up}, 0, 7.5f, 20.2f}};
    for (const auto& [name, eyes, x, y, z] : rows) {
        SCOPED_TRACE(name);
        Cockpit cockpit;
        for (const GraphVertexTransform& eye : eyes) {
            Camera camera;
            camera.transformation = eye;
            cockpit.setCockpit(camera);
        }
        const GraphVertexTransform p = cockpit.getTransformation();
        const GraphVertexTransform& eye = eyes.back();
        EXPECT_LT(std::fabs(p.getX() - x) + std::fabs(p.getY() - y) + std::fabs(p.getZ() - z), 3e-5)
            << p.getX() << ", " << p.getY() << ", " << p.getZ();
        EXPECT_EQ((std::array<float, 3>{p.getAlphaX(), p.getAlphaY(), p.getScaleX()}),
                  (std::array<float, 3>{eye.getAlphaX(), eye.getAlphaY(), eye.getScaleX()}));
    }
}

TEST_F(SkyAndCockpitGl, cockpitMeshLoadsAtATenthAndIsDrawnUnlit) {
    Scratch scratch(true);
    scratch.write("bin/models/cockpit.3ds", chunk3ds::meshFile(2));
    std::array<unsigned int, textureSlotCount> textures{};
    Cockpit cockpit;
    EXPECT_EQ(cockpit.load(0, textures.data()), 0);
    EXPECT_EQ(cockpit.getScaleCoeff(), 0.10000000149011612); // the float tenth

    const GLuint list = compiled([&] { cockpit.initDisplayList(textures.data()); });
    // Lit and with no light on, the triangles would only show the dim ambient (0.2); unlit they
    // show white, whatever colour was current before (the red frame-rate text, in the game).
    glEnable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    const auto polygons = feedback(GL_3D_COLOR, [&] { glCallList(list); }).polygons;
    ASSERT_EQ(polygons.size(), 2u);
    for (const auto& polygon : polygons) {
        EXPECT_TRUE(std::all_of(polygon.begin(), polygon.end(), white));
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "lighting is restored after the cockpit";
}
