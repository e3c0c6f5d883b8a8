// The game's projection. A wider window widens the view instead of stretching it; the opening
// size gives back the game's own projection bit for bit, and a window with no area keeps the
// projection it had. Far shots skip their display lists only when the whole sphere lies past
// the far plane, and every list so skipped would have left the frame untouched.

#include "app/windowShape.h"
#include "assets/geometries.h"
#include "entities/farPlane.h"
#include "support/feedback.h"
#include "support/glContext.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using Matrix = std::array<float, 16>;

// A frame `depth` units ahead of the eye, turned by `degrees` about Y and scaled by `scale`.
Matrix frameAhead(float depth, float scale = 1.0f, float degrees = 0.0f) {
    const float c = std::cos(degrees * 3.14159265f / 180.0f) * scale;
    const float s = std::sin(degrees * 3.14159265f / 180.0f) * scale;
    return {c, 0, -s, 0, 0, scale, 0, 0, s, 0, c, 0, 0, 0, -depth, 1};
}

TEST(FarPlane, aMeshIsSkippedOnlyWhenItsWholeSphereLiesPastTheFarPlane) {
    Matrix projective = frameAhead(900.0f), halfWeight = frameAhead(420.0f),
           quarterWeight = frameAhead(60.0f);
    projective[11] = -1.0f;
    halfWeight[15] = 2.0f;     // the origin is 210 units ahead
    quarterWeight[15] = 0.25f; // and this one 240
    struct Row {
        const char* name;
        Matrix modelView;
        float reach;
        bool beyond;
    };
    for (const Row& row : {Row{"wellInFront", frameAhead(100.0f), 2.0f, false},
                           Row{"straddlingThePlane", frameAhead(201.0f), 2.0f, false},
                           Row{"whollyPastThePlane", frameAhead(205.0f), 2.0f, true},
                           Row{"turnedAndStillPast", frameAhead(205.0f, 1.0f, 37.0f), 2.0f, true},
                           Row{"scaleWidensTheSphere", frameAhead(203.0f, 1.1f), 2.0f, false},
                           Row{"behindTheEye", frameAhead(-500.0f), 2.0f, false},
                           Row{"aPointPastThePlane", frameAhead(300.0f), 0.0f, true},
                           Row{"unknownReachIsAlwaysDrawn", frameAhead(900.0f), -1.0f, false},
                           Row{"projectiveFrameIsAlwaysDrawn", projective, 2.0f, false},
                           Row{"homogeneousWeightIsDividedOut", halfWeight, 2.0f, true},
                           Row{"evenASmallWeight", quarterWeight, 2.0f, true}}) {
        EXPECT_EQ(liesBeyondFarPlane(row.modelView.data(), row.reach), row.beyond) << row.name;
    }
}

TEST_F(GlTest, everyListSkippedJustPastTheFarPlaneWouldHaveDrawnNothing) {
    ASSERT_EQ(chdir(ZEPH_BUILD_DIR), 0); // where the generated art lies
    Geometries g;
    testing::internal::CaptureStdout();
    g.init();
    testing::internal::GetCapturedStdout();
    glViewport(0, 0, 64, 64);
    setPerspective(640.0f / 480.0f);
    glEnable(GL_DEPTH_TEST);
    // Pixels whose depth the list wrote, drawn in the given frame.
    const auto pixelsDrawn = [](unsigned int list, const Matrix& frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadMatrixf(frame.data());
        glCallList(list);
        std::vector<float> depth(64 * 64);
        glReadPixels(0, 0, 64, 64, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return std::count_if(depth.begin(), depth.end(), [](float d) { return d < 1.0f; });
    };
    using Kind = std::tuple<const char*, unsigned int, float>;
#define ZEPH_KIND(k) Kind(#k, g.k##List, g.k##Reach)
    for (const auto& [name, list, reach] :
         {ZEPH_KIND(rocket3d), ZEPH_KIND(laser), ZEPH_KIND(toutatis), ZEPH_KIND(golevka),
          ZEPH_KIND(brakiri), ZEPH_KIND(clipper)}) {
        SCOPED_TRACE(name);
        ASSERT_GT(reach, 0.0f);
        // Near enough, the list does draw: the check below can see a drawn mesh.
        EXPECT_GT(pixelsDrawn(list, frameAhead(reach * 4.0f + 1.0f)), 0);
        for (float degrees : {0.0f, 60.0f, 135.0f, 210.0f, 300.0f}) {
            // The first depth, in steps of a hundredth of the reach, at which it is skipped;
            // eight times its size, the mesh is pixels wide out there.
            float depth = float(farPlaneDistance);
            while (!liesBeyondFarPlane(frameAhead(depth, 8.0f, degrees).data(), reach)) {
                depth += reach * 0.01f;
            }
            EXPECT_EQ(pixelsDrawn(list, frameAhead(depth, 8.0f, degrees)), 0) << degrees;
        }
    }
}

std::vector<float> projection() {
    return glFloats(GL_PROJECTION_MATRIX);
}

TEST_F(GlTest, reshapingKeepsTheVerticalFieldAndFollowsTheWindowsAspect) {
    setPerspective(640.0f / 480.0f);
    const std::vector<float> opening = projection();
    reshapeWindow(1024, 576);
    const std::vector<float> wide = projection();
    EXPECT_TRUE(wide[5] == opening[5] && wide[10] == opening[10] && wide[14] == opening[14]);
    EXPECT_FLOAT_EQ(wide[5] / wide[0], 1024.0f / 576.0f);
    std::array<int, 5> viewport{}; // and the matrix mode
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    glGetIntegerv(GL_MATRIX_MODE, &viewport[4]);
    EXPECT_EQ(viewport, (std::array<int, 5>{0, 0, 1024, 576, GL_MODELVIEW}));
    reshapeWindow(640, 480); // back to the opening shape, bit for bit
    EXPECT_EQ(projection(), opening);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<int, 5>{0, 0, 640, 480, GL_MODELVIEW}));
    reshapeWindow(300, 0);
    reshapeWindow(0, 300);
    EXPECT_EQ(projection(), opening);
}

} // namespace
