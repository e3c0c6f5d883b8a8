// The Windows build under Wine: the executable's own facts, the portable zip's game started from
// another folder (its window, scene, console and keys, with and without its art), and the
// installer (into a folder with a non-ASCII name, over itself, into a place it cannot write).
// What Wine cannot stand in for is a real Windows machine's OpenGL driver.

#include "e2e/harness.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

using e2e::CommandResult;

const fs::path windowsBuild = ZEPH_WINDOWS_BUILD;
const std::string screenshots = (windowsBuild / "screenshots").string();

// Wine's own chatter off, no .NET or HTML engine prompts, no menu entries in the desktop of
// whoever runs the tests, and UTF-8 command lines and file names, "Zéphyr" included.
const bool wineQuietAndUtf8 = [] {
    setenv("WINEDEBUG", "-all", 0);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 0);
    setenv("LC_ALL", "C.UTF-8", 1);
    return true;
}();

fs::path winePrefix() {
    const char *prefix = std::getenv("WINEPREFIX"), *home = std::getenv("HOME");
    return prefix != nullptr ? fs::path(prefix) : fs::path(home != nullptr ? home : "") / ".wine";
}

// Wine's desktop belongs to the display of the program that made it, for as long as Wine's
// server runs: each program is started on a server of its own.
std::vector<std::string> underWine(const fs::path& executable, std::vector<std::string> args = {}) {
    e2e::runCommand({"wineserver", "-k"}, std::nullopt, 30);
    e2e::runCommand({"wineserver", "-w"}, std::nullopt, 30);
    args.insert(args.begin(), {"wine", executable.string()});
    return args;
}

CommandResult runUnderWine(const fs::path& executable, const std::vector<std::string>& args) {
    return e2e::runCommand(underWine(executable, args), std::nullopt, 120, "/");
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The files under `root` whose lower-case name contains every one of `parts`.
std::vector<fs::path> filesNamed(const fs::path& root, const std::vector<std::string>& parts) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = lower(it->path().filename().string());
        if (it->is_regular_file() && std::all_of(parts.begin(), parts.end(), [&](const auto& part) {
                return name.find(part) != std::string::npos;
            })) {
            found.push_back(it->path());
        }
    }
    return found;
}

// The lines of `text` for which `keep` holds.
template <class Keep> std::string linesWhere(const std::string& text, Keep keep) {
    std::istringstream lines(text);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        kept += keep(line) ? line + "\n" : "";
    }
    return kept;
}

// The game's stderr without freeglut's warning that Wine alone provokes: its Windows port reads
// the X variable DISPLAY too, which Wine's programs inherit, and finds no Windows display ":N"
// to measure (then hints at -display). A Windows desktop sets no DISPLAY.
std::string gameErrors(const e2e::GameSession& game) {
    return linesWhere(game.errors(), [](const std::string& line) {
        return line.rfind("freeglut (", 0) != 0 &&
               line.rfind("This is quite likely caused by a bad '-display'", 0) != 0;
    });
}

// The portable zip unpacked into a scratch folder, for one test.
struct UnpackedZip {
    UnpackedZip() {
        const fs::path zip = windowsBuild / "zephrandolinth-0.1-win64.zip";
        const CommandResult unzip = e2e::runCommand({"cmake", "-E", "tar", "xf", zip.string()},
                                                    std::nullopt, 120, folder.path.string());
        EXPECT_EQ(unzip.code, 0) << zip << "\n" << unzip.err;
        const std::vector<fs::path> exes = filesNamed(folder.path, {"zephrandolinth.exe"});
        game = exes.empty() ? fs::path() : exes.front();
    }
    Scratch folder;
    fs::path game;
};

// Windows' own libraries that a game on OpenGL 1.1 and GLUT may import; anything else must
// come with it.
bool windowsOwn(const std::string& dll) {
    static const std::set<std::string> own = {
        "kernel32.dll", "user32.dll",  "gdi32.dll",    "opengl32.dll", "glu32.dll",
        "msvcrt.dll",   "winmm.dll",   "advapi32.dll", "shell32.dll",  "ole32.dll",
        "comdlg32.dll", "shlwapi.dll", "ucrtbase.dll", "ntdll.dll"};
    return own.count(lower(dll)) > 0 || lower(dll).rfind("api-ms-win-crt-", 0) == 0;
}

