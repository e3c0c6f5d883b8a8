// Starting the game: with no display, with one named on the command line, without its art, and
// installed (with cmake --install, or from its Debian package) and started from /, where it must
// find its art and draw its sky and its asteroids.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using e2e::CommandResult;
using e2e::Image;

// Started from /, an installed game moves to its art and draws its scene.
void expectTheGameStartedFromTheRootToDrawItsScene(const fs::path& executable, const fs::path& art,
                                                   const std::string& name) {
    e2e::GameSession game({"stdbuf", "-o0", executable.string()}, "/");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    e2e::expectTheSkyThenTheSceneWithoutIt(game, name);
    EXPECT_EQ(fs::path(game.workingDirectory()), art);
    EXPECT_EQ(game.errors(), "") << "a mesh or image was not found";
}

// A step of installing or packaging, run to its end.
CommandResult runStep(const std::vector<std::string>& argv, const fs::path& directory = "/") {
    return e2e::runCommand(argv, std::nullopt, 900, directory.string());
}

// A build of the game of its own in `build` (no tests, no benchmarks), with these settings, then
// `last` (an install, a package) run in it.
void makeBuild(const fs::path& build, std::vector<std::string> settings,
               const std::vector<std::string>& last) {
    settings.insert(settings.begin(), {"cmake", "-S", ZEPH_SOURCE_DIR, "-B", build.string(),
                                       "-DZEPH_TESTS=OFF", "-DZEPH_TOOLS=OFF", "-DZEPH_WERROR=ON"});
    fs::create_directories(build);
    for (const std::vector<std::string>& step :
         {settings, {"nice", "cmake", "--build", ".", "-j2"}, last}) {
        const CommandResult made = runStep(step, build);
        ASSERT_EQ(made.code, 0) << step[0] << "\n" << made.out << made.err;
    }
}

// The manual page an installation carries names the places that installation put the game, its
// art and its menu entry in (`root` holds them when unpacked elsewhere), and its art's place
// relative to the game leads there.
void expectTheManualPageToName(const fs::path& root, const fs::path& game, const fs::path& art,
                               const fs::path& share) {
    const fs::path page = root / share.relative_path() / "man/man6/zephrandolinth.6.gz";
    const CommandResult read = runStep({"gzip", "-dc", page.string()});
    ASSERT_EQ(read.code, 0) << page << read.err;
    for (const fs::path& named : {game, art / "bin/models/", art / "bin/texture/hubble2min.tga",
                                  share / "applications/zephrandolinth.desktop"}) {
        EXPECT_NE(read.out.find("\n.I " + named.string() + "\n"), std::string::npos)
            << named << " in\n"
            << read.out;
    }
    const std::string after = "\n.IP 2. 4\n.I ";
    const std::size_t from = std::min(read.out.size(), read.out.find(after) + after.size());
    const fs::path fromGame = read.out.substr(from, read.out.find('\n', from) - from);
    std::error_code none;
    EXPECT_TRUE(fs::equivalent(root / game.parent_path().relative_path() / fromGame,
                               root / art.relative_path(), none))
        << fromGame << " from " << game.parent_path();
}

TEST(Install, theInstalledGameStartedFromTheRootDrawsItsSkyAndItsAsteroids) {
    const Scratch folder;
    const fs::path prefix = folder.path / "prefix";
    const CommandResult install =
        runStep({"cmake", "--install", ZEPH_BUILD_DIR, "--prefix", prefix.string()});
    ASSERT_EQ(install.code, 0) << install.out << install.err;
    const fs::path art = prefix / ZEPH_INSTALL_DATADIR,
                   game = prefix / ZEPH_INSTALL_BINDIR / "zephrandolinth";
    // Its art is checked by the game itself, which finds it.
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/applications/zephrandolinth.desktop"));
    expectTheManualPageToName("/", game, art, prefix / "share");
    expectTheGameStartedFromTheRootToDrawItsScene(game, art, "installed");
}

