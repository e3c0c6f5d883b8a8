#pragma once
// What the game writes while an action runs: its console (every console line goes through
// std::cout) and its diagnostics on stderr; a standard stream pointed elsewhere for a while; and
// the registry's per-frame dump read back.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#ifndef _WIN32
#include <poll.h>
#endif

inline std::string consoleOf(const std::function<void()>& action) {
    std::ostringstream text;
    std::streambuf* const previous = std::cout.rdbuf(text.rdbuf());
    action();
    std::cout.rdbuf(previous);
    return text.str();
}

inline std::string stderrOf(const std::function<void()>& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

// Descriptor `fd` (1 or 2) writes to `target` while the object lives, whatever the test runner's
// own streams are; what was buffered goes out to the right place on either side.
class StreamOnto {
  public:
    StreamOnto(int fd, int target) : fd(fd), saved(dup(fd)) {
        flushAll();
        dup2(target, fd);
    }
    ~StreamOnto() {
        flushAll();
        dup2(saved, fd);
        close(saved);
    }
    StreamOnto(const StreamOnto&) = delete;
    StreamOnto& operator=(const StreamOnto&) = delete;

  private:
    static void flushAll() {
        std::cout.flush(), std::cerr.flush();
        std::fflush(stdout), std::fflush(stderr);
        std::clearerr(stdout), std::cout.clear();
    }
    int fd, saved;
};

#ifndef _WIN32
// All that descriptor `fd` yields until its end, or until `waitMs` pass with nothing new (a
// terminal never ends).
inline std::string readAll(int fd, int waitMs = -1) {
    std::string text;
    char buffer[256];
    for (pollfd ready{fd, POLLIN, 0}; poll(&ready, 1, waitMs) > 0;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, std::size_t(got));
    }
    return text;
}
#endif

// A record of the registry's dump, "\nind: <index> x: <x> y: <y> z: <z> typ: <type>".
struct DumpedRecord {
    float x, y, z;
    int type;
};

// The first measured record numbered `index` that the console shows from byte `from` on.
inline std::optional<DumpedRecord> dumpedRecord(const std::string& console, int index,
                                                std::size_t from = 0) {
    const std::string line = "\nind: " + std::to_string(index) + " x: ";
    const std::size_t at = console.find(line, from);
    DumpedRecord r{};
    if (at == std::string::npos ||
        std::sscanf(console.c_str() + at + line.size(), "%f y: %f z: %f typ: %d", &r.x, &r.y, &r.z,
                    &r.type) != 4) {
        return std::nullopt;
    }
    return r;
}
