#include "app/freedMemory.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
// The settings are the GNU C library's; another C library may not offer them.
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
#define ZEPH_HAS_MALLOPT 1
#else
#define ZEPH_HAS_MALLOPT 0
#endif

namespace {

// Far above what a frame frees even after minutes of held fire, yet a heap whose free top grows
// past it is still given back.
constexpr int kTrimThreshold = 256 << 20;
// Setting the trim threshold also freezes the mmap threshold, which glibc otherwise raises to
// the largest block freed so far, at its start-up value of 128 KiB: the driver's larger
// per-frame buffers would then be mapped and unmapped, and faulted in, every time. Blocks below
// glibc's own upper limit for the threshold it moves (32 MiB on 64-bit machines) come from the
// heap instead.
constexpr int kMmapThreshold = int(4 * 1024 * 1024 * sizeof(long));

} // namespace

bool keepFreedMemory() {
#if ZEPH_HAS_MALLOPT
    const bool mapped = mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 1;
    const bool trimmed = mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 1;
    return mapped && trimmed;
#else
    return false;
#endif
}
