#pragma once
// Whole-program tests: the real game in a real window on its own Xvfb display. Children die
// with the test process and every wait has a timeout.

#include "support/scratch.h"
#include "support/standInWindowManager.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A picture stb_image decoded: rows top to bottom, `channels` bytes per pixel (R, G, B, then A
// when asked for).
struct Image {
    int width = 0, height = 0, channels = 3;
    std::vector<unsigned char> bytes;
    const unsigned char* pixel(int x, int y) const {
        return &bytes[(std::size_t(y) * width + x) * channels];
    }
};
Image loadImage(const std::string& path, int channels = 3);

// The view through the cockpit's window frame, above the dashboard: with the sky on, its texture
// fills it in many colours (a game without its art shows one); with it off, the asteroids and
// ships are what is lit there, a part of it. Nothing in a picture too small to hold it.
testing::AssertionResult showsTheView(const Image& shot, bool withSky);
// The ships step toward the cockpit by a fixed step a frame and fill the view for a while; by
// this frame they have flown past and the asteroids stand in the view alone.
constexpr int shipsPassed = 200;

struct CommandResult {
    bool timedOut = false;     // killed past its timeout
    int code = -1, signal = 0; // the code is -1 when ended by a signal
    std::string out, err;
};
// Runs a program to its end with DISPLAY set to `display`, or unset.
CommandResult runCommand(const std::vector<std::string>& argv, std::optional<std::string> display,
                         double timeoutSeconds, const std::string& directory = ZEPH_BUILD_DIR);

// Xvfb on a display number it picks itself, so parallel runs never collide; its one screen is
// `size` pixels ("1024x768") at 24 bits.
struct VirtualDisplay {
    explicit VirtualDisplay(const std::string& size = "1024x768");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    bool ok() const { return !name.empty(); }
    std::string name; // ":3"
    int pid = -1;
};

// Where a window stands on the screen and its size, in pixels: x, y, width, height.
using WindowPlace = std::array<int, 4>;

// The game started on its own display of `screen` pixels, its stdout and stderr kept byte for
// byte; under a window manager of our own when asked.
class GameSession {
  public:
    // Not copied: it owns its display and scratch folder. The command may hold a launcher such
    // as Wine's; the game never flushes its console, so by default stdbuf unbuffers it.
    explicit GameSession(const std::vector<std::string>& command = {"stdbuf", "-o0", ZEPH_GAME_EXE},
                         const std::string& directory = ZEPH_BUILD_DIR,
                         const std::string& screen = "1024x768", bool underWindowManager = false);
    ~GameSession();
    bool ok() const { return pid > 0 && display.ok() && (!manager || manager->ok()); }
    int processId() const { return pid; } // 0 once the game has ended
    bool waitForWindow(); // mapped, then focused by hand (a window manager focuses it too)
    bool keys(const std::vector<std::string>& keysyms); // X keysyms: Up Prior Next F2 F4 ...
    // Kept as <directory>/<name>.png, by default build/screenshots/<name>.png.
    Image screenshot(const std::string& name,
                     const std::string& directory = ZEPH_BUILD_DIR "/screenshots");
    std::string output() const;
    std::string errors() const;
    bool waitFrames(int count, std::size_t from); // frames ended after byte `from`
    bool running();
    // The game's exit status once it has ended within `seconds`; none when it is still running
    // then (it is left so) or when a signal ended it.
    std::optional<int> exitStatus(double seconds);
    WindowPlace windowPlace();                  // as the X server has it now
    bool placeWindow(const WindowPlace& place); // moved and resized
    std::string workingDirectory() const;       // the game's, as it runs
    std::string describe();

    VirtualDisplay display;
    std::unique_ptr<StandInWindowManager> manager; // started before the game, when asked
    std::string window;                            // X window id

  private:
    Scratch folder; // holds the game's console files
    std::string scratch = folder.path.string();
    int pid = -1;
    int ended = -1; // the wait status, once the game has ended and been reaped
};

// The sky seen early, before the ships close in and fill the view; then, switched off (F4), the
// asteroids alone once the ships have flown past. Kept as <directory>/<name>-sky-on.png and
// <name>-sky-off.png.
void expectTheSkyThenTheSceneWithoutIt(GameSession& game, const std::string& name,
                                       const std::string& directory = ZEPH_BUILD_DIR
                                       "/screenshots");
// From its first byte through its fiftieth frame and the start of the next, an untouched
// session's console is what the model of the rules predicts, lines ending in `newline`.
testing::AssertionResult writesTheUntouchedConsole(GameSession& game,
                                                   const std::string& newline = "\n");

} // namespace e2e
