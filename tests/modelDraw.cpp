// Drawing an entity in a real OpenGL context: which display list it calls (seen through
// feedback mode, where each test list leaves its kind number as a pass-through marker) and
// which eye-space position it reports to the collision registry.

#include "assets/geometries.h"
#include "collision/collisionInfos.h"
#include "entities/model.h"
#include "support/glContext.h"
#include "support/markerLists.h"

#include <GL/gl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string consoleOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

// The pass-through markers written while `action` runs.
std::vector<int> markersOf(const std::function<void()>& action) {
    const Feedback drawn = feedback(GL_3D, action);
    EXPECT_TRUE(drawn.polygons.empty() && drawn.lines.empty()) << "only markers are expected";
    return std::vector<int>(drawn.markers.begin(), drawn.markers.end());
}

Model modelOfKind(int kind, Geometries* geometries, int index) {
    switch (kind) {
    case 4: return Model(AsteroidWithKanone(), index);
    case 6: return Model(Toutatis(), geometries, index);
    case 7: return Model(Brakiri(), geometries, index);
    case 8: return Model(Castalia(), geometries);
    case 9: return Model(Golevka(), geometries, index);
    case 10: return Model(Clipper(), geometries, index);
    case 11: return Model(Kanone3d(), geometries);
    case 12: return Model(Rocket3d(), GraphVertexTransform(), geometries, index);
    case 13: return Model(Laser(), GraphVertexTransform(), geometries, index);
    }
    return Model();
}

unsigned int* listOf(Geometries& geometries, int kind) {
    switch (kind) {
    case 6: return &geometries.toutatisList;
    case 7: return &geometries.brakiriList;
    case 8: return &geometries.castaliaList;
    case 9: return &geometries.golevkaList;
    case 10: return &geometries.clipperList;
    case 11: return &geometries.kanone3dList;
    case 12: return &geometries.rocket3dList;
    case 13: return &geometries.laserList;
    }
    return nullptr;
}

const int allKinds[] = {4, 6, 7, 8, 9, 10, 11, 12, 13};

bool registers(int kind) { return kind != 8 && kind != 11; }

class ModelDraw : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        consoleOf([&] { index = infos.addModel(); });
    }
    CollisionInfos infos;
    int index = 0;
};

} // namespace

TEST_F(ModelDraw, eachKindCallsItsOwnListAndTheGroupCentreNone) {
    Geometries geometries;
    compileMarkerLists(geometries);
    for (int kind : allKinds) {
        SCOPED_TRACE(kind);
        Model model = modelOfKind(kind, &geometries, index);
        const std::vector<int> markers = markersOf([&] { model.draw(infos); });
        if (kind == 4) {
            EXPECT_TRUE(markers.empty());
        } else {
            EXPECT_EQ(markers, std::vector<int>{kind});
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ModelDraw, aListThatCouldNotBeCreatedIsSkipped) {
    // Only the kind's own list is missing: no other list may stand in for it, and calling
    // list 0 would show up as an invalid-value error.
    for (int kind : allKinds) {
        if (kind == 4) {
            continue;
        }
        SCOPED_TRACE(kind);
        Geometries geometries;
        compileMarkerLists(geometries);
        *listOf(geometries, kind) = 0;
        Model model = modelOfKind(kind, &geometries, index);
        EXPECT_TRUE(markersOf([&] { model.draw(infos); }).empty());
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(ModelDraw, reportsTheOriginOfTheEntityFrameInEyeCoordinates) {
    // A projective matrix with m[15] = 2: the position is the translation divided by it.
    const GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 2};
    glLoadMatrixf(m);
    for (int kind : allKinds) {
        if (!registers(kind)) {
            continue;
        }
        SCOPED_TRACE(kind);
        Geometries none;
        Model model = modelOfKind(kind, &none, index);
        model.draw(infos);
        const CollisionInfo info = infos.getInfoIndex(index);
        EXPECT_EQ(info.index, index);
        EXPECT_TRUE(info.calculated);
        EXPECT_EQ(info.x, 0.5f);
        EXPECT_EQ(info.y, 1.0f);
        EXPECT_EQ(info.z, 1.5f);
        EXPECT_EQ(info.type, kind);
        EXPECT_FALSE(info.collision);
        EXPECT_EQ(info.collisionType, 0);
    }
}

TEST_F(ModelDraw, theReportedPositionFollowsTheCameraAndTheNodePlacement) {
    // Camera 10 back, turned 90 degrees about Y; the entity 5 along X of that frame ends up
    // straight ahead, 15 units from the eye.
    glTranslatef(0, 0, -10);
    glRotatef(90, 0, 1, 0);
    glTranslatef(5, 0, 0);
    Geometries none;
    Model golevka(Golevka(), &none, index);
    golevka.draw(infos);
    const CollisionInfo info = infos.getInfoIndex(index);
    EXPECT_NEAR(info.x, 0, 1e-5);
    EXPECT_NEAR(info.y, 0, 1e-5);
    EXPECT_NEAR(info.z, -15, 1e-5);
}

TEST_F(ModelDraw, drawingClearsLastPassMarks) {
    int other = 0;
    consoleOf([&] { other = infos.addModel(); });
    Geometries none;
    Model golevka(Golevka(), &none, index);
    Model laser(Laser(), GraphVertexTransform(), &none, other);
    golevka.draw(infos);
    laser.draw(infos);
    consoleOf([&] { infos.update(); });
    ASSERT_TRUE(infos.getInfoIndex(index).collision);
    golevka.draw(infos);
    EXPECT_FALSE(infos.getInfoIndex(index).collision);
    EXPECT_EQ(infos.getInfoIndex(index).collisionType, 0);
}

TEST_F(ModelDraw, castaliaAndTheCannonDrawButNeverRegister) {
    Geometries geometries;
    compileMarkerLists(geometries);
    for (int kind : {8, 11}) {
        SCOPED_TRACE(kind);
        Model model = modelOfKind(kind, &geometries, index);
        EXPECT_EQ(markersOf([&] { model.draw(infos); }), std::vector<int>{kind});
        EXPECT_FALSE(infos.getInfoIndex(index).calculated);
        EXPECT_EQ(infos.getInfoIndex(-1).index, -1);
    }
    ASSERT_EQ(infos.infos.size(), 1u);
    EXPECT_EQ(infos.infos[0].type, 0);
}

TEST_F(ModelDraw, aDeadEntityOrOneOfNoKnownKindDrawsAndReportsNothing) {
    Geometries geometries;
    compileMarkerLists(geometries);
    Model golevka(Golevka(), &geometries, index);
    consoleOf([&] { golevka.erase(infos); });
    int fresh = 0;
    consoleOf([&] { fresh = infos.addModel(); });
    golevka.collisionIndex = fresh; // even pointed at a live record, a dead entity stays silent
    EXPECT_TRUE(markersOf([&] { golevka.draw(infos); }).empty());
    EXPECT_FALSE(infos.getInfoIndex(fresh).calculated);

    Model stray(Golevka(), &geometries, fresh);
    stray.kind = 5;
    EXPECT_TRUE(markersOf([&] { stray.draw(infos); }).empty());
    EXPECT_FALSE(infos.getInfoIndex(fresh).calculated);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
