#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {
namespace {

using Seconds = std::chrono::duration<double>;
double now() {
    return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string readFile(const std::string& path) {
    const Bytes bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The child dies with the test process, so no Xvfb or game outlives a crashed test.
pid_t spawn(const std::vector<std::string>& args, const std::optional<std::string>& display,
            const std::string& directory, const std::string& out, const std::string& err,
            int keptFd = -1) {
    std::vector<char*> argv(args.size() + 1, nullptr);
    std::transform(args.begin(), args.end(), argv.begin(),
                   [](const std::string& arg) { return const_cast<char*>(arg.c_str()); });
    const pid_t parent = getpid(), pid = fork();
    if (pid != 0) {
        return pid;
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (getppid() != parent || in < 0 || o < 0 || e < 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 ||
        dup2(e, 2) < 0 || chdir(directory.c_str()) != 0) {
        _exit(126);
    }
    fcntl(keptFd, F_SETFD, 0); // a no-op on -1
    display ? setenv("DISPLAY", display->c_str(), 1) : unsetenv("DISPLAY");
    execvp(argv[0], argv.data());
    _exit(127);
}

// Waits for the child's end, killing it past the timeout.
CommandResult reap(pid_t pid, double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    for (CommandResult ended;; std::this_thread::sleep_for(Seconds(0.01))) {
        int raw = 0;
        const pid_t result = waitpid(pid, &raw, WNOHANG);
        if (result == pid || result < 0) {
            ended.code = result == pid && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            ended.signal = result == pid && WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
            return ended;
        }
        if (!ended.timedOut && now() >= deadline) {
            kill(pid, SIGKILL);
            ended.timedOut = true;
        }
    }
}

void end(pid_t pid) {
    if (pid > 0 && kill(pid, SIGTERM) == 0) {
        reap(pid, 5);
    }
}

} // namespace

Image loadImage(const std::string& path, int channels) {
    Image image;
    image.channels = channels;
    int inFile = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &inFile, channels);
    if (data != nullptr) {
        image.bytes.assign(data, data + std::size_t(image.width) * image.height * channels);
        stbi_image_free(data);
    }
    return image;
}

testing::AssertionResult showsTheView(const Image& shot, bool withSky) {
    int lit = 0, pixels = 0, colours = 0; // at 5 bits a channel
    std::vector<bool> seen(1 << 15, false);
    for (int y = 40; y < 350 && shot.width >= 570 && shot.height >= 350; ++y) {
        for (int x = 70; x < 570; ++x, ++pixels) {
            const unsigned char* p = shot.pixel(x, y);
            const std::size_t key = std::size_t((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
            colours += seen[key] ? 0 : 1;
            seen[key] = true;
            lit += (p[0] != 0 || p[1] != 0 || p[2] != 0) ? 1 : 0;
        }
    }
    const bool shown =
        withSky ? lit > pixels * 999 / 1000 && colours > 200 : lit > 500 && lit < pixels / 2;
    return shown ? testing::AssertionSuccess()
                 : testing::AssertionFailure()
                       << lit << " of " << pixels << " pixels lit in " << colours << " colours";
}

CommandResult runCommand(const std::vector<std::string>& argv, std::optional<std::string> display,
                         double timeoutSeconds, const std::string& directory) {
    const Scratch folder;
    const std::string scratch = folder.path.string();
    const pid_t pid = spawn(argv, display, directory, scratch + "/out", scratch + "/err");
    CommandResult result = reap(pid, timeoutSeconds);
    result.out = readFile(scratch + "/out"), result.err = readFile(scratch + "/err");
    return result;
}

VirtualDisplay::VirtualDisplay(const std::string& size) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    // Xvfb writes the display number once it accepts connections.
    pid = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", size + "x24",
                 "-nolisten", "tcp", "-noreset", "+extension", "GLX"},
                std::nullopt, "/", "/dev/null", "/dev/null", fds[1]);
    close(fds[1]);
    std::string number;
    for (const double deadline = now() + 20;
         number.find('\n') == std::string::npos && now() < deadline;) {
        pollfd wait{fds[0], POLLIN, 0};
        char buffer[32];
        const ssize_t got = poll(&wait, 1, 100) > 0 ? read(fds[0], buffer, sizeof buffer) : 0;
        if (got < 0 || (got == 0 && wait.revents != 0)) {
            break; // Xvfb ended without naming a display
        }
        number.append(buffer, std::size_t(got));
    }
    close(fds[0]);
    name = number.find('\n') != std::string::npos ? ":" + number.substr(0, number.find('\n')) : "";
}

VirtualDisplay::~VirtualDisplay() {
    end(pid);
}

GameSession::GameSession(const std::vector<std::string>& command, const std::string& directory,
                         const std::string& screen, bool underWindowManager)
    : display(screen) {
    if (display.ok() && underWindowManager) {
        manager = std::make_unique<StandInWindowManager>(display.name);
    }
    if (display.ok() && !scratch.empty() && (!manager || manager->ok())) {
        pid = spawn(command, display.name, directory, scratch + "/stdout", scratch + "/stderr");
    }
}

GameSession::~GameSession() {
    end(pid);
} // before the scratch folder goes

bool GameSession::running() {
    int raw = 0;
    const pid_t result = pid > 0 ? waitpid(pid, &raw, WNOHANG) : 0;
    ended = result == pid ? raw : ended;
    pid = result == 0 ? pid : 0;
    return pid > 0;
}

std::optional<int> GameSession::exitStatus(double seconds) {
    for (const double deadline = now() + seconds; running() && now() < deadline;) {
        std::this_thread::sleep_for(Seconds(0.05));
    }
    return running() || !WIFEXITED(ended) ? std::nullopt : std::optional<int>(WEXITSTATUS(ended));
}

WindowPlace GameSession::windowPlace() {
    const std::string shell =
        runCommand({"xdotool", "getwindowgeometry", "--shell", window}, display.name, 10).out;
    const auto value = [&shell](const std::string& name) {
        const std::size_t at = shell.find("\n" + name + "=");
        return at == std::string::npos ? -1 : std::atoi(shell.c_str() + at + name.size() + 2);
    };
    return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

bool GameSession::placeWindow(const WindowPlace& place) {
    return runCommand({"xdotool", "windowmove", "--sync", window, std::to_string(place[0]),
                       std::to_string(place[1]), "windowsize", "--sync", window,
                       std::to_string(place[2]), std::to_string(place[3])},
                      display.name, 10)
               .code == 0;
}

// A search gives up when a window it looks at vanishes meanwhile (Wine makes and drops windows
// of its own at start-up), so it is asked again until the game's is there.
bool GameSession::waitForWindow() {
    for (const double deadline = now() + 30; window.empty() && now() < deadline;) {
        const CommandResult found = runCommand(
            {"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Zephrandolinth v0\\.1$"},
            display.name, std::max(1.0, deadline - now()));
        window = found.code == 0 ? found.out.substr(0, found.out.find('\n')) : "";
    }
    return !window.empty() &&
           runCommand({"xdotool", "windowfocus", "--sync", window}, display.name, 10).code == 0;
}

bool GameSession::keys(const std::vector<std::string>& keysyms) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", "40"};
    argv.insert(argv.end(), keysyms.begin(), keysyms.end());
    return runCommand(argv, display.name, 10 + keysyms.size() * 0.04).code == 0;
}

Image GameSession::screenshot(const std::string& name, const std::string& directory) {
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    const std::string path = directory + "/" + name + ".png";
    return runCommand({"import", "-window", window, "png:" + path}, display.name, 30).code == 0
               ? loadImage(path)
               : Image{};
}

std::string GameSession::workingDirectory() const {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/cwd", error).string();
}

std::string GameSession::output() const {
    return readFile(scratch + "/stdout");
}

std::string GameSession::errors() const {
    return readFile(scratch + "/stderr");
}

bool GameSession::waitFrames(int count, std::size_t from) {
    const std::string frameEnd = "\n fin du print";
    for (double deadline = now() + 60; count > 0; std::this_thread::sleep_for(Seconds(0.05))) {
        const bool alive = running(); // read after, so a game's last bytes are seen
        const std::string text = output();
        for (std::size_t at; count > 0 && (at = text.find(frameEnd, from)) != std::string::npos;) {
            from = at + frameEnd.size(), --count, deadline = now() + 60; // a minute a frame
        }
        if (count > 0 && (!alive || now() >= deadline)) {
            return false;
        }
    }
    return true;
}

std::string GameSession::describe() {
    return "display " + display.name + ", window " + window +
           (running() ? ", game running" : ", game ended") + "\n--- game stderr ---\n" + errors();
}

void expectTheSkyThenTheSceneWithoutIt(GameSession& game, const std::string& name,
                                       const std::string& directory) {
    // Each picture waits for frames drawn after what it shows began: the one under way may
    // predate it.
    ASSERT_TRUE(game.waitFrames(2, game.output().size())) << game.describe();
    EXPECT_TRUE(showsTheView(game.screenshot(name + "-sky-on", directory), true));
    ASSERT_TRUE(game.keys({"F4"}));
    ASSERT_TRUE(game.waitFrames(3, game.output().size())) << game.describe();
    ASSERT_TRUE(game.waitFrames(shipsPassed, 0)) << game.describe();
    EXPECT_TRUE(showsTheView(game.screenshot(name + "-sky-off", directory), false));
}

testing::AssertionResult writesTheUntouchedConsole(GameSession& game, const std::string& newline) {
    // Frame 50 ends with its collision lines, which only the dump of frame 51 closes off.
    if (!game.waitFrames(51, 0)) {
        return testing::AssertionFailure() << game.describe();
    }
    const std::string out = game.output(),
                      expected =
                          transcript::untouched(readBytes(ZEPH_BUILD_DIR "/bin/models/kanone.3ds"),
                                                50, newline) +
                          newline + " on print";
    const std::size_t at =
        std::size_t(std::mismatch(expected.begin(), expected.end(), out.begin(), out.end()).first -
                    expected.begin());
    const std::size_t from = at < 200 ? 0 : at - 200; // both shown around the first difference
    return at == expected.size() ? testing::AssertionSuccess()
                                 : testing::AssertionFailure()
                                       << "byte " << at << " differs\n--- expected ---\n"
                                       << expected.substr(from, 400) << "\n--- actual ---\n"
                                       << out.substr(from, 400);
}

} // namespace e2e
