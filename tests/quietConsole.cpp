// The game's own options, the console switch they set, and a quiet world that plays exactly as
// one that talks.

#include "support/console.h"
#include "support/fakeFrameSystem.h"
#include "support/glContext.h"
#include "support/markerLists.h"
#include "support/scratch.h"

#include "app/console.h"
#include "app/diagnostics.h"
#include "app/main.h"
#include "app/options.h"
#include "sys/platform.h"
#include "scene/scenegraph.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

// A vector like main's: the program's name first, a null last.
struct Argv {
    explicit Argv(const Arguments& given) : text(given) {
        text.insert(text.begin(), "zephrandolinth");
        for (std::string& argument : text) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        argc = int(text.size());
    }
    Arguments text;
    std::vector<char*> pointers;
    int argc;
};

// What takeOptions leaves for GLUT, each argument followed by a space, then the options it read
// as "q", "h", "v" and "f".
std::string parse(const Arguments& given) {
    Argv argv(given);
    const Options options = takeOptions(argv.argc, argv.pointers.data());
    std::string parsed;
    for (int i = 1; i < argv.argc; ++i) {
        parsed += std::string(argv.pointers[std::size_t(i)]) + " ";
    }
    EXPECT_EQ(argv.pointers[std::size_t(argv.argc)], nullptr) << "the vector still ends in a null";
    return parsed + "|" + (options.quiet ? "q" : "") + (options.help ? "h" : "") +
           (options.version ? "v" : "") + (options.fullScreen ? "f" : "");
}

TEST(GameOptions, theGamesOwnAreTakenOutAndEveryOtherArgumentReachesGlutAsGiven) {
    const std::pair<Arguments, const char*> table[] = {
        {{}, "|"},
        {{"-q"}, "|q"},
        {{"-display", ":3", "--quiet", "-iconic"}, "-display :3 -iconic |q"},
        {{"--help", "--version"}, "|hv"},
        {{"-f", "-iconic"}, "-iconic |f"},
        {{"--fullscreen"}, "|f"},
        // GLUT's values are never options, nor is anything after "--", which GLUT still gets.
        {{"-display", "-q", "-geometry", "--help"}, "-display -q -geometry --help |"},
        {{"--", "-q", "--version"}, "-- -q --version |"},
        // Unknown options and near misses are GLUT's to ignore, in their places.
        {{"--verbose", "-quiet", "-q", "--quiet=1", "-Q"}, "--verbose -quiet --quiet=1 -Q |q"},
        {{"-display"}, "-display |"},
    };
    for (const auto& [given, expected] : table) {
        EXPECT_EQ(parse(given), expected) << testing::PrintToString(given);
    }
    // A vector without even the program's name (kernels before 5.18 pass one through): nothing
    // is read, and nothing past its null is touched.
    char after[] = "past the end";
    char* bare[] = {nullptr, after};
    int none = 0;
    takeOptions(none, bare);
    EXPECT_TRUE(none == 0 && bare[0] == nullptr && bare[1] == after);
}

// GLUT opens the display a non-empty -display names, wherever it stands (past "--" too, but
// never as -geometry's value); else the one DISPLAY names.
TEST(GameOptions, aDisplayIsNamedByANonEmptyDisplayOptionOrElseByTheEnvironment) {
    const char* const variable = std::getenv("DISPLAY");
    const std::string kept = variable != nullptr ? variable : "";
    // The arguments, DISPLAY (or unset), whether a display is named.
    const std::tuple<Arguments, const char*, bool> rows[] = {
        {{}, nullptr, false},
        {{}, "", false},
        {{}, ":0", true},
        {{"-display", ":3"}, nullptr, true},
        {{"--", "-display", ":3"}, nullptr, true},
        {{"-display", ""}, nullptr, false},
        {{"-display", ""}, ":0", true},
        {{"-geometry", "-display", ":3"}, nullptr, false},
        {{"-display"}, nullptr, false}};
    for (const auto& [given, display, named] : rows) {
        display != nullptr ? setenv("DISPLAY", display, 1) : unsetenv("DISPLAY");
        Argv argv(given);
        EXPECT_EQ(displayNamed(argv.argc, argv.pointers.data()), named)
            << testing::PrintToString(given) << " with DISPLAY "
            << (display != nullptr ? display : "unset");
    }
    variable != nullptr ? setenv("DISPLAY", kept.c_str(), 1) : unsetenv("DISPLAY");
}

