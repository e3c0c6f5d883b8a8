// The asset registry: every texture and mesh read once, in order, into one list per kind.

#include "assets/geometries.h"
#include "app/diagnostics.h"
#include "assets/textureSlots.h"
#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/kanone3d.h"

#include "support/chunkBuilder.h"
#include "support/console.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct KindArt {
    const char* file; // its first three letters name its maps
    int maps;
    unsigned char colour; // first map's red value; the next maps count up from it
    unsigned int Geometries::*list;
    float scale;
};

// Loading order. Every mesh has its own triangle count (its place here plus one), so its list
// tells which file it holds.
const KindArt kindArt[] = {{"toutatis.3ds", 1, 20, &Geometries::toutatisList, 1.0f},
                           {"cockpit.3ds", 2, 30, &Geometries::cockpitList, 0.1f},
                           {"rocket.3ds", 0, 40, &Geometries::rocket3dList, 0.1f},
                           {"clipper.3ds", 1, 50, &Geometries::clipperList, 0.05f},
                           {"brakiri.3ds", 1, 60, &Geometries::brakiriList, 0.02f},
                           {"castalia.3ds", 1, 70, &Geometries::castaliaList, 3.0f},
                           {"golevka.3ds", 1, 80, &Geometries::golevkaList, 5.0f},
                           {"kanone.3ds", 2, 90, &Geometries::kanone3dList, 0.01f},
                           {"laser.3ds", 1, 100, &Geometries::laserList, 0.1f}};

void writeKindArt(const Scratch& scratch, int mapsEach = -1) {
    scratch.write("bin/texture/hubble2min.tga", tgaFiles::plain(1, 1, 10, 0, 0));
    int position = 0;
    for (const KindArt& kind : kindArt) {
        std::vector<std::string> maps;
        for (int m = 0; m < (mapsEach < 0 ? kind.maps : mapsEach); ++m) {
            maps.push_back(std::string(kind.file, 3) + std::to_string(m) + ".tga");
            scratch.write("bin/models/" + maps.back(),
                          tgaFiles::plain(1, 1, static_cast<unsigned char>(kind.colour + m), 0, 0));
        }
        scratch.write(std::string("bin/models/") + kind.file, chunk3ds::meshFile(++position, maps));
    }
}

std::size_t trianglesOf(unsigned int list) { // the projection stays the context's identity
    glLoadIdentity();
    return feedback(GL_3D, [&] { glCallList(list); }).polygons.size();
}

// Each slot's red value, -1 for an empty one.
std::vector<int> redsOf(const Geometries& geometries) {
    std::vector<int> reds;
    for (unsigned int texture : geometries.textures) {
        const std::vector<unsigned char> rgb = texturePixels(texture);
        reds.push_back(rgb.empty() ? -1 : rgb[0]);
    }
    return reds;
}

class GeometriesGl : public GlTest {};

} // namespace