TEST(WindowsExecutable, isAGuiProgramWithIconAndVersionImportingOnlyWindowsOrItsOwnDlls) {
    const UnpackedZip zip;
    ASSERT_FALSE(zip.game.empty()) << "no zephrandolinth.exe in the zip";
    // The game, a GUI program, and every DLL shipped beside it import only Windows' own DLLs or
    // shipped ones.
    for (const fs::directory_entry& file : fs::directory_iterator(zip.game.parent_path())) {
        if (file.path() != zip.game && lower(file.path().extension().string()) != ".dll") {
            continue;
        }
        const CommandResult dump = e2e::runCommand(
            {"x86_64-w64-mingw32-objdump", "-p", file.path().string()}, std::nullopt, 60);
        EXPECT_EQ(dump.code, 0) << file.path() << dump.err;
        EXPECT_TRUE(file.path() != zip.game || dump.out.find("(Windows GUI)") != std::string::npos)
            << "not the GUI subsystem";
        std::istringstream lines(dump.out);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t at = line.find("DLL Name: ");
            const std::string dll = at == std::string::npos ? "" : line.substr(at + 10);
            EXPECT_TRUE(dll.empty() || windowsOwn(dll) ||
                        fs::is_regular_file(zip.game.parent_path() / dll))
                << file.path().filename() << " imports " << dll;
        }
    }
    const CommandResult resources =
        e2e::runCommand({"wrestool", "-l", zip.game.string()}, std::nullopt, 60);
    EXPECT_NE(resources.out.find("[type=group_icon"), std::string::npos) << resources.out;
    const CommandResult version = e2e::runCommand(
        {"wrestool", "-x", "--raw", "--type=version", zip.game.string()}, std::nullopt, 60);
    for (const std::string value : {"Zephrandolinth", "0.1"}) {
        std::string utf16;
        for (const char c : value) {
            utf16 += {c, '\0'};
        }
        EXPECT_NE(version.out.find(utf16), std::string::npos)
            << "the version resource lacks " << value << "\n"
            << resources.out;
    }
}

// The console is the Linux game's with every line ending as "\r\n"; F4 writes nothing to it.
TEST(WindowsGame, fromTheZipStartedElsewhereItOpensItsWindowWritesItsConsoleAndPlays) {
    const UnpackedZip zip;
    const Scratch elsewhere;
    e2e::GameSession game(underWine(zip.game), elsewhere.path.string());
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    const e2e::WindowPlace place = game.windowPlace();
    EXPECT_TRUE(place[2] == 640 && place[3] == 480) << place[2] << "x" << place[3];
    e2e::expectTheSkyThenTheSceneWithoutIt(game, "zip", screenshots);
    EXPECT_TRUE(e2e::writesTheUntouchedConsole(game, "\r\n"));

    const std::size_t firing = game.output().size();
    ASSERT_TRUE(game.keys({"F2"}));
    ASSERT_TRUE(game.waitFrames(30, firing)) << game.describe();
    EXPECT_NE(game.output().find("\r\n premier dispo: 7\r\n", firing), std::string::npos)
        << "F2 fired no rocket";
    EXPECT_EQ(gameErrors(game), "");
}

TEST(WindowsGame, versionAnswersWithoutADisplayAndQuietWritesNothing) {
    const UnpackedZip zip;
    const CommandResult version = runUnderWine(zip.game, {"--version"});
    EXPECT_TRUE(version.code == 0 && version.out == "Zephrandolinth 0.1\r\n" && version.err.empty())
        << version.code << "\n"
        << version.out << version.err;

    e2e::GameSession game(underWine(zip.game, {"--quiet"}), "/");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    // Long enough for the buffered console of a game that did write to reach the file.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    EXPECT_TRUE(game.running()) << game.describe();
    EXPECT_EQ(game.output(), "");
    EXPECT_EQ(gameErrors(game), "");
}

// As on Linux: one line names where the game looked, then it plays without meshes or images.
TEST(WindowsGame, withoutItsArtItSaysWhereItLookedThenRunsWithoutIt) {
    const UnpackedZip zip;
    const Scratch bare;
    fs::copy(zip.game.parent_path(), bare.path); // its files, not its folders
    e2e::GameSession game(underWine(bare.path / zip.game.filename()), bare.path.string());
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.waitFrames(20, 0)) << game.describe();
    const std::string err = gameErrors(game);
    EXPECT_EQ(
        err.rfind("zephrandolinth: no game art (bin\\models) in the working directory Z:\\", 0), 0)
        << err;
    // One line says it for every mesh and image.
    EXPECT_EQ(err.find("; the game runs without it\r\n"), err.size() - 28) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    game.screenshot("no-art", screenshots);
    EXPECT_TRUE(game.running()) << game.describe();
}