// --help and --version print and stop, with status 0 and before any window; otherwise the
// console is on unless -q says otherwise or standard output is /dev/null. Standard output is a
// scratch file or /dev/null meanwhile, whatever the runner's is.
TEST(GameOptions, helpAndVersionStopTheGameWhileQuietOrDevNullTurnTheConsoleOff) {
    const Scratch folder;
    const int file = open((folder.path / "console").c_str(), O_WRONLY | O_CREAT, 0644);
    const int null = open("/dev/null", O_WRONLY);
    std::optional<int> status;
    const auto run = [&status](const Arguments& given, int output) {
        const StreamOnto onto(standardOutput, output);
        Argv argv(given);
        return consoleOf([&] { status = readCommandLine(argv.argc, argv.pointers.data()); });
    };
    EXPECT_EQ(run({"--version"}, file), "Zephrandolinth 0.1\n");
    EXPECT_EQ(status, 0);
    const std::string usage = run({"-display", ":1", "--help"}, file);
    EXPECT_EQ(status, 0);
    for (const char* named :
         {"-q, --quiet", "--help", "--version", "-display", "-geometry", "Arrow Up", "Page Down",
          "F2", "F3", "F4", "-f, --fullscreen", "F11", "Escape"}) {
        EXPECT_NE(usage.find(named), std::string::npos) << named << " in\n" << usage;
    }
    const std::tuple<Arguments, int, bool> rows[] = {
        {{"-q"}, file, false}, {{}, null, false}, {{}, file, true}};
    for (const auto& [given, output, on] : rows) {
        EXPECT_EQ(run(given, output), "");
        EXPECT_EQ(status, std::nullopt);
        EXPECT_EQ(consoleOn(), on)
            << testing::PrintToString(given) << (output == null ? " null" : "");
    }
    setConsoleOn(true);
    close(file);
    close(null);
}

// The console never ends its last line: where it shares stderr's terminal, a diagnostic starts
// on a line of its own. Elsewhere, or with the console off, the line comes alone.
TEST(Diagnostics, startOnALineOfTheirOwnWhereTheConsoleSharesTheirTerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        GTEST_SKIP() << "no pseudo-terminal to share: " << std::strerror(errno);
    }
    ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios mode{};
    ASSERT_TRUE(terminal >= 0 && tcgetattr(terminal, &mode) == 0);
    cfmakeraw(&mode); // the bytes as written, without a carriage return before each line end
    tcsetattr(terminal, TCSANOW, &mode);
    const Scratch folder;
    const int file = open((folder.path / "console").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::tuple<int, bool, const char*> rows[] = {
        {terminal, true, "\nzephrandolinth: no art\n"},
        {terminal, false, "zephrandolinth: no art\n"},
        {file, true, "zephrandolinth: no art\n"}};
    for (const auto& [console, on, seen] : rows) {
        setConsoleOn(on);
        {
            const StreamOnto onto(standardOutput, console), errors(standardError, terminal);
            diagnose("zephrandolinth: no art\n");
        }
        EXPECT_EQ(readAll(master, 100), seen)
            << (console == file ? "console in a file" : "") << (on ? "" : "console off");
    }
    setConsoleOn(true);
    close(file);
    close(terminal);
    close(master);
}

