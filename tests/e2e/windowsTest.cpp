// The Windows build under Wine: the executable's own facts, the portable zip's game started from
// another folder (its window, scene, console and keys, with and without its art, its help at a
// prompt), and the installer (silent: into a folder with a non-ASCII name, over itself, a quoted
// folder, while the game runs, into a place it cannot write; walked page by page as a player
// would). What a player sees of a dialog or a console is read back by zephprobe
// (tests/windows/probe.cpp). What Wine cannot stand in for is a real Windows machine's OpenGL
// driver.

#include "e2e/harness.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

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
// server runs: each program is started on a server of its own, unless `sameServer`.
std::vector<std::string> underWine(const fs::path& executable, std::vector<std::string> args = {},
                                   bool sameServer = false) {
    for (const char* step : {"-k", "-w"}) {
        if (!sameServer) {
            e2e::runCommand({"wineserver", step}, std::nullopt, 30);
        }
    }
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
    // freeglut loads the group icon by this name alone.
    EXPECT_NE(resources.out.find("--type=14 --name='GLUT_ICON' "), std::string::npos)
        << resources.out;
    // Windows scales the picture of a program that does not declare it draws at the screen's
    // own pixels: the manifest says so, per monitor.
    const CommandResult manifest = e2e::runCommand(
        {"wrestool", "-x", "--raw", "--type=24", zip.game.string()}, std::nullopt, 60);
    EXPECT_NE(manifest.out.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                                "WindowsSettings\">PerMonitorV2"),
              std::string::npos)
        << manifest.out;
    // The zip's README is the players' own, in Windows' line ends, not the Linux README.
    std::ifstream readmeFile(zip.game.parent_path() / "README.txt", std::ios::binary);
    const std::string readme(std::istreambuf_iterator<char>(readmeFile), {});
    EXPECT_TRUE(readme.rfind("Zephrandolinth 0.1\r\n", 0) == 0 &&
                std::count(readme.begin(), readme.end(), '\n') ==
                    std::count(readme.begin(), readme.end(), '\r') &&
                readme.find("Debian") == std::string::npos)
        << readme;
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

// What zephprobe prints of `program` run with `options` (see tests/windows/probe.cpp) on
// `display`, on a Wine server of its own unless `sameServer` (where an earlier program started
// on the same display still runs).
CommandResult probe(const e2e::VirtualDisplay& display, std::vector<std::string> options,
                    const fs::path& program, const std::vector<std::string>& args,
                    const std::string& directory = "/", bool sameServer = false) {
    options.push_back("--");
    options.push_back(program.string());
    options.insert(options.end(), args.begin(), args.end());
    return e2e::runCommand(underWine(windowsBuild / "tests/zephprobe.exe", options, sameServer),
                           display.name, 120, directory);
}

// Typed at a prompt, the windowed game has no standard output: it writes into the prompt's
// console what it writes to a redirected output, in Windows' own words.
TEST(WindowsGame, helpAndVersionReachThePromptsConsoleAndRedirectedOutputStaysAsItWas) {
    const UnpackedZip zip;
    const e2e::VirtualDisplay display; // for the console's window
    std::string usage;
    for (const std::string option : {"--help", "--version"}) {
        const CommandResult redirected = runUnderWine(zip.game, {option});
        EXPECT_TRUE(redirected.code == 0 && redirected.err.empty()) << option << redirected.err;
        std::string lines = redirected.out;
        lines.erase(std::remove(lines.begin(), lines.end(), '\r'), lines.end());
        EXPECT_EQ(probe(display, {"--console=none"}, zip.game, {option}).out,
                  "console:\n" + lines + "\nexit: 0\n")
            << option;
        usage = option == "--help" ? redirected.out : usage;
        EXPECT_TRUE(option == "--help" || redirected.out == "Zephrandolinth 0.1\r\n")
            << redirected.out;
    }
    EXPECT_NE(usage.find("(so too when it is NUL)\r\n"), std::string::npos) << usage;
    for (const std::string unix : {"/dev/null", "X display", "X server"}) {
        EXPECT_EQ(usage.find(unix), std::string::npos) << unix << " in\n" << usage;
    }
}

// Quiet, it writes nothing, all the way to its end (where a buffered console would go out).
TEST(WindowsGame, quietItWritesNothing) {
    const UnpackedZip zip;
    e2e::GameSession game(underWine(zip.game, {"--quiet"}), "/");
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    ASSERT_TRUE(game.keys({"Escape"}));
    EXPECT_EQ(game.exitStatus(30), 0) << game.describe();
    EXPECT_EQ(game.output(), "");
    EXPECT_EQ(gameErrors(game), "");
}

