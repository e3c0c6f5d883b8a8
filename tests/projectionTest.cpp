// The game's projection: a wider window widens the view, the opening size gives back the game's
// own projection bit for bit, a window with no area keeps it. Far shots skip their display lists
// only when the whole sphere that holds every vertex of their mesh lies past the far plane.

#include "app/windowShape.h"
#include "entities/farPlane.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/glContext.h"

#include <GL/gl.h>
#include <array>
#include <cmath>
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

// How far a mesh reaches, by hand: its model's offset, plus its scale times the farthest object's
// offset and vertex, all at the list's scale, here 2. The file's (x, y, z) is stored (x, z, -y).
TEST(FarPlane, aMeshReachesItsFarthestVertexAlongEveryAxisPastItsOffsetsAndScales) {
    const struct {
        const char* name;
        chunk3ds::Xyz farthest; // in the file
        Vector_3DS modelAt, objectAt;
        float scale, reach;
    } rows[] = {{"along x", {3, 0, 0}, {}, {}, 1, 6},
                {"along the stored y", {0, 0, -3}, {}, {}, 1, 6},
                {"along the stored z", {0, 3, 0}, {}, {}, 1, 6},
                {"across the axes", {1, -2, 2}, {}, {}, 1, 6},
                {"in a moved, scaled model", {0, 0, 3}, {0, 3, 4}, {}, 0.5f, 13},
                {"in a moved object", {0, 0, 3}, {}, {0, 0, -2}, 1, 10}};
    for (const auto& row : rows) {
        Model_3DS model = chunk3ds::readMesh(chunk3ds::fileWith({chunk3ds::objectWith(
            "o", {chunk3ds::vertexList({{0.5f, 0.5f, 0}, row.farthest, {-1, 0, 0}})})}));
        model.pos = row.modelAt, model.scale = row.scale, model.objects[0].pos = row.objectAt;
        EXPECT_FLOAT_EQ(meshReach(model, 2), row.reach) << row.name;
        model.showNormals = true; // lines a model unit long: not bounded
        EXPECT_EQ(meshReach(model, 2), -1.0f);
    }
}

class ProjectionGl : public GlTest {};

auto projection = [] { return glFloats(GL_PROJECTION_MATRIX); };

TEST_F(ProjectionGl, reshapingKeepsTheVerticalFieldAndFollowsTheWindowsAspect) {
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
