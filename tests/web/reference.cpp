// What the browser tests hold the page to, from the Linux side, so that the browser's game is
// compared with the desktop's own rules and pictures rather than with figures written twice:
//   zephrandolinth_webref console FRAMES
//       writes to stdout the console of an untouched session through frame FRAMES and the start
//       of the next, as the rules model (tests/e2e/transcriptModel.h) predicts it.
//   zephrandolinth_webref frame N PATH.png
//       runs the Linux game (--quiet) on its own Xvfb display, stops it right after it has shown
//       frame N and saves its 640x480 window to PATH.png.
// Exit status 0 on success; 1 with the reason on stderr otherwise.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

int writeConsole(int frames) {
    const std::string expected =
        transcript::untouched(readBytes(ZEPH_BUILD_DIR "/bin/models/kanone.3ds"), frames) +
        "\n on print";
    std::fwrite(expected.data(), 1, expected.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The process state letter from /proc/PID/stat ('T' when stopped), or 0 once it is gone.
char processState(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : 0;
}

bool waitUntilStopped(int pid, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (char state; (state = processState(pid)) != 0; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (state == 'T' || state == 't') {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            break;
        }
    }
    return false;
}

int writeFrame(int frame, const std::filesystem::path& png) {
    e2e::GameSession game({"env", "LD_PRELOAD=" ZEPH_STOP_AT_FRAME_LIBRARY,
                           "ZEPH_STOP_AT_FRAME=" + std::to_string(frame), ZEPH_GAME_EXE, "--quiet"});
    if (!game.ok() || !game.waitForWindow()) {
        std::cerr << "zephrandolinth_webref: the game's window did not appear\n" << game.describe();
        return 1;
    }
    if (!waitUntilStopped(game.processId(), 60)) {
        std::cerr << "zephrandolinth_webref: the game did not reach frame " << frame << "\n"
                  << game.describe();
        return 1;
    }
    const e2e::Image shot =
        game.screenshot(png.stem().string(), png.parent_path().empty() ? "." : png.parent_path().string());
    kill(game.processId(), SIGCONT);
    if (shot.width != 640 || shot.height != 480) {
        std::cerr << "zephrandolinth_webref: " << png << " is not a 640x480 picture\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "console" && argc == 3) {
        return writeConsole(std::atoi(argv[2]));
    }
    if (what == "frame" && argc == 4 && std::atoi(argv[2]) > 0) {
        return writeFrame(std::atoi(argv[2]), std::filesystem::absolute(argv[3]));
    }
    std::cerr << "usage: zephrandolinth_webref console FRAMES | frame N PATH.png\n";
    return 2;
}
