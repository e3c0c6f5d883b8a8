// The kinds' own asset steps: each reads its own mesh file at its own scale, and the four kinds
// that capture a position record the origin of the current frame in eye coordinates.

#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/golevka.h"
#include "entities/kanone3d.h"
#include "entities/laser.h"
#include "entities/rocket3d.h"
#include "entities/toutatis.h"

#include "assets/textureSlots.h"
#include "support/chunkBuilder.h"
#include "support/feedback.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <array>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct KindCase {
    const char* file;
    double scale;
    int (*load)(unsigned int* textures, double* scale);
};

template <class Kind>
int loadKind(unsigned int* textures, double* scale) {
    Kind kind;
    const int used = kind.load(0, textures);
    *scale = kind.getScaleCoeff();
    return used;
}

// The single-precision constants are kept exactly as single precision gives them.
const KindCase kinds[] = {
    {"golevka.3ds", 5.0, loadKind<Golevka>},
    {"toutatis.3ds", 1.0, loadKind<Toutatis>},
    {"castalia.3ds", 3.0, loadKind<Castalia>},
    {"brakiri.3ds", 0.019999999552965164, loadKind<Brakiri>},
    {"clipper.3ds", 0.05000000074505806, loadKind<Clipper>},
    {"kanone.3ds", 0.009999999776482582, loadKind<Kanone3d>},
    {"laser.3ds", 0.10000000149011612, loadKind<Laser>},
    {"rocket.3ds", 0.10000000149011612, loadKind<Rocket3d>},
};

// A mesh whose number of textured materials tells which file was read.
chunk3ds::TestMesh meshWithMaps(int maps) {
    chunk3ds::TestMesh mesh;
    mesh.materials.clear();
    for (int i = 0; i < maps; ++i) {
        mesh.materials.push_back({"m" + std::to_string(i), "map" + std::to_string(i) + ".tga"});
    }
    if (maps == 0) {
        mesh.materials.push_back({"plain", ""});
    }
    mesh.triangles = maps + 1;
    return mesh;
}

template <class Kind>
void expectCapture(const char* name) {
    SCOPED_TRACE(name);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Kind kind;
    EXPECT_FALSE(kind.drawn);
    kind.draw();
    EXPECT_TRUE(kind.drawn);
    EXPECT_EQ(kind.drawnX, 0.0f);
    EXPECT_EQ(kind.drawnY, 0.0f);
    EXPECT_EQ(kind.drawnZ, 0.0f);

    // A translation (1, 2, 3) in a matrix whose w row ends in 2: the position is divided by w.
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 2};
    glLoadMatrixf(m);
    kind.draw();
    EXPECT_EQ(kind.drawnX, 0.5f);
    EXPECT_EQ(kind.drawnY, 1.0f);
    EXPECT_EQ(kind.drawnZ, 1.5f);

    // Inside a turned, moved frame: its origin seen from the eye.
    glLoadIdentity();
    glTranslatef(0, 0, -10);
    glRotatef(90, 0, 1, 0);
    glTranslatef(2, 0, 0);
    kind.draw();
    EXPECT_NEAR(kind.drawnX, 0.0f, 1e-5);
    EXPECT_NEAR(kind.drawnY, 0.0f, 1e-5);
    EXPECT_NEAR(kind.drawnZ, -12.0f, 1e-5);
}

} // namespace

TEST_F(GlTest, everyKindReadsItsOwnMeshFileAtItsOwnScale) {
    Scratch scratch(true);
    for (int i = 0; i < int(std::size(kinds)); ++i) {
        scratch.write(std::string("bin/models/") + kinds[i].file, chunk3ds::meshFile(meshWithMaps(i)));
    }
    for (int i = 0; i < int(std::size(kinds)); ++i) {
        SCOPED_TRACE(kinds[i].file);
        std::array<unsigned int, textureSlotCount> textures{};
        double scale = 0;
        EXPECT_EQ(kinds[i].load(textures.data(), &scale), i);
        EXPECT_EQ(scale, kinds[i].scale);
    }
}

TEST_F(GlTest, aKindsMeshIsDrawnFromItsOwnTexturesWhereverTheyStart) {
    Scratch scratch(true);
    chunk3ds::TestMesh mesh = meshWithMaps(2);
    mesh.textured = true;
    scratch.write("bin/models/castalia.3ds", chunk3ds::meshFile(mesh));
    scratch.write("bin/models/map0.tga", tgaFiles::plain(1, 1, 1, 2, 3));
    scratch.write("bin/models/map1.tga", tgaFiles::plain(1, 1, 4, 5, 6));
    std::array<unsigned int, textureSlotCount> textures{};
    Castalia castalia;
    EXPECT_EQ(castalia.load(5, textures.data()), 2);
    EXPECT_EQ(textures[4], 0u);
    EXPECT_EQ(texturePixels(textures[5]), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(texturePixels(textures[6]), (std::vector<unsigned char>{4, 5, 6}));
    EXPECT_EQ(textures[7], 0u);

    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    castalia.initDisplayList(textures.data());
    glEndList();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const auto polygons = feedback(GL_3D, [&] { glCallList(list); }).polygons;
    EXPECT_EQ(polygons.size(), 3u);
}

TEST_F(GlTest, positionCaptureRecordsTheFramesOriginInEyeSpace) {
    expectCapture<Castalia>("Castalia");
    expectCapture<Clipper>("Clipper");
    expectCapture<Brakiri>("Brakiri");
    expectCapture<Kanone3d>("Kanone3d");
}
