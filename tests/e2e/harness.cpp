#include "e2e/harness.h"

#include <X11/Xlib.h>
#include <stb/stb_image.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {
namespace {

const char* const windowTitlePattern = "^Zephrandolinth v0\\.1$";

double secondsNow() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string makeScratchDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                          "/zephrandolinth-e2e-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        return "";
    }
    return buffer.data();
}

void removeScratchDirectory(const std::string& path) {
    if (!path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ExitStatus decodeWaitStatus(int raw) {
    ExitStatus status;
    if (WIFEXITED(raw)) {
        status.exited = true;
        status.code = WEXITSTATUS(raw);
    } else if (WIFSIGNALED(raw)) {
        status.signal = WTERMSIG(raw);
    }
    return status;
}

struct SpawnRequest {
    std::vector<std::string> argv;
    std::optional<std::string> display; // nullopt: DISPLAY unset
    std::string workingDirectory;
    std::string stdoutPath;
    std::string stderrPath;
    int inheritedFd = -1; // kept open across exec
};

void redirect(const std::string& path, int target) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        _exit(126);
    }
    dup2(fd, target);
    close(fd);
}

// The child dies with the test process (PR_SET_PDEATHSIG), so no Xvfb or game outlives a
// crashed or timed-out test.
pid_t spawn(const SpawnRequest& request) {
    std::vector<char*> argv;
    for (const std::string& arg : request.argv) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(125);
    }
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        close(devNull);
    }
    redirect(request.stdoutPath, STDOUT_FILENO);
    redirect(request.stderrPath, STDERR_FILENO);
    if (request.inheritedFd >= 0) {
        fcntl(request.inheritedFd, F_SETFD, 0);
    }
    if (request.display) {
        setenv("DISPLAY", request.display->c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    if (!request.workingDirectory.empty() && chdir(request.workingDirectory.c_str()) != 0) {
        _exit(126);
    }
    execvp(argv[0], argv.data());
    _exit(127);
}

// True when the child ended within the timeout; its status goes to `status`.
bool waitForChild(pid_t pid, double timeoutSeconds, ExitStatus& status) {
    const double deadline = secondsNow() + timeoutSeconds;
    for (;;) {
        int raw = 0;
        const pid_t result = waitpid(pid, &raw, WNOHANG);
        if (result == pid) {
            status = decodeWaitStatus(raw);
            return true;
        }
        if (result < 0 && errno != EINTR) {
            return true; // not our child any more: nothing left to wait for
        }
        if (secondsNow() >= deadline) {
            return false;
        }
        sleepSeconds(0.01);
    }
}

// Terminates politely, then by force; always reaps.
ExitStatus endChild(pid_t pid, double politeSeconds) {
    ExitStatus status;
    if (waitForChild(pid, 0, status)) {
        return status;
    }
    kill(pid, SIGTERM);
    if (waitForChild(pid, politeSeconds, status)) {
        return status;
    }
    kill(pid, SIGKILL);
    waitForChild(pid, 10, status);
    return status;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

int Image::countNear(int r, int g, int b, int tolerance) const {
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (std::abs(rgb[i] - r) <= tolerance && std::abs(rgb[i + 1] - g) <= tolerance &&
            std::abs(rgb[i + 2] - b) <= tolerance) {
            ++count;
        }
    }
    return count;
}

int Image::countLit(int threshold) const {
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (rgb[i] > threshold || rgb[i + 1] > threshold || rgb[i + 2] > threshold) {
            ++count;
        }
    }
    return count;
}

Image loadImage(const std::string& path) {
    Image image;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (data == nullptr) {
        return Image{};
    }
    image.rgb.assign(data, data + std::size_t(image.width) * image.height * 3);
    stbi_image_free(data);
    return image;
}

CommandResult runCommand(const std::vector<std::string>& argv, std::optional<std::string> display,
                         double timeoutSeconds, const std::string& workingDirectory) {
    CommandResult result;
    const std::string scratch = makeScratchDirectory();
    if (scratch.empty() || argv.empty()) {
        result.err = "cannot make a scratch directory";
        return result;
    }
    SpawnRequest request{argv, std::move(display), workingDirectory, scratch + "/out",
                         scratch + "/err"};
    const pid_t pid = spawn(request);
    if (pid < 0) {
        result.err = "fork failed";
    } else if (!waitForChild(pid, timeoutSeconds, result.status)) {
        result.timedOut = true;
        result.status = endChild(pid, 1);
    }
    result.out = readFile(request.stdoutPath);
    result.err += readFile(request.stderrPath);
    removeScratchDirectory(scratch);
    return result;
}

