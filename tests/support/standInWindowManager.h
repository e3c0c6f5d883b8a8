#pragma once
// A window manager of our own for whole-program tests, in a thread of the test with its own X
// connection: like a real one it takes the root's maps and configurations (SubstructureRedirect),
// says what it supports the EWMH way (_NET_SUPPORTING_WM_CHECK, _NET_SUPPORTED) and keeps WM_STATE
// on the windows it manages. It records what each window carried when it asked to be mapped,
// maps it where it asked to be, puts it in full screen and back on _NET_WM_STATE requests and
// forgets a window its client withdraws. No frames, no decorations, no stacking policy.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// What a window carried at one of its MapRequests.
struct MapRecord {
    unsigned long window = 0;
    std::vector<std::string> windowClass; // WM_CLASS: instance, then class; none when unset
    std::vector<unsigned long> processId; // _NET_WM_PID
    std::vector<unsigned long> icon;      // _NET_WM_ICON: width, height, ARGB pixels, per size
};

// A _NET_WM_STATE request naming _NET_WM_STATE_FULLSCREEN, and the window's state after it.
struct FullScreenRecord {
    unsigned long window = 0;
    bool fullScreen = false;
};

class StandInWindowManager {
  public:
    // Manages `display` from now on; ok() is false when it cannot (no display, another window
    // manager).
    explicit StandInWindowManager(const std::string& display);
    ~StandInWindowManager();
    StandInWindowManager(const StandInWindowManager&) = delete;
    StandInWindowManager& operator=(const StandInWindowManager&) = delete;
    bool ok() const;

    std::vector<MapRecord> maps() const;
    std::vector<FullScreenRecord> fullScreenRequests() const;
    // Whether the window named `name` is managed (mapped by it and not withdrawn since) within
    // `seconds`.
    bool waitUntilManaged(const std::string& name, double seconds) const;

  private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace e2e
