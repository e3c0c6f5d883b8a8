// The cockpit: 4.5 ahead of the eye and 0.2 above, turned with the view, its offset one
// placement late; drawn unlit.

#include "view/cockpit.h"

#include "assets/textureSlots.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <array>

namespace {

Camera cameraAt(float x, float y, float z, float turnY) {
    Camera camera;
    camera.transformation = GraphVertexTransform();
    camera.transformation.composeTranslations(x, y, z);
    camera.transformation.composeRotationsY(turnY);
    return camera;
}

} // namespace

TEST(Cockpit, firstPlacementStandsAheadAndAboveTheDefaultEye) {
    Cockpit cockpit;
    cockpit.setCockpit(Camera());
    const GraphVertexTransform placed = cockpit.getTransformation();
    EXPECT_FLOAT_EQ(placed.getX(), 0.0f);
    EXPECT_FLOAT_EQ(placed.getY(), 3.2f);
    EXPECT_FLOAT_EQ(placed.getZ(), 15.5f);
    EXPECT_EQ(placed.getAlphaX(), 0);
    EXPECT_EQ(placed.getAlphaY(), 0);
    EXPECT_EQ(placed.getAlphaZ(), 0);
    EXPECT_FLOAT_EQ(placed.getScaleX(), 1.1f);
}

TEST(Cockpit, offsetFollowsTheViewOnePlacementLate) {
    Cockpit cockpit;
    // Turned a quarter left from the start: the first offset ignores the turn.
    cockpit.setCockpit(cameraAt(0, 3, 20, 90));
    GraphVertexTransform placed = cockpit.getTransformation();
    EXPECT_NEAR(placed.getX(), 0.0f, 1e-5);
    EXPECT_NEAR(placed.getY(), 3.2f, 1e-5);
    EXPECT_NEAR(placed.getZ(), 15.5f, 1e-5);
    EXPECT_FLOAT_EQ(placed.getAlphaY(), 90); // the angles themselves are the camera's at once

    // Now the quarter turn of the previous placement moves the offset onto -X: the view
    // direction (0, 0, -1) turned 90 degrees about Y is (-1, 0, 0).
    cockpit.setCockpit(cameraAt(0, 3, 20, 180));
    placed = cockpit.getTransformation();
    EXPECT_NEAR(placed.getX(), -4.5f, 1e-5);
    EXPECT_NEAR(placed.getY(), 3.2f, 1e-5);
    EXPECT_NEAR(placed.getZ(), 20.0f, 1e-5);
    EXPECT_FLOAT_EQ(placed.getAlphaY(), 180);

    // And the half turn of that placement puts it behind the original direction.
    cockpit.setCockpit(cameraAt(1, 3, 20, 180));
    placed = cockpit.getTransformation();
    EXPECT_NEAR(placed.getX(), 1.0f, 1e-5);
    EXPECT_NEAR(placed.getZ(), 24.5f, 1e-5);
}

TEST(Cockpit, offsetIsTakenAlongTheTiltedUpAxis) {
    // A camera tilted a quarter turn upward; from the second placement on the offset follows.
    Camera tilted;
    tilted.transformation.composeRotationsX(90);
    Cockpit cockpit;
    cockpit.setCockpit(tilted);
    cockpit.setCockpit(tilted);
    const GraphVertexTransform placed = cockpit.getTransformation();
    // View direction (0, 0, -1) turned up is (0, 1, 0); up (0, 1, 0) becomes (0, 0, 1).
    EXPECT_NEAR(placed.getX(), 0.0f, 1e-5);
    EXPECT_NEAR(placed.getY(), 3.0f + 4.5f, 1e-5);
    EXPECT_NEAR(placed.getZ(), 20.0f + 0.2f, 1e-5);
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
