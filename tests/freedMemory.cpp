// The C library keeping the memory a frame frees for the next frame.

#include "sys/platform.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Frames the way Mesa's software rasteriser makes them: hundreds of 64 KiB blocks and a few
// larger buffers (below the 512 KiB that 32-bit glibc keeps on the heap at most), touched and
// all freed at the end of the frame. Returns the page faults the calling thread took.
long pageFaultsOfAFrame() {
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    std::vector<std::pair<void*, std::size_t>> blocks;
    for (int i = 0; i < 408; ++i) {
        const std::size_t size = i < 400 ? 65552 : std::size_t(384) << 10;
        blocks.push_back({std::malloc(size), size});
    }
    for (auto& [block, size] : blocks) {
        std::memset(block, 1, size);
    }
    for (auto& [block, size] : blocks) {
        std::free(block);
    }
    getrusage(RUSAGE_THREAD, &after);
    return after.ru_minflt - before.ru_minflt;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool ownAllocator = true;
#elif defined(__has_feature)
constexpr bool ownAllocator = __has_feature(address_sanitizer);
#else
constexpr bool ownAllocator = false;
#endif

// The memory one frame frees serves the next without a page fault; without the settings the
// C library gives it back and the next frame faults in its 29 MB again, page by page.
TEST(FreedMemory, whatAFrameFreesServesTheNextWithoutPageFaults) {
    if (ownAllocator) {
        GTEST_SKIP() << "the sanitizer's allocator has its own rules";
    }
    ASSERT_TRUE(keepFreedMemory());
    pageFaultsOfAFrame();
    EXPECT_LT(pageFaultsOfAFrame(), 50);
}

} // namespace
