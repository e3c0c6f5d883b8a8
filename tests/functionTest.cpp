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

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
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

TEST(ArtDirectory, looksBesideTheExecutableThenInItsInstallationThenWhereThisBuildInstalls) {
    using Paths = std::vector<std::filesystem::path>;
    EXPECT_EQ(
        artDirectoryCandidates("/opt/z/bin/zephrandolinth", "../share/zephrandolinth",
                               "/usr/local/share/zephrandolinth"),
        (Paths{"/opt/z/bin", "/opt/z/share/zephrandolinth", "/usr/local/share/zephrandolinth"}));
    // A distribution's package: Debian's layout for games names its data directory once.
    EXPECT_EQ(artDirectoryCandidates("/usr/games/zephrandolinth", "../share/games/zephrandolinth",
                                     "/usr/share/games/zephrandolinth"),
              (Paths{"/usr/games", "/usr/share/games/zephrandolinth"}));
    // With no executable path known, only the installation directory is left; where the art
    // lies beside the executable (Windows), only the executable's own folder.
    EXPECT_EQ(artDirectoryCandidates("", "../share/zephrandolinth", "/usr/share/zephrandolinth"),
              (Paths{"/usr/share/zephrandolinth"}));
    EXPECT_EQ(artDirectoryCandidates("/opt/z/zephrandolinth", "", ""), (Paths{"/opt/z"}));
}

// Root enters any directory: what an ordinary user may not enter is looked at as nobody. A
// container may withhold CAP_SETUID or CAP_SETGID: then the reason is the system's, in `refused`.
ArtPlace lookForArtAsAnOrdinaryUser(const std::filesystem::path& directory, std::string& refused) {
    int fds[2];
    if (geteuid() != 0 || pipe(fds) != 0) {
        return lookForArt(directory);
    }
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const bool nobody = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
        const ArtPlace place = nobody ? lookForArt(directory) : ArtPlace{};
        const std::string text = nobody ? std::to_string(int(place.state)) + place.reason
                                        : "!" + std::string(std::strerror(errno));
        _exit(write(fds[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 1);
    }
    close(fds[1]);
    const std::string text = readAll(fds[0]);
    close(fds[0]);
    int status = 1;
    waitpid(child, &status, 0);
    if (status != 0 || text.empty() || text[0] == '!') {
        refused = text.empty() ? "no child could try" : text.substr(1);
        return {};
    }
    return {directory, ArtPlace::State(text[0] - '0'), text.substr(1)};
}

TEST(ArtDirectory, aPlaceHoldsTheArtWhenItsModelsCanBeEnteredAndElseSaysWhyNot) {
    Scratch scratch;
    const std::filesystem::path& root = scratch.path;
    for (const char* made : {"bare", "half/bin/texture", "art/bin/models", "locked/bin/models",
                             "file/bin", "loop/bin", "searchOnly/bin/models"}) {
        std::filesystem::create_directories(root / made);
    }
    scratch.write("file/bin/models", {'n', 'o'});
    std::filesystem::create_symlink("models", root / "loop/bin/models");
    using std::filesystem::perms;
    std::filesystem::permissions(root, perms::owner_all | perms::group_exec | perms::others_exec);
    std::filesystem::permissions(root / "locked/bin/models", perms::none);
    // Files are opened by name, never listed: search permission is all that is needed.
    std::filesystem::permissions(root / "searchOnly/bin/models",
                                 perms::owner_all | perms::group_exec | perms::others_exec);

    using State = ArtPlace::State;
    const std::tuple<const char*, State, const char*> rows[] = {
        {"art", State::holdsArt, ""},
        {"searchOnly", State::holdsArt, ""},
        {"bare", State::noArt, ""},
        {"half", State::noArt, ""}, // bin/texture alone
        {"file", State::noArt, ""}, // bin/models is a file
        {"missing", State::noArt, ""},
        {"loop", State::unreadable, "Too many levels of symbolic links"},
        {"locked", State::unenterable, "Permission denied"}};
    for (const auto& [name, state, reason] : rows) {
        const std::filesystem::path directory = root / name;
        std::string refused;
        const ArtPlace place = lookForArtAsAnOrdinaryUser(directory, refused);
        if (!refused.empty()) {
            std::filesystem::permissions(root / "locked/bin/models", perms::owner_all);
            GTEST_SKIP() << "root cannot become nobody to meet a directory it may not enter ("
                         << refused << ")";
        }
        EXPECT_EQ(place.directory, directory);
        EXPECT_EQ(place.state, state) << name;
        EXPECT_EQ(place.reason, reason) << name;
    }
    std::filesystem::permissions(root / "locked/bin/models", perms::owner_all);
}

// One line: the places without art together, then each refusal with the system's reason.
TEST(ArtDirectory, aFailedSearchNamesThePlacesWithoutArtThenEachRefusalWithItsReason) {
    using State = ArtPlace::State;
    const ArtPlace here{"/home/p", State::noArt, ""},
        lockedHere{"/home/p", State::unenterable, "Permission denied"},
        beside{"/opt/z/bin", State::noArt, ""},
        installed{"/opt/z/share/zephrandolinth", State::unenterable, "Permission denied"},
        built{"/usr/share/zephrandolinth", State::unreadable, "Input/output error"};
    const std::pair<std::vector<ArtPlace>, const char*> rows[] = {
        {{here, beside},
         "zephrandolinth: no game art (bin/models) in the working directory /home/p, nor in "
         "/opt/z/bin; the game runs without it\n"},
        {{here, installed, beside, built},
         "zephrandolinth: no game art (bin/models) in the working directory /home/p, nor in "
         "/opt/z/bin; the game art in /opt/z/share/zephrandolinth cannot be entered: Permission "
         "denied; cannot look for the game art in /usr/share/zephrandolinth: Input/output error; "
         "the game runs without it\n"},
        {{lockedHere},
         "zephrandolinth: the game art in the working directory /home/p cannot be entered: "
         "Permission denied; the game runs without it\n"}};
    for (const auto& [places, line] : rows) {
        EXPECT_EQ(artSearchFailure(places), line);
    }
}

// Each place is looked in once: the executable's own folder, when it is the working directory,
// is not looked in again, nor named twice. A working directory that holds bin/models is kept,
// and nothing is said.
TEST(ArtDirectory, aSearchLooksInEachPlaceOnceAndEntersTheFirstThatHoldsTheArt) {
    Scratch scratch(true);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::create_directories(here / "art/bin/models");
    using State = ArtPlace::State;
    const std::vector<ArtPlace> places = enterArt(here, {here, here / "elsewhere", here / "."});
    ASSERT_EQ(places.size(), 2u);
    EXPECT_TRUE(places[0].directory == here && places[1].directory == here / "elsewhere" &&
                places[0].state == State::noArt && places[1].state == State::noArt);
    EXPECT_EQ(enterArt(here, {here / "elsewhere", here / "art"}).size(), 0u);
    EXPECT_EQ(std::filesystem::current_path(), here / "art");
    EXPECT_EQ(stderrOf(enterArtDirectory), "");
    EXPECT_EQ(std::filesystem::current_path(), here / "art");
}

} // namespace
