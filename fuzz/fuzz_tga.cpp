// Any bytes at all go through the image reader: it must give an image that keeps its promises
// or no image with a reason, never touch memory outside its buffers, and never allocate far
// more than the file could describe.

#include "fuzz/fuzzChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* reason = nullptr;
    TGA_Image* image = Decode_TGA(data, size, &reason);
    if (!fuzzChecks::imageKeepsItsPromises(image, reason, size)) {
        __builtin_trap();
    }
    Free_TGA(image);
    return 0;
}