// A directory given absolute is where it says, not under the prefix; so the manual page says.
TEST(Install, anAbsoluteDirectoryForTheGameIsTakenAsItIs) {
    const Scratch folder;
    const fs::path build = folder.path / "build", prefix = folder.path / "prefix",
                   games = folder.path / "games";
    makeBuild(
        build,
        {"-DCMAKE_INSTALL_PREFIX=" + prefix.string(), "-DCMAKE_INSTALL_BINDIR=" + games.string()},
        {"cmake", "--install", "."});
    ASSERT_FALSE(HasFatalFailure());
    const fs::path art = prefix / "share/zephrandolinth";
    EXPECT_TRUE(fs::is_regular_file(games / "zephrandolinth"));
    EXPECT_TRUE(fs::is_regular_file(art / "bin/models/kanone.3ds"));
    expectTheManualPageToName("/", games / "zephrandolinth", art, prefix / "share");
}

// The Debian package as a distribution builds it: a build of its own for /usr, then cpack. Its
// checks are Debian's (lintian: no error, no warning), AppStream's and the desktop entry's;
// unpacked into a scratch root, its game runs from there.
TEST(Package, passesTheDistributionsChecksAndItsGameStartedFromTheRootDrawsItsScene) {
    const Scratch folder;
    const fs::path build = folder.path / "build", root = folder.path / "root";
    makeBuild(build,
              {"-DCMAKE_INSTALL_PREFIX=/usr",
               "-DZEPH_MAINTAINER=Zephrandolinth Packaging Test <packaging-test@example.org>"},
              {"cpack", "-G", "DEB"});
    ASSERT_FALSE(HasFatalFailure());
    fs::path deb;
    for (const fs::directory_entry& entry : fs::directory_iterator(build)) {
        deb = entry.path().extension() == ".deb" ? entry.path() : deb;
    }
    ASSERT_EQ(runStep({"dpkg", "-x", deb.string(), root.string()}).code, 0) << deb;
    const fs::path share = root / "usr/share";
    const std::string entry = (share / "applications/zephrandolinth.desktop").string();
    for (const std::vector<std::string>& check :
         {std::vector<std::string>{"lintian", "--fail-on", "error,warning", deb.string()},
          {"appstreamcli", "validate", "--no-net",
           (share / "metainfo" / ZEPH_APPSTREAM_ID ".metainfo.xml").string()},
          {"desktop-file-validate", entry}}) {
        const CommandResult checked = runStep(check);
        // The desktop entry's validator says nothing of an entry it passes.
        EXPECT_TRUE(checked.code == 0 && (check.back() != entry || checked.out.empty()))
            << check.back() << "\n"
            << checked.out << checked.err;
    }
    for (const int size : {48, 64, 128, 256}) {
        const std::string side = std::to_string(size) + "x" + std::to_string(size);
        const Image icon =
            e2e::loadImage(share / "icons/hicolor" / side / "apps/zephrandolinth.png");
        EXPECT_TRUE(icon.width == size && icon.height == size) << side;
    }
    expectTheManualPageToName(root, "/usr/games/zephrandolinth", "/usr/share/games/zephrandolinth",
                              "/usr/share");
    expectTheGameStartedFromTheRootToDrawItsScene(root / "usr/games/zephrandolinth",
                                                  share / "games/zephrandolinth", "packaged");
}

TEST(GameStartup, withoutADisplaySaysSoInOneLineAfterTheBannerAndFailsWithoutCrashing) {
    for (const bool quiet : {false, true}) {
        std::vector<std::string> argv{ZEPH_GAME_EXE};
        argv.insert(argv.end(), quiet ? 1 : 0, "-q");
        const e2e::CommandResult run = e2e::runCommand(argv, std::nullopt, 30);
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.code, 1) << "signal " << run.signal << "\n" << run.err;
        EXPECT_TRUE(std::count(run.err.begin(), run.err.end(), '\n') == 1 &&
                    run.err.back() == '\n' && run.err.find("DISPLAY") != std::string::npos)
            << run.err;
        // The banner and key help still go out first (-q keeps them off too), and nothing of the
        // world follows.
        EXPECT_EQ(run.out, quiet ? "" : transcript::banner());
    }
    // --version needs no display, from the game or from the script that builds and starts it
    // (pointed at this build, which stands for the one it would make).
    const std::string playScript = ZEPH_SOURCE_DIR "/scripts/play.sh";
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{ZEPH_GAME_EXE, "--version"},
          {"env", "ZEPH_PLAY_BUILD=" ZEPH_BUILD_DIR, playScript, "--version"}}) {
        const e2e::CommandResult version = e2e::runCommand(argv, {}, 60);
        EXPECT_TRUE(version.code == 0 && version.out == "Zephrandolinth 0.1\n" &&
                    version.err.empty())
            << argv[0] << "\n"
            << version.code << version.out << version.err;
    }
    // A version or a usage that cannot be written is no success: status 1, and one line why.
    for (const char* unwritten : {"exec \"$0\" --version >/dev/full", "exec \"$0\" --help >&-"}) {
        const e2e::CommandResult failed =
            e2e::runCommand({"sh", "-c", unwritten, ZEPH_GAME_EXE}, {}, 30);
        EXPECT_TRUE(failed.code == 1 &&
                    std::count(failed.err.begin(), failed.err.end(), '\n') == 1 &&
                    failed.err.find("cannot write the") != std::string::npos)
            << unwritten << ": " << failed.code << " " << failed.err;
    }
}

