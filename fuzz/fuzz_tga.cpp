// Any bytes at all go through the image reader: it must give an image that keeps its promises
// or no image with a reason, never touch memory outside its buffers, and never allocate far
// more than the file could describe.

#include "assets/tga.h"

#include <cstddef>
#include <cstdint>

namespace {

// The densest run-length packet (16 bits: 3 file bytes) stores 128 pixels of 3 bytes each.
constexpr std::size_t maxGrowth = 128;

void check(bool promise) {
    if (!promise)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* reason = nullptr;
    TGA_Image* image = Decode_TGA(data, size, &reason);
    if (!image) {
        check(reason != nullptr && reason[0] != '\0');
        return 0;
    }
    check(image->channels == 3 || image->channels == 4);
    check(image->width >= 1 && image->width <= 16384);
    check(image->height >= 1 && image->height <= 16384);
    const std::size_t bytes = std::size_t(image->width) * image->height * image->channels;
    check(bytes <= maxGrowth * size);
    // Touch both ends so the sanitizer sees a buffer shorter than its size claims.
    volatile unsigned char ends = image->data[0] ^ image->data[bytes - 1];
    (void)ends;
    Free_TGA(image);
    return 0;
}