std::string gameExecutable() {
    return ZEPH_GAME_EXE;
}
std::string buildDirectory() {
    return ZEPH_BUILD_DIR;
}

VirtualDisplay::VirtualDisplay(const std::string& screen) : scratch_(makeScratchDirectory()) {
    if (scratch_.empty()) {
        error_ = "cannot make a scratch directory";
        return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error_ = "cannot make a pipe";
        return;
    }
    // With -displayfd Xvfb picks a free display number itself and writes it once it accepts
    // connections, so parallel test runs never collide.
    SpawnRequest request{{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                          "-nolisten", "tcp", "-noreset", "+extension", "GLX"},
                         std::nullopt,
                         "",
                         scratch_ + "/xvfb.log",
                         scratch_ + "/xvfb.log",
                         fds[1]};
    pid_ = spawn(request);
    close(fds[1]);
    std::string number;
    const double deadline = secondsNow() + 20;
    while (pid_ > 0 && secondsNow() < deadline && number.find('\n') == std::string::npos) {
        pollfd wait{fds[0], POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) {
            continue;
        }
        char buffer[32];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break; // Xvfb ended without naming a display
        }
        number.append(buffer, std::size_t(got));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        error_ = "Xvfb did not start: " + log();
        return;
    }
    name_ = ":" + firstLine(number);
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        endChild(pid_, 3);
    }
    removeScratchDirectory(scratch_);
}

std::string VirtualDisplay::log() const {
    return readFile(scratch_ + "/xvfb.log");
}

GameSession::GameSession(const std::vector<std::string>& arguments)
    : scratch_(makeScratchDirectory()) {
    if (!display_.ok() || scratch_.empty()) {
        return;
    }
    // The game never flushes its console; stdbuf makes every write reach the file at once.
    std::vector<std::string> argv{"stdbuf", "-o0", gameExecutable()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    pid_ = spawn(
        {argv, display_.name(), buildDirectory(), scratch_ + "/stdout", scratch_ + "/stderr"});
}

GameSession::~GameSession() {
    stop();
    removeScratchDirectory(scratch_);
}

bool GameSession::running() {
    if (pid_ <= 0 || status_.exited || status_.signal != 0) {
        return false;
    }
    return !waitForChild(pid_, 0, status_);
}

bool GameSession::waitForWindow(double timeoutSeconds) {
    const double deadline = secondsNow() + timeoutSeconds;
    while (running() && secondsNow() < deadline) {
        CommandResult found = runCommand(
            {"xdotool", "search", "--onlyvisible", "--name", windowTitlePattern}, display(), 5);
        if (!found.timedOut && found.status.exited && found.status.code == 0 &&
            !found.out.empty()) {
            window_ = firstLine(found.out);
            return true;
        }
        sleepSeconds(0.1);
    }
    return false;
}

bool GameSession::focus() {
    if (window_.empty()) {
        return false;
    }
    CommandResult result = runCommand({"xdotool", "windowfocus", "--sync", window_}, display(), 10);
    return !result.timedOut && result.status.exited && result.status.code == 0;
}

bool GameSession::keys(const std::vector<std::string>& keysyms, int delayMs) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", std::to_string(delayMs)};
    argv.insert(argv.end(), keysyms.begin(), keysyms.end());
    CommandResult result = runCommand(argv, display(), 10 + keysyms.size() * delayMs / 1000.0);
    return !result.timedOut && result.status.exited && result.status.code == 0;
}

std::optional<WindowGeometry> GameSession::windowGeometry() {
    if (window_.empty()) {
        return std::nullopt;
    }
    CommandResult result =
        runCommand({"xdotool", "getwindowgeometry", "--shell", window_}, display(), 10);
    if (result.timedOut || !result.status.exited || result.status.code != 0) {
        return std::nullopt;
    }
    WindowGeometry geometry;
    int found = 0;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        int* field = key == "X"        ? &geometry.x
                     : key == "Y"      ? &geometry.y
                     : key == "WIDTH"  ? &geometry.width
                     : key == "HEIGHT" ? &geometry.height
                                       : nullptr;
        if (field != nullptr) {
            *field = value;
            ++found;
        }
    }
    if (found != 4) {
        return std::nullopt;
    }
    return geometry;
}