// The arguments go to GLUT: -display opens that display even with DISPLAY unset, and the game
// plays there.
TEST(GameStartup, aDisplayNamedOnTheCommandLineIsOpened) {
    const Scratch folder;
    const fs::path copy = folder.path / "zephrandolinth"; // without its art: it starts the sooner
    fs::copy_file(ZEPH_GAME_EXE, copy);
    e2e::VirtualDisplay screen;
    ASSERT_TRUE(screen.ok());
    const e2e::CommandResult run =
        e2e::runCommand({"stdbuf", "-o0", copy.string(), "-display", screen.name}, std::nullopt, 20,
                        folder.path.string());
    EXPECT_TRUE(run.timedOut) << "ended on its own, code " << run.code << "\n" << run.err;
    EXPECT_NE(run.out.find("on a reussi a init la scene"), std::string::npos) << run.err;
}

// A copy of the game without its art, started in its own folder, says so in one line on stderr
// that names the folder once (no line for each mesh and image), and, since stderr may reach
// nobody (a menu entry), in its window: the line in white on black, wrapped to the window's
// width, where the world without its art would draw a white frame. It plays on.
TEST(GameStartup, aCopyWithoutItsArtSaysSoOnceOnStderrAndInItsWindow) {
    const Scratch folder;
    const fs::path copy = folder.path / "zephrandolinth";
    fs::copy_file(ZEPH_GAME_EXE, copy);
    e2e::GameSession game({"stdbuf", "-o0", copy.string()}, folder.path.string());
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe();
    const Image shot = game.screenshot("art-missing");
    ASSERT_EQ(shot.width, 640) << game.describe();
    int white = 0, black = 0, rightEdge = 0, top = shot.height, bottom = 0; // pixels, rows
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = shot.pixel(x, y);
            const bool lit = p[0] > 200 && p[1] > 200 && p[2] > 200;
            white += lit ? 1 : 0;
            black += p[0] < 30 && p[1] < 30 && p[2] < 30 ? 1 : 0;
            rightEdge += lit && x >= shot.width - 6 ? 1 : 0;
            top = lit ? std::min(top, y) : top, bottom = lit ? std::max(bottom, y) : bottom;
        }
    }
    EXPECT_GT(white, 1000) << "the line's pixels";
    EXPECT_GT(black, shot.width * shot.height * 8 / 10) << "around them";
    EXPECT_EQ(rightEdge, 0) << "the line runs past the window's edge";
    EXPECT_GT(bottom - top, 30) << "the line is not wrapped"; // a line of text is 15 rows
    ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe(); // it plays on
    const std::string errors = game.errors(), place = folder.path.string();
    EXPECT_TRUE(std::count(errors.begin(), errors.end(), '\n') == 1 &&
                errors.find("no game art") != std::string::npos &&
                errors.find(place) != std::string::npos &&
                errors.find(place) == errors.rfind(place))
        << errors;
}

// The art found but one mesh gone from it: that mesh is named on stderr, once. Only a search
// that found no art at all speaks for every file in one line.
TEST(GameStartup, aMeshGoneFromItsArtIsNamed) {
    const Scratch folder;
    fs::copy(fs::path(ZEPH_BUILD_DIR) / "bin", folder.path / "bin", fs::copy_options::recursive);
    fs::remove(folder.path / "bin" / "models" / "castalia.3ds");
    e2e::GameSession game({"stdbuf", "-o0", ZEPH_GAME_EXE}, folder.path.string());
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe(); // it plays on
    EXPECT_EQ(game.errors(),
              "cannot read mesh file \"bin/models/castalia.3ds\": No such file or directory\n");
}

} // namespace