// The registry's uninstall entries and the start menu's shortcuts that name the game.
std::string registeredUninstallers() {
    const std::string key = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const CommandResult query = e2e::runCommand(
        {"wine", "cmd", "/c", "reg query HKLM" + key + " /s & reg query HKCU" + key + " /s"},
        std::nullopt, 60, "/");
    return linesWhere(query.out, [](const std::string& line) {
        return line.rfind("HKEY_", 0) == 0 &&
               lower(line).find("zephrandolinth") != std::string::npos;
    });
}

std::vector<fs::path> shortcuts() {
    return filesNamed(winePrefix() / "drive_c", {"zephrandolinth", ".lnk"});
}

CommandResult install(const std::string& windowsFolder) {
    const fs::path installer = windowsBuild / "zephrandolinth-0.1-win64.exe";
    EXPECT_TRUE(fs::is_regular_file(installer)) << installer;
    return runUnderWine(installer, {"/S", "/D=" + windowsFolder});
}

TEST(WindowsInstaller, installsTwiceIntoAFolderNamedZephyrThenItsGameDrawsAndAllIsUninstalled) {
    const fs::path folder = winePrefix() / "drive_c/Jeux/Z\xC3\xA9phyr";
    for (int time = 1; time <= 2; ++time) { // the second over the first
        const CommandResult installed = install("C:\\Jeux\\Z\xC3\xA9phyr");
        ASSERT_EQ(installed.code, 0) << "install " << time << "\n" << installed.err;
    }
    const fs::path game = folder / "zephrandolinth.exe";
    ASSERT_TRUE(fs::is_regular_file(game)) << game;
    EXPECT_TRUE(fs::is_regular_file(folder / "bin/models/rocket.3ds"));
    EXPECT_FALSE(shortcuts().empty()) << "no start menu shortcut";
    const std::string entries = registeredUninstallers();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), '\n'), 1) << entries;
    {
        const Scratch elsewhere;
        e2e::GameSession session(underWine(game), elsewhere.path.string());
        ASSERT_TRUE(session.ok() && session.waitForWindow()) << session.describe();
        ASSERT_TRUE(session.waitFrames(2, 0)) << session.describe();
        EXPECT_TRUE(e2e::showsTheView(session.screenshot("installed", screenshots), true));
        EXPECT_EQ(gameErrors(session), "");
    }
    const std::vector<fs::path> uninstallers = filesNamed(folder, {"unin"});
    ASSERT_EQ(uninstallers.size(), 1u) << "one uninstaller in " << folder;
    const CommandResult removed = runUnderWine(uninstallers.front(), {"/S"});
    EXPECT_EQ(removed.code, 0) << removed.err;
    // The uninstaller copies itself away and returns at once: Wine's server ends with the copy.
    EXPECT_FALSE(e2e::runCommand({"wineserver", "-w"}, std::nullopt, 120).timedOut);
    EXPECT_FALSE(fs::exists(folder)) << folder << " is left";
    EXPECT_TRUE(shortcuts().empty()) << shortcuts().front();
    EXPECT_EQ(registeredUninstallers(), "");
}

// A file stands where the folder would go: no user, root included, can write there.
TEST(WindowsInstaller, aFolderThatCannotBeWrittenFailsTheInstallAndLeavesNothingBehind) {
    const fs::path blocked = winePrefix() / "drive_c/Jeux/occupied";
    fs::create_directories(blocked.parent_path());
    std::ofstream(blocked) << "x";
    const std::vector<fs::path> links = shortcuts();
    const std::string entries = registeredUninstallers();
    const CommandResult installed = install("C:\\Jeux\\occupied\\Zephrandolinth");
    fs::remove(blocked);
    EXPECT_FALSE(installed.timedOut);
    EXPECT_NE(installed.code, 0) << "reported success";
    EXPECT_EQ(shortcuts(), links);
    EXPECT_EQ(registeredUninstallers(), entries);
    EXPECT_FALSE(fs::exists(winePrefix() / "drive_c/Program Files/Zephrandolinth"))
        << "installed into its default folder instead";
}

} // namespace