std::string GameSession::windowName() {
    if (window_.empty()) {
        return "";
    }
    CommandResult result = runCommand({"xdotool", "getwindowname", window_}, display(), 10);
    return firstLine(result.out);
}

Image GameSession::screenshot() {
    if (window_.empty()) {
        return Image{};
    }
    const std::string path = scratch_ + "/shot" + std::to_string(++screenshots_) + ".png";
    CommandResult result = runCommand({"import", "-window", window_, "png:" + path}, display(), 30);
    if (result.timedOut || !result.status.exited || result.status.code != 0) {
        return Image{};
    }
    if (!keepDirectory_.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(keepDirectory_, ignored);
        std::filesystem::copy_file(
            path, keepDirectory_ + "/" + std::filesystem::path(path).filename().string(),
            std::filesystem::copy_options::overwrite_existing, ignored);
    }
    return loadImage(path);
}

Image GameSession::screenshotRoot() {
    const std::string path = scratch_ + "/root" + std::to_string(++screenshots_) + ".png";
    CommandResult result = runCommand({"import", "-window", "root", "png:" + path}, display(), 30);
    if (result.timedOut || !result.status.exited || result.status.code != 0) {
        return Image{};
    }
    return loadImage(path);
}

std::string GameSession::output() const {
    return readFile(scratch_ + "/stdout");
}
std::string GameSession::errors() const {
    return readFile(scratch_ + "/stderr");
}

bool GameSession::waitForOutput(const std::string& needle, double timeoutSeconds,
                                std::size_t from) {
    const double deadline = secondsNow() + timeoutSeconds;
    for (;;) {
        const std::string text = output();
        if (text.size() >= from && text.find(needle, from) != std::string::npos) {
            return true;
        }
        if (!running()) {
            // It may have written the needle just before ending.
            const std::string last = output();
            return last.size() >= from && last.find(needle, from) != std::string::npos;
        }
        if (secondsNow() >= deadline) {
            return false;
        }
        sleepSeconds(0.05);
    }
}

void GameSession::pause(double seconds) {
    sleepSeconds(seconds);
}

// What a window manager sends when the user closes the window; GLUT answers by exiting.
bool GameSession::closeWindow() {
    if (window_.empty()) {
        return false;
    }
    Display* connection = XOpenDisplay(display().c_str());
    if (connection == nullptr) {
        return false;
    }
    // A window that vanished meanwhile must not end the test process through Xlib's default
    // error handler.
    auto previous = XSetErrorHandler(ignoreXErrors);
    const Window target = Window(std::strtoul(window_.c_str(), nullptr, 10));
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(connection, target, False, NoEventMask, &event);
    XSync(connection, False);
    XSetErrorHandler(previous);
    XCloseDisplay(connection);
    return sent != 0;
}

bool GameSession::waitForExit(double timeoutSeconds) {
    const double deadline = secondsNow() + timeoutSeconds;
    while (running()) {
        if (secondsNow() >= deadline) {
            return false;
        }
        sleepSeconds(0.02);
    }
    return true;
}

ExitStatus GameSession::stop(double timeoutSeconds) {
    if (!running()) {
        return status_;
    }
    if (closeWindow() && waitForExit(timeoutSeconds)) {
        return status_;
    }
    status_ = endChild(pid_, 3);
    return status_;
}

std::string GameSession::describe() const {
    std::ostringstream text;
    text << "display " << (display_.ok() ? display_.name() : "none (" + display_.error() + ")")
         << ", window " << (window_.empty() ? "not found" : window_) << ", game ";
    if (pid_ <= 0) {
        text << "not started";
    } else if (status_.exited) {
        text << "exited with " << status_.code;
    } else if (status_.signal != 0) {
        text << "ended by signal " << status_.signal;
    } else {
        text << "pid " << pid_;
    }
    text << "\n--- game stderr ---\n" << errors() << "\n--- Xvfb log ---\n" << display_.log();
    return text.str();
}

} // namespace e2e
