#pragma once
// Whole-program tests: the real game executable in a real window on its own Xvfb display.
//
//   GameSession game;                             // starts Xvfb and the game (from the build dir)
//   ASSERT_TRUE(game.ok()) << game.describe();    // both up?
//   ASSERT_TRUE(game.waitForWindow()) << game.describe();
//   ASSERT_TRUE(game.focus());                    // there is no window manager: focus by hand
//   game.keys({"Prior", "Up", "F2"});             // X keysyms: Up Down Left Right Prior (Page
//                                                 // Up) Next (Page Down) F2 F3 F4 ...
//   game.waitForOutput("\n life: ");              // console bytes so far, exact
//   Image shot = game.screenshot();               // the 640x480 game window as RGB
//   game.stop();                                  // or let the destructor do it
//
// The game's stdout is captured byte for byte in a file: the game runs under `stdbuf -o0`, so
// what it wrote is readable at once even though it never flushes. Every wait has a timeout;
// the destructor stops the game and Xvfb and deletes the scratch files even when a test fails,
// and both children are killed by the kernel if the test process itself dies.
// The tools it drives are Xvfb, xdotool, ImageMagick's `import` and stdbuf; images are decoded
// with stb_image (libstb).

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A decoded screenshot: rows top to bottom, 3 bytes (R, G, B) per pixel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool empty() const { return rgb.empty(); }
    const unsigned char* pixel(int x, int y) const {
        return &rgb[(std::size_t(y) * width + x) * 3];
    }
    // Pixels whose R, G and B all stay within `tolerance` of (r, g, b).
    int countNear(int r, int g, int b, int tolerance = 8) const;
    // Pixels that are not black (any channel above `threshold`).
    int countLit(int threshold = 16) const;
};

// Loads a PNG (or any format stb_image knows) as RGB; empty on failure.
Image loadImage(const std::string& path);

struct ExitStatus {
    bool exited = false; // false: still running, or ended by a signal
    int code = -1;       // exit code when exited
    int signal = 0;      // signal number when ended by a signal
};

struct CommandResult {
    bool timedOut = false; // killed because it ran past its timeout
    ExitStatus status;
    std::string out; // stdout bytes
    std::string err; // stderr bytes
};

// Runs a program to completion (killed after timeoutSeconds). `display` is the DISPLAY it gets;
// std::nullopt runs it with DISPLAY unset. The working directory is `workingDirectory` when
// not empty.
CommandResult runCommand(const std::vector<std::string>& argv, std::optional<std::string> display,
                         double timeoutSeconds, const std::string& workingDirectory = "");

// Path of the game executable and of the directory it runs from (where bin/ lies).
std::string gameExecutable();
std::string buildDirectory();

// An Xvfb server on a free display number, with a 1024x768x24 screen by default.
class VirtualDisplay {
  public:
    explicit VirtualDisplay(const std::string& screen = "1024x768x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !name_.empty(); }
    const std::string& name() const { return name_; } // e.g. ":3"
    const std::string& error() const { return error_; }
    std::string log() const; // what Xvfb wrote

  private:
    std::string scratch_;
    std::string name_;
    std::string error_;
    int pid_ = -1;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The game running on its own virtual display.
class GameSession {
  public:
    // Starts Xvfb, then the game with these extra arguments, from the build directory.
    explicit GameSession(const std::vector<std::string>& arguments = {});
    ~GameSession(); // stop(), then Xvfb goes, then the scratch files
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    bool ok() const { return pid_ > 0 && display_.ok(); }
    const std::string& display() const { return display_.name(); }

    // Waits until the game's window ("Zephrandolinth v0.1") is mapped; false on timeout or
    // when the game ends first.
    bool waitForWindow(double timeoutSeconds = 30);
    const std::string& window() const { return window_; } // X window id, decimal
    // Gives the game window the keyboard focus (no window manager does it here).
    bool focus();
    // Presses and releases each keysym in turn, `delayMs` apart, through the XTEST extension.
    bool keys(const std::vector<std::string>& keysyms, int delayMs = 40);
    bool key(const std::string& keysym) { return keys({keysym}); }

    std::optional<WindowGeometry> windowGeometry();
    std::string windowName();

    // The game window (or the whole screen) as an image; empty on failure.
    Image screenshot();
    Image screenshotRoot();
    // Keeps the last screenshot's PNG here too, for a person to look at.
    void keepScreenshotsIn(const std::string& directory) { keepDirectory_ = directory; }

    std::string output() const; // stdout bytes so far, exact
    std::string errors() const; // stderr so far
    // Waits until stdout contains `needle` (searching from byte `from`); false on timeout or when
    // the game ends first without it.
    bool waitForOutput(const std::string& needle, double timeoutSeconds = 30, std::size_t from = 0);
    // Lets the game run for a while (frames go by).
    static void pause(double seconds);

    bool running();
    // Asks the window to close as a window manager would (WM_DELETE_WINDOW): GLUT then exits
    // normally. Waits up to timeoutSeconds, then terminates and finally kills the game.
    ExitStatus stop(double timeoutSeconds = 5);

    // Display, window, exit state, stderr and Xvfb's log: for assertion messages.
    std::string describe() const;

  private:
    bool closeWindow();
    bool waitForExit(double timeoutSeconds);

    VirtualDisplay display_;
    std::string scratch_;
    std::string window_;
    std::string keepDirectory_;
    int pid_ = -1;
    ExitStatus status_;
    int screenshots_ = 0;
};

} // namespace e2e
