// A kind's own asset steps: its list draws its mesh from its own textures, wherever in the
// registry's array they start.

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

} // namespace

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

// Castalia, the ships and the cannon note where they were last drawn: the origin of the
// current frame in eye coordinates.
template <class Kind> void expectCapture(const char* name) {
    SCOPED_TRACE(name);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, -4, 12);
    glRotatef(30, 0, 1, 0);
    glScalef(2, 2, 2);
    Kind kind;
    EXPECT_FALSE(kind.drawn);
    kind.draw();
    EXPECT_TRUE(kind.drawn);
    EXPECT_EQ(kind.drawnX, 3.0f);
    EXPECT_EQ(kind.drawnY, -4.0f);
    EXPECT_EQ(kind.drawnZ, 12.0f);
}

TEST_F(GlTest, drawingRecordsTheFramesOriginInEyeSpace) {
    expectCapture<Castalia>("Castalia");
    expectCapture<Clipper>("Clipper");
    expectCapture<Brakiri>("Brakiri");
    expectCapture<Kanone3d>("Kanone3d");
}
