// Feeds arbitrary bytes to the 3DS reader. No image is read (the texture loader is off), so no
// OpenGL call can happen; what the reader leaves, and a copy of it, must be safe to draw.

#include "assets/textureSlots.h"
#include "fuzz/fuzzChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned int textures[textureSlotCount] = {};
    Model_3DS model;
    model.textureLoader = nullptr;
    const int used = model.LoadFromMemory(data, size, "fuzz/model.3ds", 3, textures);
    const Model_3DS copy = model;
    if (used != model.textureCount || !fuzzChecks::meshIsSafeToDraw(copy)) {
        __builtin_trap();
    }
    return 0;
}
