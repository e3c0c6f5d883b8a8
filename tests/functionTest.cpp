// The shell's helpers: the distance, the red frame-rate text, and where the game finds its art.

#include "support/console.h"
#include "support/fakeFrameSystem.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/scratch.h"

#include "app/artDirectory.h"
#include "app/function.h"

#include <GL/freeglut_std.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Squared in double, so that neither huge nor tiny differences leave the float range.
TEST(FunctionDistance, isEuclideanTheSameBothWaysAndKeepsHugeAndTinyDistances) {
    struct Row {
        float a[3], b[3], distance;
    };
    const Row rows[] = {{{1.5f, -2, 7}, {1.5f, -2, 7}, 0},
                        {{0, 0, 0}, {3, 4, 12}, 13},
                        {{0, 0, 0}, {1e20f, 0, 0}, 1e20f},
                        {{0, 0, 0}, {0, 0, 1e-25f}, 1e-25f}};
    const Function function;
    for (const Row& r : rows) {
        EXPECT_EQ(function.distance(r.a[0], r.a[1], r.a[2], r.b[0], r.b[1], r.b[2]), r.distance);
        EXPECT_EQ(function.distance(r.b[0], r.b[1], r.b[2], r.a[0], r.a[1], r.a[2]), r.distance);
    }
}

class TextGl : public GlTest {};

// Each byte in Helvetica 10, bytes above seven bits as their Latin-1 code (a plain char would
// hand GLUT a negative number, which it skips), in red at the position; nothing for "".
TEST_F(TextGl, drawStringWritesEachByteInHelveticaTenInRedAtThePosition) {
    const FakeFrameSystem fake;
    for (const std::string text : {"fps: 60.000000", "", "ajout\xE9"}) {
        SCOPED_TRACE(text);
        fake.text.clear(), fake.font = nullptr;
        glColor3f(0, 1, 1);
        Function().drawString(text.c_str(), -0.5f, 0.25f);
        EXPECT_EQ(fake.text, text);
        EXPECT_EQ(fake.font, text.empty() ? nullptr : GLUT_BITMAP_HELVETICA_10);
        EXPECT_EQ(glFloats(GL_CURRENT_COLOR, 4), (std::vector<float>{1, 0, 0, 1}));
        // (-0.5, 0.25) is (16, 40) in the 64x64 viewport.
        EXPECT_EQ(glFloats(GL_CURRENT_RASTER_POSITION, 2), (std::vector<float>{16, 40}));
    }
}

TEST(ArtDirectory, looksBesideTheExecutableThenInItsInstallationThenWhereItWasToBeInstalled) {
    EXPECT_EQ(artDirectoryCandidates("/opt/z/bin/zephrandolinth", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/opt/z/bin", "/opt/z/share/zephrandolinth",
                                        "/usr/share/zephrandolinth"}));
    // An installation in /usr names its data directory once.
    EXPECT_EQ(artDirectoryCandidates("/usr/bin/zephrandolinth", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/usr/bin", "/usr/share/zephrandolinth"}));
    // With no executable path known, only the installation directory is left.
    EXPECT_EQ(artDirectoryCandidates("", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/usr/share/zephrandolinth"}));
}

// The first candidate holding bin/models wins; a working directory that holds it is kept, and
// nothing is said.
TEST(ArtDirectory, theFirstPlaceHoldingTheModelsWinsTheWorkingDirectoryFirst) {
    Scratch scratch(true);
    const std::filesystem::path& root = scratch.path;
    // bare: no art at all; half: bin/texture only; file: bin/models is not a directory.
    const std::string bare = root / "bare", half = root / "half", first = root / "first",
                      second = root / "second";
    for (const char* made : {"bare", "half/bin/texture", "first/bin/models", "second/bin/models",
                             "file/bin", "bin/models"}) {
        std::filesystem::create_directories(root / made);
    }
    scratch.write("file/bin/models", {'n', 'o'}); // not a directory
    EXPECT_EQ(findArtDirectory({bare, half, first, second}), first);
    EXPECT_EQ(findArtDirectory({second, first}), second);
    EXPECT_EQ(findArtDirectory({bare, (root / "file").string(), (root / "missing").string()}), "");
    EXPECT_EQ(findArtDirectory({}), "");
    EXPECT_EQ(stderrOf(enterArtDirectory), "");
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), root));
}

} // namespace
