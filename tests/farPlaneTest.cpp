// Far shots skip their display lists: the decision is right on plain frames, and every list it
// skips would have left the frame untouched under the game's own projection.

#include "entities/farPlane.h"
#include "app/windowShape.h"
#include "assets/geometries.h"
#include "support/glContext.h"

#include <GL/gl.h>
#include <array>
#include <cmath>
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

struct DecisionRow {
    const char* name;
    Matrix modelView;
    float reach;
    bool beyond;
};

TEST(FarPlane, aMeshIsSkippedOnlyWhenItsWholeSphereLiesPastTheFarPlane) {
    Matrix projective = frameAhead(900.0f);
    projective[11] = -1.0f;
    Matrix halfWeight = frameAhead(420.0f);
    halfWeight[15] = 2.0f; // the origin is 210 units ahead
    const DecisionRow rows[] = {
        {"wellInFront", frameAhead(100.0f), 2.0f, false},
        {"straddlingThePlane", frameAhead(201.0f), 2.0f, false},
        {"whollyPastThePlane", frameAhead(205.0f), 2.0f, true},
        {"turnedAndStillPast", frameAhead(205.0f, 1.0f, 37.0f), 2.0f, true},
        {"theFramesScaleWidensTheSphere", frameAhead(203.0f, 1.1f), 2.0f, false},
        {"behindTheEye", frameAhead(-500.0f), 2.0f, false},
        {"unknownReachIsAlwaysDrawn", frameAhead(900.0f), -1.0f, false},
        {"projectiveFrameIsAlwaysDrawn", projective, 2.0f, false},
        {"homogeneousWeightIsDividedOut", halfWeight, 2.0f, true},
    };
    for (const DecisionRow& row : rows) {
        EXPECT_EQ(liesBeyondFarPlane(row.modelView.data(), row.reach), row.beyond) << row.name;
    }
}

// Runs in the build directory, where the generated art lies.
class FarPlaneLists : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_EQ(chdir(ZEPH_BUILD_DIR), 0);
        testing::internal::CaptureStdout();
        geometries.init();
        testing::internal::GetCapturedStdout();
        glViewport(0, 0, 64, 64);
        setPerspective(640.0f / 480.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
    }

    // Pixels whose depth the list wrote, drawn in the given frame.
    int pixelsDrawn(unsigned int list, const Matrix& frame) {
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadMatrixf(frame.data());
        glPushMatrix();
        glCallList(list);
        glPopMatrix();
        std::vector<float> depth(64 * 64);
        glReadPixels(0, 0, 64, 64, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        int drawn = 0;
        for (float d : depth) {
            drawn += d < 1.0f ? 1 : 0;
        }
        return drawn;
    }

    Geometries geometries;
};

TEST_F(FarPlaneLists, everyListSkippedJustPastThePlaneWouldHaveDrawnNothing) {
    struct Kind {
        const char* name;
        unsigned int list;
        float reach;
    };
    const Kind kinds[] = {
        {"Rocket3d", geometries.rocket3dList, geometries.rocket3dReach},
        {"Laser", geometries.laserList, geometries.laserReach},
        {"Toutatis", geometries.toutatisList, geometries.toutatisReach},
        {"Golevka", geometries.golevkaList, geometries.golevkaReach},
        {"Brakiri", geometries.brakiriList, geometries.brakiriReach},
        {"Clipper", geometries.clipperList, geometries.clipperReach},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_GT(kind.reach, 0.0f);
        // Near enough, the list does draw: the check below can see a drawn mesh.
        EXPECT_GT(pixelsDrawn(kind.list, frameAhead(kind.reach * 4.0f + 1.0f)), 0);
        for (float degrees : {0.0f, 60.0f, 135.0f, 210.0f, 300.0f}) {
            // The first depth, in steps of a hundredth of the reach, at which it is skipped.
            float depth = float(farPlaneDistance);
            while (!liesBeyondFarPlane(frameAhead(depth, 1.1f, degrees).data(), kind.reach)) {
                depth += kind.reach * 0.01f;
            }
            EXPECT_EQ(pixelsDrawn(kind.list, frameAhead(depth, 1.1f, degrees)), 0) << degrees;
        }
    }
}

} // namespace
