// The player's camera: how keys turn it and change its speed, and how it travels (the view it
// loads shows in the frame cycle's shots, which start at the same spot in the eye's frame).

#include "support/placementChecks.h"

#include "view/camera.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

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
    const GraphVertexTransform& t = camera.transformation;
    expectNear({t.getX(), t.getY(), t.getZ()}, {-16.875f, 3, 20}, 1e-4);
}

// Each frame's step along an axis is the product of that axis component, 10, the speed and the
// frame time rounded to float once: formed in float, it would be a float step or two off in the
// turned rows, and the eye would drift off its course over a long flight.
TEST(Camera, eachStepIsTheProductOfAxisSpeedAndTimeRoundedOnce) {
    using Step = std::array<float, 3>;
    // The turn up and left, the Page Up presses, the frame time and the step taken.
    const std::tuple<const char*, float, float, int, double, Step> rows[] = {
        {"straight", 0, 0, 1, 0.0167, {0, 0, -0.0250500012f}},
        {"30 left", 0, 30, 3, 0.0173, {-0.0389250033f, 0, -0.0674200803f}},
        {"40 up, 130 left", 40, 130, 7, 0.0331, {-0.266238719f, -0.143599287f, 0.171134949f}},
        {"75 up", 75, 0, 2, 0.0331, {0, 0.0959164351f, -0.0257007312f}}};
    for (const auto& [name, turnX, turnY, pageUps, dt, step] : rows) {
        Camera camera;
        camera.transformation = placedAt(0, 0, 0, turnX, turnY);
        for (int i = 0; i < pageUps; ++i) {
            frame(camera, 0, pageUp);
        }
        frame(camera, dt, 0);
        const GraphVertexTransform& t = camera.transformation;
        EXPECT_EQ((Step{t.getX(), t.getY(), t.getZ()}), step) << name;
    }
}

} // namespace