// As on Linux, one line names where the game looked; a message box says it too, to a player
// who started it from Explorer, and the game runs on without meshes or images once it is
// answered. Handed a console, the game writes its console stream there (a console is no NUL)
// and the line, its folder's name in Windows' own UTF-16 (the console is set to a Western code
// page, 850, where UTF-8 bytes would show as other letters).
TEST(WindowsGame, withoutItsArtAMessageBoxSaysWhereItLookedThenItRunsWithoutIt) {
    const UnpackedZip zip;
    const Scratch scratch;
    const fs::path bare = scratch.path / "Z\xC3\xA9phyr";
    fs::create_directory(bare);
    fs::copy(zip.game.parent_path(), bare); // its files, not its folders
    const e2e::VirtualDisplay display;
    const CommandResult seen =
        probe(display, {"--console=handles", "--answer", "--close=Zephrandolinth v0.1"},
              bare / zip.game.filename(), {}, bare.string());
    std::string folder = "Z:" + bare.string();
    std::replace(folder.begin(), folder.end(), '/', '\\');
    const std::string line = "no game art (bin\\models) in the working directory " + folder +
                             "; the game runs without it";
    EXPECT_NE(seen.out.find("dialog: Zephrandolinth\n"), std::string::npos) << seen.out;
    EXPECT_NE(seen.out.find("  Static 65535: N" + line.substr(1) +
                            ".\\n\\nThe game's art is the bin folder that comes beside "
                            "zephrandolinth.exe"),
              std::string::npos)
        << seen.out;
    const std::string console =
        seen.out.substr(std::min(seen.out.find("console:\n"), seen.out.size()));
    EXPECT_NE(console.find("\n*       Zephrandolinth v0.1      *\n"), std::string::npos) << console;
    const std::size_t said = console.find("\nzephrandolinth: " + line + "\n");
    EXPECT_NE(said, std::string::npos) << console;
    EXPECT_EQ(console.find("zephrandolinth: ", said + 2), std::string::npos)
        << "one line says it for every mesh and image\n"
        << console;
    EXPECT_EQ(seen.out.substr(seen.out.size() - 8), "exit: 0\n") << seen.out;
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

const fs::path installer = windowsBuild / "zephrandolinth-0.1-win64.exe";

CommandResult install(const std::string& windowsFolder) {
    EXPECT_TRUE(fs::is_regular_file(installer)) << installer;
    return runUnderWine(installer, {"/S", "/D=" + windowsFolder});
}

void uninstall(const fs::path& folder) {
    const std::vector<fs::path> uninstallers = filesNamed(folder, {"unin"});
    ASSERT_EQ(uninstallers.size(), 1u) << "one uninstaller in " << folder;
    const CommandResult removed = runUnderWine(uninstallers.front(), {"/S"});
    EXPECT_EQ(removed.code, 0) << removed.err;
    // The uninstaller copies itself away and returns at once: Wine's server ends with the copy.
    EXPECT_FALSE(e2e::runCommand({"wineserver", "-w"}, std::nullopt, 120).timedOut);
    EXPECT_FALSE(fs::exists(folder)) << folder << " is left";
    EXPECT_TRUE(shortcuts().empty()) << shortcuts().front();
    EXPECT_EQ(registeredUninstallers(), "");
    // The game's registry key and its vendor's, which hold nothing else.
    EXPECT_NE(e2e::runCommand({"wine", "reg", "query", "HKLM\\Software\\Zephrandolinth developers"},
                              std::nullopt, 60, "/")
                  .code,
              0)
        << "an empty registry key is left";
}

// Silent, as scripts install: the second install, with no folder named, goes over the first;
// a quoted folder is refused; so is another folder while the game runs from the first, which
// stays whole. Each refusal exits with 2 and touches nothing.
TEST(WindowsInstaller, installsTwiceIntoAFolderNamedZephyrThenItsGameDrawsAndAllIsUninstalled) {
    const fs::path jeux = winePrefix() / "drive_c/Jeux";
    const fs::path folder = jeux / "Z\xC3\xA9phyr",
                   defaultFolder = winePrefix() / "drive_c/Program Files/Zephrandolinth";
    const CommandResult first = install("C:\\Jeux\\Z\xC3\xA9phyr");
    ASSERT_EQ(first.code, 0) << first.err;
    const CommandResult second = runUnderWine(installer, {"/S"});
    ASSERT_EQ(second.code, 0) << second.err;
    const CommandResult quoted = runUnderWine(installer, {"/S", "/D=C:\\Jeux\\Quoted B"});
    EXPECT_EQ(quoted.code, 2) << "a quoted /D= taken";
    EXPECT_FALSE(fs::exists(jeux / "Quoted B"));
    EXPECT_FALSE(fs::exists(defaultFolder)) << "installed into its default folder";
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
        const CommandResult elsewhereWhileRunning = e2e::runCommand(
            {"wine", installer.string(), "/S", "/D=C:\\Jeux\\Other"}, std::nullopt, 120, "/");
        EXPECT_EQ(elsewhereWhileRunning.code, 2) << "installed while the game ran";
        EXPECT_FALSE(fs::exists(jeux / "Other"));
        EXPECT_TRUE(fs::is_regular_file(game) && fs::is_regular_file(folder / "Uninstall.exe"))
            << "the running game's install was touched";
        EXPECT_EQ(registeredUninstallers(), entries);
    }
    uninstall(folder);
}

