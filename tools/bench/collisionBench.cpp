// One frame of collision-registry work while the player keeps firing: every record is looked
// up and re-reported (a getInfoIndex and a replace each), then the pairwise test runs. Timed
// for the game's registry and for the plain all-pairs registry on the same world, side by side.
// The registries' console lines (collision lines) go to a null stream buffer while timing.
//
// Build in Release: cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZEPH_TESTS=OFF
//                   cmake --build build-release --target collisionBench &&
//                   build-release/tools/bench/collisionBench

#include "collision/collisionInfos.h"
#include "tests/support/collisionOracle.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <streambuf>
#include <time.h>
#include <vector>

namespace {

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// One entity of the field: its record number, kind, centre and per-frame drift.
struct Body {
    int index;
    int type;
    float x, y, z;
    float dx, dy, dz;
};

// Mostly projectiles flying on, a few ships and asteroids, within 200 units of the player.
std::vector<Body> scatter(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> field(-200.0f, 200.0f);
    std::uniform_real_distribution<float> share(0.0f, 1.0f);
    std::uniform_real_distribution<float> heading(-1.0f, 1.0f);
    const int asteroids[] = {4, 6, 9};
    const int ships[] = {7, 10};
    std::vector<Body> bodies;
    for (int i = 0; i < count; ++i) {
        Body body{i + 1, 0, field(random), field(random), field(random), 0, 0, 0};
        float roll = share(random);
        if (roll < 0.05f) {
            body.type = ships[i % 2];
            body.dz = 0.05f; // a step toward the player
        } else if (roll < 0.20f) {
            body.type = asteroids[i % 3];
            body.dz = 0.013f; // a slow drift
        } else {
            body.type = roll < 0.60f ? 12 : 13;
            // 5 units per second at 60 frames per second, along a fixed heading
            body.dx = heading(random) * 0.083f;
            body.dy = heading(random) * 0.083f;
            body.dz = heading(random) * 0.083f;
        }
        bodies.push_back(body);
    }
    return bodies;
}

CollisionInfo report(const Body& body) {
    CollisionInfo info(body.index);
    info.calculated = true;
    info.x = body.x;
    info.y = body.y;
    info.z = body.z;
    info.type = body.type;
    info.collision = false;
    return info;
}

void advance(std::vector<Body>& bodies) {
    for (Body& body : bodies) {
        body.x += body.dx;
        body.y += body.dy;
        body.z += body.dz;
    }
}

// What the frame does with the registry: each entity reads its marks, then reports its
// centre when drawn, then the test pass runs. Returns how many records were marked.
template <class Registry> int frame(Registry& registry, const std::vector<Body>& bodies) {
    int marked = 0;
    for (const Body& body : bodies) {
        marked += registry.getInfoIndex(body.index).collision ? 1 : 0;
    }
    for (const Body& body : bodies) {
        registry.replace(report(body));
    }
    registry.update();
    return marked;
}

// Processor time of this thread, in milliseconds: the other programs sharing the machine's two
// cores stretch the wall clock but not this.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

double wallMilliseconds() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double processorMilliseconds; // median frame
    double wallMilliseconds;      // median frame
    int frames;
    int marked;
};

// Runs frames on its own copy of the world until enough time has passed.
template <class Registry>
Timing timeFrames(Registry& registry, std::vector<Body> bodies, int minFrames, double seconds) {
    std::vector<double> processor, wall;
    int marked = 0;
    const double start = wallMilliseconds();
    while (int(wall.size()) < minFrames || wallMilliseconds() - start < seconds * 1e3) {
        const double processorBegin = threadMilliseconds();
        const double wallBegin = wallMilliseconds();
        marked = frame(registry, bodies);
        wall.push_back(wallMilliseconds() - wallBegin);
        processor.push_back(threadMilliseconds() - processorBegin);
        advance(bodies);
    }
    return {median(processor), median(wall), int(wall.size()), marked};
}

bool sameRecords(const CollisionInfos& game, const AllPairsRegistry& plain) {
    if (game.infos.size() != plain.infos.size()) {
        return false;
    }
    for (std::size_t i = 0; i < plain.infos.size(); ++i) {
        const CollisionInfo& a = game.infos[i];
        const CollisionInfo& b = plain.infos[i];
        if (!(a == b) || a.collision != b.collision) {
            return false;
        }
    }
    return true;
}

} // namespace

int main() {
    std::printf("collision registry: one frame = a getInfoIndex and a replace per record, then "
                "update\n"
                "records scattered within 200 units: 5%% ships, 15%% asteroids, 80%% projectiles\n"
                "console lines go to a null stream buffer while timing; median frame, processor "
                "time of the thread, (wall clock), [frames timed]\n\n");
    std::printf("%8s  %30s  %32s  %7s  %7s  %s\n", "records", "ours ms/frame", "all-pairs ms/frame",
                "ratio", "marked", "same records");
    NullBuffer null;
    std::streambuf* console = std::cout.rdbuf(&null);
    for (int count : {100, 1000, 10000}) {
        const std::vector<Body> bodies = scatter(count, 20240u + unsigned(count));

        CollisionInfos game;
        for (int i = 0; i < count; ++i) {
            game.addModel();
        }
        // The plain registry would take minutes to hand out 10,000 numbers one by one; its
        // records are laid down as addModel would leave them.
        AllPairsRegistry plain;
        for (int i = 1; i <= count; ++i) {
            plain.infos.push_back(CollisionInfo(i));
        }

        const Timing ours = timeFrames(game, bodies, 20, 1.0);
        const Timing theirs = timeFrames(plain, bodies, 3, count >= 10000 ? 0.0 : 1.0);
        // Both ran from the same start; bring them to the same frame to compare the records.
        CollisionInfos check;
        AllPairsRegistry checkPlain;
        for (int i = 1; i <= count; ++i) {
            check.addModel();
            checkPlain.infos.push_back(CollisionInfo(i));
        }
        frame(check, bodies);
        frame(checkPlain, bodies);
        const bool agree = sameRecords(check, checkPlain);

        std::cout.rdbuf(console);
        std::printf("%8d  %9.4f (%9.4f) [%4d]  %11.3f (%11.3f) [%2d]  %6.0fx  %7d  %s\n", count,
                    ours.processorMilliseconds, ours.wallMilliseconds, ours.frames,
                    theirs.processorMilliseconds, theirs.wallMilliseconds, theirs.frames,
                    theirs.processorMilliseconds / ours.processorMilliseconds, ours.marked,
                    agree ? "yes" : "NO");
        std::fflush(stdout);
        std::cout.rdbuf(&null);
    }
    std::cout.rdbuf(console);
    return 0;
}