// Slot 0 is the sky's, then each kind's maps in loading order (the rocket names none). Every kind
// gets its list at its scale, art or not; what is missing or finds no slot is said on stderr,
// unless start-up has said already that all the art is missing.
TEST_F(GeometriesGl, theRegistryHandsOutSlotsInLoadingOrderAndAListPerKindAtItsScale) {
    std::string noArt = "texture bin\\texture\\hubble2min.tga: cannot be opened\n", noSlot;
    for (const KindArt& kind : kindArt) {
        noArt += "cannot read mesh file \"bin/models/" + std::string(kind.file) +
                 "\": No such file or directory\n";
    }
    int slot = 20; // three maps each: the maps past the last slot
    for (const char* map : {"gol1", "gol2", "kan0", "kan1", "kan2", "las0", "las1", "las2"}) {
        noSlot += "texture bin/models/" + std::string(map) + ".tga: slot " +
                  std::to_string(slot++) + " is outside the 20 texture slots\n";
    }
    // Maps for each kind (-1: the kind's own count; -2: no art at all), whether start-up has
    // already said that the art is missing, the first slots' reds, what stderr says.
    const std::tuple<int, bool, std::vector<int>, std::string> setups[] = {
        {-1, false, {10, 20, 30, 31, 50, 60, 70, 80, 90, 91, 100}, ""},
        {-2, false, {}, noArt},
        {-2, true, {}, ""},
        {3,
         false,
         {10, 20, 21, 22, 30, 31, 32, 40, 41, 42, 50, 51, 52, 60, 61, 62, 70, 71, 72, 80},
         noSlot}};
    for (const auto& [mapsEach, searchSaidSo, firstReds, complaints] : setups) {
        SCOPED_TRACE(testing::Message() << mapsEach << (searchSaidSo ? " said" : ""));
        Scratch scratch(true);
        setArtMissing(searchSaidSo);
        if (mapsEach != -2) {
            writeKindArt(scratch, mapsEach);
        }
        auto geometries = std::make_unique<Geometries>();
        std::string said;
        EXPECT_EQ(stderrOf([&] { said = consoleOf([&] { geometries->init(); }); }), complaints);
        setArtMissing(false);
        EXPECT_EQ(said, "\n une geometrie est initialisee\n ******* nb nbTextureKan : " +
                            std::to_string(mapsEach == -1 ? 2 : std::max(mapsEach, 0)) +
                            "  ******* \n");
        std::vector<int> reds = firstReds;
        reds.resize(textureSlotCount, -1);
        EXPECT_EQ(redsOf(*geometries), reds);
        std::vector<unsigned int> seen = {geometries->skyboxList};
        for (std::size_t i = 0; i < std::size(kindArt); ++i) {
            const KindArt& kind = kindArt[i];
            SCOPED_TRACE(kind.file);
            const unsigned int list = geometries.get()->*kind.list;
            ASSERT_TRUE(glIsList(list));
            EXPECT_EQ(std::count(seen.begin(), seen.end(), list), 0) << "lists are distinct";
            seen.push_back(list);
            EXPECT_EQ(trianglesOf(list), mapsEach == -2 ? 0 : i + 1) << "its own mesh";
            // The list leaves its scale on the matrix; callers push and pop around it.
            glLoadIdentity();
            glCallList(list);
            glCallList(list);
            const std::vector<float> m = glFloats(GL_MODELVIEW_MATRIX);
            EXPECT_EQ((std::vector<float>{m[0], m[5], m[10]}),
                      std::vector<float>(3, kind.scale * kind.scale));
        }
        glLoadIdentity();
        glScalef(0.005f, 0.005f, 0.005f); // brings the sky's walls inside the clip volume
        EXPECT_GE(feedback(GL_3D, [&] { glCallList(geometries->skyboxList); }).polygons.size(), 6u);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(GeometriesGl, listsThatCannotBeMadeAreReportedAndLeftAtZero) {
    // Inside glBegin/glEnd OpenGL hands out no list names, and uploads no images either.
    Scratch scratch(true);
    Geometries geometries;
    glBegin(GL_POINTS);
    const std::string complaints = stderrOf([&] { consoleOf([&] { geometries.init(); }); });
    glEnd();
    for (int errors = 0; glGetError() != GL_NO_ERROR; ++errors) {
        ASSERT_LT(errors, 100) << "OpenGL keeps reporting errors";
    }
    EXPECT_EQ(geometries.skyboxList, 0u);
    for (const KindArt& kind : kindArt) {
        EXPECT_EQ(geometries.*kind.list, 0u) << kind.file;
    }
    for (const char* name : {"sky box", "Toutatis", "cockpit", "Rocket3d", "Clipper", "Brakiri",
                             "Castalia", "Golevka", "Kanone3d", "Laser"}) {
        EXPECT_NE(complaints.find(name), std::string::npos) << name << " in " << complaints;
    }
}

// Castalia, the ships and the cannon note where they were last drawn: the frame's eye-space origin.
TEST_F(GeometriesGl, drawingRecordsTheFramesOriginInEyeSpace) {
    auto drawnAt = [](auto kind) {
        glLoadIdentity();
        glTranslatef(3, -4, 12), glRotatef(30, 0, 1, 0), glScalef(2, 2, 2);
        const bool before = kind.drawn;
        kind.draw();
        return std::vector<float>{float(before), float(kind.drawn), kind.drawnX, kind.drawnY,
                                  kind.drawnZ};
    };
    for (const auto& at :
         {drawnAt(Castalia()), drawnAt(Clipper()), drawnAt(Brakiri()), drawnAt(Kanone3d())}) {
        EXPECT_EQ(at, (std::vector<float>{0, 1, 3, -4, 12}));
    }
}
