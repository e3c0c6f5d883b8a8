// The cockpit: 4.5 ahead of the eye and 0.2 above, turned with the view, its offset one
// placement late; drawn unlit.

#include "view/cockpit.h"

#include "assets/textureSlots.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/scratch.h"

#include <GL/gl.h>

#include <array>
#include <vector>

namespace {

Camera cameraAt(float x, float turnX, float turnY) {
    Camera camera;
    camera.transformation = GraphVertexTransform();
    camera.transformation.composeTranslations(x, 3, 20);
    camera.transformation.composeRotationsX(turnX);
    camera.transformation.composeRotationsY(turnY);
    return camera;
}

} // namespace

// The angles are the camera's at once, but the offset is taken along the view and up axes of
// the previous placement: the view (0, 0, -1) turned a quarter about Y is (-1, 0, 0); turned a
// quarter up it is (0, 1, 0), and up becomes (0, 0, 1).
TEST(Cockpit, standsAheadAndAboveTheEyeAlongTheAxesOfThePreviousPlacement) {
    struct Row {
        const char* name;
        std::vector<Camera> placements;
        float x, y, z;
    };
    const Row rows[] = {
        {"defaultEye", {Camera()}, 0, 3.2f, 15.5f},
        {"firstTurnIgnored", {cameraAt(0, 0, 90)}, 0, 3.2f, 15.5f},
        {"quarterTurnLate", {cameraAt(0, 0, 90), cameraAt(0, 0, 180)}, -4.5f, 3.2f, 20},
        {"halfTurnLate",
         {cameraAt(0, 0, 90), cameraAt(0, 0, 180), cameraAt(1, 0, 180)},
         1,
         3.2f,
         24.5f},
        {"tiltedUp", {cameraAt(0, 90, 0), cameraAt(0, 90, 0)}, 0, 7.5f, 20.2f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Cockpit cockpit;
        for (const Camera& camera : row.placements) {
            cockpit.setCockpit(camera);
        }
        const GraphVertexTransform placed = cockpit.getTransformation();
        EXPECT_NEAR(placed.getX(), row.x, 1e-5);
        EXPECT_NEAR(placed.getY(), row.y, 1e-5);
        EXPECT_NEAR(placed.getZ(), row.z, 1e-5);
        const GraphVertexTransform& eye = row.placements.back().transformation;
        EXPECT_EQ(placed.getAlphaX(), eye.getAlphaX());
        EXPECT_EQ(placed.getAlphaY(), eye.getAlphaY());
        EXPECT_EQ(placed.getScaleX(), eye.getScaleX());
    }
}

TEST_F(GlTest, cockpitMeshLoadsAtATenthAndIsDrawnUnlit) {
    Scratch scratch(true);
    chunk3ds::TestMesh mesh;
    mesh.triangles = 2;
    scratch.write("bin/models/cockpit.3ds", chunk3ds::meshFile(mesh));
    std::array<unsigned int, textureSlotCount> textures{};
    Cockpit cockpit;
    EXPECT_EQ(cockpit.load(0, textures.data()), 0);
    EXPECT_EQ(cockpit.getScaleCoeff(), 0.10000000149011612);

    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    cockpit.initDisplayList(textures.data());
    glEndList();

    // Lit and with no light on, the triangles would only show the dim ambient (0.2); unlit they
    // show white, whatever colour was current before (the red frame-rate text, in the game).
    glEnable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const auto polygons = feedback(GL_3D_COLOR, [&] { glCallList(list); }).polygons;
    ASSERT_EQ(polygons.size(), 2u);
    for (const auto& polygon : polygons) {
        for (const auto& vertex : polygon) {
            EXPECT_FLOAT_EQ(vertex.color[0], 1.0f);
            EXPECT_FLOAT_EQ(vertex.color[1], 1.0f);
            EXPECT_FLOAT_EQ(vertex.color[2], 1.0f);
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "lighting is restored after the cockpit";
}