// Only /dev/null, by its name or a device node of its own, or no file at all, loses for certain
// what is written to it.
TEST(GameOptions, standardOutputOnDevNullIsTakenForQuiet) {
    const Scratch folder;
    const std::string ownNull = (folder.path / "null").string();
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    // A node of its own only where device nodes may be made and opened (as root, off nodev).
    const int ownNullFd = mknod(ownNull.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                              ? open(ownNull.c_str(), O_WRONLY)
                              : -1;
    std::vector<std::tuple<std::string, int, bool>> cases = {
        {"/dev/null", open("/dev/null", O_WRONLY), true},
        {"a file", open((folder.path / "console").c_str(), O_WRONLY | O_CREAT, 0644), false},
        {"a pipe", ends[1], false},
        {"/dev/zero", open("/dev/zero", O_WRONLY), false},
        {"a closed descriptor", ends[0], true}};
    if (ownNullFd >= 0) {
        cases.push_back({"a node of /dev/null's device", ownNullFd, true});
    }
    close(ends[0]); // nothing is opened from here on that could take its number
    for (const auto& [what, fd, discarded] : cases) {
        EXPECT_EQ(writesAreDiscarded(fd), discarded) << what;
        if (fd != ends[0]) {
            close(fd);
        }
    }
}

// What a frame leaves of the world, every float exact: the collision records, the entities in
// walk order, the view.
std::string stateOf(SceneGraph& world) {
    std::ostringstream out;
    out << std::hexfloat;
    for (const CollisionInfo& r : world.collisionInfos.infos) {
        out << "\nrecord " << r.index << ' ' << r.calculated << ' ' << r.x << ' ' << r.y << ' '
            << r.z << ' ' << r.type << ' ' << r.collision << ' ' << r.collisionType;
    }
    for (const GraphVertex* node : entityNodes(&world.root)) { // kind, life, existence, place
        const Model& model = node->object.model;
        const GraphVertexTransform placement = node->object.getTransformation();
        out << "\nkind " << model.kind << " life " << model.life << " exist " << model.getExist()
            << " at " << placement.getX() << ' ' << placement.getY() << ' ' << placement.getZ();
    }
    const GraphVertexTransform& view = world.camera.transformation;
    out << "\nview " << view.getX() << ' ' << view.getY() << ' ' << view.getZ();
    return out.str();
}

// A short session on a fixed clock, 40 ms a frame, as a player plays it: fly forward past the
// Toutatis and stop, so the ships come to hold still ahead, then fire rockets and lasers into
// them, turning a little and switching the sky off and on. Returns the world's state after every
// frame and all it wrote.
std::pair<std::vector<std::string>, std::string> playSession(bool console) {
    setConsoleOn(console);
    FakeFrameSystem::ticks = 0;
    SceneGraph world;
    std::vector<std::string> states;
    std::string written = consoleOf([&] {
        world.initTest();
        int stopped = -1; // the frame the flight ended in
        for (int frame = 0; stopped < 0 || frame < stopped + 200; ++frame) {
            if (stopped < 0 && frame == 400) {
                ADD_FAILURE() << "the Toutatis was not passed in 400 frames";
                break;
            }
            const bool forward = frame >= 2 && frame < 7;
            if (stopped < 0 && frame > 7 && world.collisionInfos.getInfoIndex(5).z >= -1.0f) {
                stopped = frame;
            }
            const bool stop = stopped >= 0 && frame < stopped + 5;
            const int firing = stopped < 0 ? -1 : frame - stopped - 20;
            world.manageFire(firing >= 0 && firing % 4 == 0, firing >= 0 && firing % 6 == 0);
            world.move(false, false, firing == 50, firing == 90, stop, forward, 0, 0);
            FakeFrameSystem::ticks += 40;
            world.render(firing != 70);
            states.push_back(stateOf(world));
        }
    });
    setConsoleOn(true);
    return {states, written};
}

TEST(QuietConsole, aQuietWorldPlaysTheSameFramesAsOneWithItsConsoleOn) {
    GlContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    const FakeFrameSystem frameSystem;
    const auto [talking, transcript] = playSession(true);
    const auto [quiet, nothing] = playSession(false);

    EXPECT_EQ(nothing, "");
    ASSERT_EQ(talking.size(), quiet.size());
    for (std::size_t frame = 0; frame < talking.size(); ++frame) {
        ASSERT_EQ(talking[frame], quiet[frame]) << "frame " << frame;
    }
    // A session of hits and deaths, as the console tells: the Clipper (3) and the Brakiri (6) go.
    EXPECT_NE(transcript.find("\n life: 1"), std::string::npos);
    EXPECT_NE(transcript.find(deathLines(3)), std::string::npos);
    EXPECT_NE(transcript.find(deathLines(6)), std::string::npos);
}

} // namespace
