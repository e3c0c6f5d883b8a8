// The asset registry: every texture and mesh read once, in a fixed order, into the one texture
// array and one display list per kind.

#include "assets/geometries.h"

#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct KindArt {
    const char* file;
    const char* name;
    int maps;
    unsigned char colour; // first map's red value; the next maps count up from it
    unsigned int Geometries::*list;
    float scale;
};

// Loading order, with the cockpit between Toutatis and Rocket3d. Every mesh has its own
// triangle count (its position in this table plus one) so its list tells which file it holds.
const KindArt kindArt[] = {
    {"toutatis.3ds", "tou", 1, 20, &Geometries::toutatisList, 1.0f},
    {"cockpit.3ds", "coc", 2, 30, &Geometries::cockpitList, 0.1f},
    {"rocket.3ds", "roc", 0, 40, &Geometries::rocket3dList, 0.1f},
    {"clipper.3ds", "cli", 1, 50, &Geometries::clipperList, 0.05f},
    {"brakiri.3ds", "bra", 1, 60, &Geometries::brakiriList, 0.02f},
    {"castalia.3ds", "cas", 1, 70, &Geometries::castaliaList, 3.0f},
    {"golevka.3ds", "gol", 1, 80, &Geometries::golevkaList, 5.0f},
    {"kanone.3ds", "kan", 2, 90, &Geometries::kanone3dList, 0.01f},
    {"laser.3ds", "las", 1, 100, &Geometries::laserList, 0.1f},
};

void writeKindArt(const Scratch& scratch, int mapsEach = -1) {
    scratch.write("bin/texture/hubble2min.tga", tgaFiles::plain(1, 1, 10, 0, 0));
    int position = 0;
    for (const KindArt& kind : kindArt) {
        const int maps = mapsEach < 0 ? kind.maps : mapsEach;
        chunk3ds::TestMesh mesh;
        mesh.materials.clear();
        mesh.materials.push_back({"plain", ""});
        for (int m = 0; m < maps; ++m) {
            const std::string map = std::string(kind.name) + std::to_string(m) + ".tga";
            mesh.materials.push_back({"mat" + std::to_string(m), map});
            scratch.write("bin/models/" + map,
                          tgaFiles::plain(1, 1, static_cast<unsigned char>(kind.colour + m), 0, 0));
        }
        mesh.triangles = ++position;
        scratch.write(std::string("bin/models/") + kind.file, chunk3ds::meshFile(mesh));
    }
}

std::vector<unsigned char> red(unsigned char value) { return {value, 0, 0}; }

void resetView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

TEST_F(GlTest, registryHandsOutTextureSlotsInLoadingOrder) {
    Scratch scratch(true);
    writeKindArt(scratch);
    auto geometries = std::make_unique<Geometries>();
    testing::internal::CaptureStdout();
    geometries->init();
    testing::internal::GetCapturedStdout();

    const unsigned int* textures = geometries->textures;
    EXPECT_EQ(texturePixels(textures[0]), red(10)) << "the sky takes slot 0";
    EXPECT_EQ(texturePixels(textures[1]), red(20)) << "Toutatis";
    EXPECT_EQ(texturePixels(textures[2]), red(30)) << "cockpit, first map";
    EXPECT_EQ(texturePixels(textures[3]), red(31)) << "cockpit, second map";
    // The rocket names no map and takes no slot: the Clipper follows the cockpit directly.
    EXPECT_EQ(texturePixels(textures[4]), red(50)) << "Clipper";
    EXPECT_EQ(texturePixels(textures[5]), red(60)) << "Brakiri";
    EXPECT_EQ(texturePixels(textures[6]), red(70)) << "Castalia";
    EXPECT_EQ(texturePixels(textures[7]), red(80)) << "Golevka";
    EXPECT_EQ(texturePixels(textures[8]), red(90)) << "Kanone3d, first map";
    EXPECT_EQ(texturePixels(textures[9]), red(91)) << "Kanone3d, second map";
    EXPECT_EQ(texturePixels(textures[10]), red(100)) << "Laser";
    for (int slot = 11; slot < textureSlotCount; ++slot) {
        EXPECT_EQ(textures[slot], 0u) << "slot " << slot;
    }
}

TEST_F(GlTest, registryPrintsItsGreetingFirstAndTheCannonsTextureCount) {
    Scratch scratch(true);
    writeKindArt(scratch);
    Geometries geometries;
    testing::internal::CaptureStdout();
    geometries.init();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n une geometrie est initialisee\n ******* nb nbTextureKan : 2  ******* \n");
}