// The paragraphs of the licence, each on one line, as the probe shows an edit box's text.
std::string licenceAsShown() {
    std::ifstream in(fs::path(ZEPH_SOURCE_DIR) / "LICENSE");
    std::string shown, line;
    bool blank = true;
    while (std::getline(in, line)) {
        shown += line.empty() ? "\\n\\n" : (blank ? "" : " ") + line;
        blank = line.empty();
    }
    return shown;
}

// Page by page as a player clicks through (Next on each): the footer names the game, the
// licence reads as its paragraphs, the folder given by /D= is offered and another one typed
// in is taken, the finish page starts the game. A second install offers the first one's
// folder; another typed in, it stops with a message while that game runs, and touches nothing.
TEST(WindowsInstaller, walkedPageByPageItOffersTheFirstFolderAndStopsWhileTheGameRuns) {
    const fs::path jeux = winePrefix() / "drive_c/Jeux", picked = jeux / "Picked";
    const e2e::VirtualDisplay display;
    const CommandResult first = probe(display, {"--answer", "--type=1019:C:\\Jeux\\Picked"},
                                      installer, {"/D=C:\\Jeux\\Asked"});
    EXPECT_NE(first.out.find("  Static 1028: Zephrandolinth 0.1\n"), std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("  RichEdit20W 1000: " + licenceAsShown() + "\\n\n"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("  Edit 1019: C:\\Jeux\\Asked\n"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("  Button 1203: Start the game [ticked]\n"), std::string::npos)
        << first.out;
    EXPECT_EQ(first.out.substr(first.out.size() - 8), "exit: 0\n") << first.out;
    EXPECT_FALSE(fs::exists(jeux / "Asked"));
    ASSERT_TRUE(fs::is_regular_file(picked / "zephrandolinth.exe"));

    // The game the finish page started runs on, on the same Wine server.
    const CommandResult second =
        probe(display, {"--answer", "--type=1019:C:\\Jeux\\Other", "--close=Zephrandolinth v0.1"},
              installer, {}, "/", true);
    EXPECT_NE(second.out.find("  Edit 1019: C:\\Jeux\\Picked"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("  Static 65535: Zephrandolinth is running from C:\\Jeux\\Picked. "
                              "Close the game, then install again.\n"),
              std::string::npos)
        << second.out;
    EXPECT_EQ(second.out.substr(second.out.size() - 8), "exit: 2\n") << second.out;
    EXPECT_FALSE(fs::exists(jeux / "Other"));
    EXPECT_TRUE(fs::is_regular_file(picked / "zephrandolinth.exe") &&
                fs::is_regular_file(picked / "Uninstall.exe"));
    uninstall(picked);
}

// A file stands where the folder would go: no user, root included, can write there. Silent, the
// install fails. Walked through (where the directory page refuses that folder), a folder whose
// earlier executable cannot be written (here a folder of that name: Wine lets root write any
// file) stops the install with a message that guesses at no running game.
TEST(WindowsInstaller, aFolderThatCannotBeWrittenFailsTheInstallAndLeavesNothingBehind) {
    const fs::path jeux = winePrefix() / "drive_c/Jeux", blocked = jeux / "occupied";
    fs::create_directories(jeux / "unwritable/zephrandolinth.exe");
    std::ofstream(blocked) << "x";
    const std::vector<fs::path> links = shortcuts();
    const std::string entries = registeredUninstallers();
    const CommandResult installed = install("C:\\Jeux\\occupied\\Zephrandolinth");
    const e2e::VirtualDisplay display;
    const CommandResult walked =
        probe(display, {"--answer", "--type=1019:C:\\Jeux\\unwritable"}, installer, {});
    fs::remove(blocked);
    EXPECT_FALSE(installed.timedOut);
    EXPECT_NE(installed.code, 0) << "reported success";
    EXPECT_NE(walked.out.find("  Static 65535: Cannot write into C:\\Jeux\\unwritable.\n"),
              std::string::npos)
        << walked.out;
    EXPECT_EQ(walked.out.substr(walked.out.size() - 8), "exit: 2\n") << walked.out;
    EXPECT_EQ(fs::remove_all(jeux / "unwritable"), 2u) << "the installer wrote there";
    EXPECT_EQ(shortcuts(), links);
    EXPECT_EQ(registeredUninstallers(), entries);
    EXPECT_FALSE(fs::exists(winePrefix() / "drive_c/Program Files/Zephrandolinth"))
        << "installed into its default folder instead";
}

} // namespace
