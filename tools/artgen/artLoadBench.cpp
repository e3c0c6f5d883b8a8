// How long the game's art takes: generating every file, decoding every image, and loading
// every mesh with its textures the way the asset registry does at start-up (sky first, then
// the kinds in the registry's order, mipmaps built and uploaded). Prints the median of several
// runs of each. Run from the build directory, where bin/ lives.

#include "artModels.h"
#include "headlessContext.h"

#include "assets/model3ds.h"
#include "assets/tga.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// Median wall time, and median processor time, which stays meaningful when other work shares
// the machine.
struct Timing {
    double wall, cpu; // milliseconds
};

Timing median(int runs, const std::function<void()>& work) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t startCpu = std::clock();
        work();
        cpu.push_back(1000.0 * double(std::clock() - startCpu) / CLOCKS_PER_SEC);
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

const char* const meshes[] = {"bin/models/toutatis.3ds", "bin/models/cockpit.3ds",
                              "bin/models/rocket.3ds",   "bin/models/clipper.3ds",
                              "bin/models/brakiri.3ds",  "bin/models/castalia.3ds",
                              "bin/models/golevka.3ds",  "bin/models/kanone.3ds",
                              "bin/models/laser.3ds"};
const char* const images[] = {"bin/texture/hubble2min.tga", "bin/models/golrock.tga",
                              "bin/models/toutrock.tga",    "bin/models/castrock.tga",
                              "bin/models/kanmetal.tga",    "bin/models/brakhull.tga",
                              "bin/models/cliphull.tga",    "bin/models/rocket.tga",
                              "bin/models/laserbol.tga",    "bin/models/cockpit.tga"};

} // namespace

int main() {
    preview::Context context(64, 64);
    if (!context.ok()) {
        std::fprintf(stderr, "artLoadBench: %s\n", context.error().c_str());
        return 1;
    }
    std::size_t bytes = 0;
    const Timing generate = median(5, [&] { bytes = art::buildAllFiles().size(); });
    std::printf("generate all %zu files in memory: %.1f ms wall, %.1f ms cpu (median of 5)\n", bytes,
                generate.wall, generate.cpu);

    bool imagesOk = true;
    const Timing decode = median(9, [&] {
        for (const char* name : images) {
            TGA_Image* image = Load_TGA(name);
            imagesOk = imagesOk && image != nullptr;
            Free_TGA(image);
        }
    });
    std::printf("decode all 11 images with Load_TGA: %.1f ms wall, %.1f ms cpu (median of 9)%s\n",
                decode.wall, decode.cpu, imagesOk ? "" : "  SOME IMAGE FAILED");

    int slots = 0, vertices = 0, faces = 0;
    const Timing load = median(5, [&] {
        unsigned int textures[20] = {};
        TGA_Texture(textures, "bin\\texture\\hubble2min.tga", 0);
        slots = 1;
        vertices = faces = 0;
        for (const char* name : meshes) {
            Model_3DS model;
            slots += model.Load(name, slots, textures);
            vertices += model.totalVerts;
            faces += model.totalFaces;
        }
        glFinish();
        glDeleteTextures(20, textures);
    });
    std::printf("load sky and 9 meshes with textures (registry order): %.1f ms wall, %.1f ms cpu "
                "(median of 5); %d slots, %d vertices, %d triangles\n",
                load.wall, load.cpu, slots, vertices, faces);
    return 0;
}
