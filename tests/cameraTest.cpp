// The player's camera: how keys turn it and change its speed, how it travels, the view it loads.

#include "support/feedback.h"
#include "support/glContext.h"
#include "support/placementChecks.h"

#include "view/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

enum Key { up = 1, down = 2, left = 4, right = 8, pageUp = 16, pageDown = 32 };

void frame(Camera& camera, double dt, int keys) {
    camera.move(dt, keys & up, keys & down, keys & left, keys & right, keys & pageUp,
                keys & pageDown, 0, 0);
}

// Page Down adds the double 0.15 and Page Up takes away the float 0.15, Page Down first when
// both come in one frame: they do not always cancel.
TEST(Camera, pageKeysAddTheDoubleAndTakeAwayTheFloatFifteenHundredths) {
    Camera camera;
    frame(camera, 0, pageUp | pageDown);
    EXPECT_EQ(camera.speed, 0.0f);
    frame(camera, 0, pageUp);
    frame(camera, 0, pageDown);
    EXPECT_EQ(camera.speed, -0x1.99999ap-28f);
}

// The turn of a frame comes first, so the eye already travels along the new heading.
TEST(Camera, travelsAlongItsZAxisAsTurnedInTheSameFrame) {
    Camera camera;
    frame(camera, 11.25, left | pageUp); // a quarter turn left
    EXPECT_NEAR(camera.transformation.getX(), -16.875f, 1e-4f);
    EXPECT_NEAR(camera.transformation.getY(), 3.0f, 1e-5f);
    EXPECT_NEAR(camera.transformation.getZ(), 20.0f, 1e-4f);
}

// Each frame's step along an axis is the product of that axis component, 10, the speed and the
// frame time rounded to float once: formed in float, it would be a float step or two off in the
// turned rows, and the eye would drift off its course over a long flight.
TEST(Camera, eachStepIsTheProductOfAxisSpeedAndTimeRoundedOnce) {
    const struct {
        const char* name;
        float turnX, turnY;
        int pageUps;
        double dt;
        std::array<float, 3> step;
    } rows[] = {
        {"straight", 0, 0, 1, 0.0167, {0, 0, -0.0250500012f}},
        {"30 left", 0, 30, 3, 0.0173, {-0.0389250033f, 0, -0.0674200803f}},
        {"40 up, 130 left", 40, 130, 7, 0.0331, {-0.266238719f, -0.143599287f, 0.171134949f}},
        {"75 up", 75, 0, 2, 0.0331, {0, 0.0959164351f, -0.0257007312f}}};
    for (const auto& row : rows) {
        Camera camera;
        camera.transformation = placedAt(0, 0, 0, row.turnX, row.turnY);
        for (int i = 0; i < row.pageUps; ++i) {
            frame(camera, 0, pageUp);
        }
        frame(camera, row.dt, 0);
        const GraphVertexTransform& t = camera.transformation;
        EXPECT_EQ((std::array<float, 3>{t.getX(), t.getY(), t.getZ()}), row.step) << row.name;
    }
}

class CameraGl : public GlTest {};

// Loading the view and then the camera's own placement (OpenGL's translate and rotations)
// must bring every point back where it was: the view is the inverse of the placement.
TEST_F(CameraGl, theViewUndoesTheCamerasOwnPlacement) {
    using Placement = std::array<float, 6>; // where, then the turns about X, Y and Z
    for (const Placement& p : {Placement{0, 3, 20, 0, 0, 0}, Placement{1, -2, 3, 30, 0, 0},
                               Placement{-5, 7, 11, 0, 250, 0}, Placement{2, 2, 2, 150, 70, 220},
                               Placement{0, 0, 0, 400, -130, 17}}) {
        Camera camera;
        camera.transformation = placedAt(p[0], p[1], p[2], p[3], p[4], p[5]);
        glLoadIdentity();
        camera.setCamera();
        glTranslatef(p[0], p[1], p[2]);
        glRotatef(p[3], 1, 0, 0);
        glRotatef(p[4], 0, 1, 0);
        glRotatef(p[5], 0, 0, 1);
        const std::vector<float> m = glFloats(GL_MODELVIEW_MATRIX);
        SCOPED_TRACE(testing::Message() << p[3] << ", " << p[4] << ", " << p[5]);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(m[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-5f) << "element " << i;
        }
    }
}

} // namespace
