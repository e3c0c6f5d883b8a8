#pragma once
// The window system and the frame clock replaced by recorders while the object lives: buffer
// swaps, redisplay requests, full-screen switches, requests to end the main loop and bitmap text
// (a code outside 0-255 shows as '?') are recorded, and the clock reads `ticks` at 1000 a
// second, moved by the test.

#include "app/windowSystem.h"
#include "scene/frameClock.h"

#include <cstdint>
#include <string>

class FakeFrameSystem {
  public:
    FakeFrameSystem()
        : window(setWindowSystem(
              {[] { ++swaps; },
               [](void* f, int c) { font = f, text += c < 0 || c > 255 ? '?' : char(c); },
               [] { ++redisplays; }, [] { ++fullScreenSwitches; }, [] { ++mainLoopEnds; }})),
          clock(setFrameClock({[] { return ticks; }, [] { return std::int64_t(1000); }})) {
        swaps = redisplays = fullScreenSwitches = mainLoopEnds = 0;
        text.clear(), font = nullptr;
    }
    ~FakeFrameSystem() {
        setFrameClock(clock);
        setWindowSystem(window);
    }

    static inline int swaps = 0, redisplays = 0, fullScreenSwitches = 0, mainLoopEnds = 0;
    static inline std::string text;     // every bitmap character drawn
    static inline void* font = nullptr; // of the last one
    static inline std::int64_t ticks = 0;

  private:
    WindowSystem window;
    FrameClock clock;
};