TEST_F(GlTest, everyKindGetsItsOwnListHoldingItsMeshAtItsScale) {
    Scratch scratch(true);
    writeKindArt(scratch);
    Geometries geometries;
    testing::internal::CaptureStdout();
    geometries.init();
    testing::internal::GetCapturedStdout();

    std::vector<unsigned int> seen = {geometries.skyboxList};
    EXPECT_TRUE(glIsList(geometries.skyboxList));
    for (size_t i = 0; i < std::size(kindArt); ++i) {
        const KindArt& kind = kindArt[i];
        SCOPED_TRACE(kind.file);
        const unsigned int list = geometries.*kind.list;
        ASSERT_TRUE(glIsList(list));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), list), 0) << "lists are distinct";
        seen.push_back(list);

        resetView();
        const auto polygons = feedback(GL_3D, [&] { glCallList(list); }).polygons;
        EXPECT_EQ(polygons.size(), i + 1) << "the list holds this kind's own mesh";

        // The list leaves its scale on the matrix; callers push and pop around it.
        resetView();
        glCallList(list);
        glCallList(list);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_FLOAT_EQ(m[0], kind.scale * kind.scale);
        EXPECT_FLOAT_EQ(m[5], kind.scale * kind.scale);
        EXPECT_FLOAT_EQ(m[10], kind.scale * kind.scale);
    }
    resetView();
    glScalef(0.005f, 0.005f, 0.005f); // brings the sky's walls inside the clip volume
    EXPECT_GE(feedback(GL_3D, [&] { glCallList(geometries.skyboxList); }).polygons.size(),
              6u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, missingArtStillGivesCallableEmptyListsAndCountsOnlyTheSky) {
    Scratch scratch(true);
    Geometries geometries;
    testing::internal::CaptureStdout();
    geometries.init();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n une geometrie est initialisee\n ******* nb nbTextureKan : 0  ******* \n");
    for (const KindArt& kind : kindArt) {
        const unsigned int list = geometries.*kind.list;
        EXPECT_TRUE(glIsList(list)) << kind.file;
        resetView();
        EXPECT_TRUE(feedback(GL_3D, [&] { glCallList(list); }).polygons.empty());
    }
    for (unsigned int id : geometries.textures) {
        EXPECT_EQ(id, 0u);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, artNeedingMoreThanTheTwentySlotsIsCutAtTheLastSlot) {
    // Three maps per kind: 28 slots wanted, 20 exist.
    Scratch scratch(true);
    writeKindArt(scratch, 3);
    auto geometries = std::make_unique<Geometries>();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    geometries->init();
    const std::string complaints = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n une geometrie est initialisee\n ******* nb nbTextureKan : 3  ******* \n");

    EXPECT_FALSE(complaints.empty()) << "the refused textures are reported";
    for (int slot = 0; slot < textureSlotCount; ++slot) {
        EXPECT_TRUE(glIsTexture(geometries->textures[slot])) << "slot " << slot;
    }
    // Slot 19 is the Golevka's first map (1 + 3 * 6 = 19); its other maps were refused.
    EXPECT_EQ(texturePixels(geometries->textures[19]), red(80));
    for (size_t i = 0; i < std::size(kindArt); ++i) {
        const unsigned int list = geometries.get()->*kindArt[i].list;
        EXPECT_TRUE(glIsList(list)) << kindArt[i].file;
        resetView();
        EXPECT_EQ(feedback(GL_3D, [&] { glCallList(list); }).polygons.size(), i + 1)
            << kindArt[i].file << " is drawn, with or without its textures";
    }
}

TEST_F(GlTest, listsThatCannotBeMadeAreReportedAndLeftAtZero) {
    // Inside glBegin/glEnd OpenGL hands out no list names at all. No art is given: images
    // cannot be uploaded there either.
    Scratch scratch(true);
    Geometries geometries;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    glBegin(GL_POINTS);
    geometries.init();
    glEnd();
    const std::string complaints = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    while (glGetError() != GL_NO_ERROR) {
    }

    EXPECT_EQ(geometries.skyboxList, 0u);
    for (const KindArt& kind : kindArt) {
        EXPECT_EQ(geometries.*kind.list, 0u) << kind.file;
    }
    for (const char* name : {"sky box", "Toutatis", "cockpit", "Rocket3d", "Clipper", "Brakiri",
                             "Castalia", "Golevka", "Kanone3d", "Laser"}) {
        EXPECT_NE(complaints.find(name), std::string::npos) << name << " in " << complaints;
    }
    for (GLuint list = 1; list < 20; ++list) {
        EXPECT_FALSE(glIsList(list)) << "nothing was compiled into list " << list;
    }
}
