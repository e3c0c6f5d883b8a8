// The platform's answers on Linux and other POSIX systems.

#include "sys/platform.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
// The settings are the GNU C library's; another C library may not offer them.
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
#define ZEPH_HAS_MALLOPT 1
#else
#define ZEPH_HAS_MALLOPT 0
#endif

namespace fs = std::filesystem;

fs::path executablePath() {
    // The link names the file that runs, whatever the command line called it.
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

fs::path workingDirectory() {
    std::error_code error;
    return fs::current_path(error);
}

bool writesAreDiscarded(int fd) {
    struct stat target {};
    if (fstat(fd, &target) != 0) {
        return true;
    }
    struct stat null {};
    if (stat("/dev/null", &null) != 0) {
        return false;
    }
    if (target.st_dev == null.st_dev && target.st_ino == null.st_ino) {
        return true;
    }
    // A /dev/null of its own (a container's, a chroot's) is another file with the same device.
    return S_ISCHR(target.st_mode) && S_ISCHR(null.st_mode) && target.st_rdev == null.st_rdev;
}

bool shareATerminal(int fd, int other) {
    struct stat one {
    }, two{};
    return isatty(fd) && isatty(other) && fstat(fd, &one) == 0 && fstat(other, &two) == 0 &&
           one.st_rdev == two.st_rdev;
}

std::error_code searchRefusal(const fs::path& directory) {
    // Opening a file by its name needs search permission on the directory, and nothing more:
    // the game never lists one.
    if (access(directory.c_str(), X_OK) != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

bool installsArtApart() {
    return true;
}

bool displayInEnvironment() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr && name[0] != '\0';
}

void writeToStandardError(const std::string& text) {
    std::cerr << text;
}

void prepareStandardOutput() {
    // Nothing to do: a byte written is a byte out.
}

void reachTheStartingConsole() {
    // A program started from a terminal has its standard streams: nothing to reach.
}

std::string nullDeviceName() {
    return "/dev/null";
}

std::string glutOptionsUsage() {
    return "  -display DISPLAY    the X display to open the window on\n"
           "  -geometry WxH+X+Y   a size and place, which the game's own 640x480 at 250,250\n"
           "                      replaces\n"
           "  -direct, -indirect  a direct or an indirect rendering context\n"
           "  -iconic             start with the window iconified\n"
           "  -gldebug            report OpenGL errors\n"
           "  -sync               talk to the X server synchronously\n";
}

namespace {

// Mesa's software rasteriser bins every triangle of a frame into 64 KiB blocks on the heap and
// frees them all when the frame is flushed. With the C library's defaults the top of the heap
// then goes back to the kernel at the end of every frame and the next frame faults it in again,
// page by page: with a few hundred shots in flight that was half of the game's processor time.

// Far above what a frame frees even after minutes of held fire. A free top past it is still
// given back on the main heap, the one the game's thread allocates from; other threads' heaps
// follow glibc's own rules.
constexpr int kTrimThreshold = 256 << 20;
// Setting the trim threshold also freezes the mmap threshold, which glibc otherwise raises to
// the largest block freed so far, at its start-up value of 128 KiB: the driver's larger
// per-frame buffers would then be mapped and unmapped, and faulted in, every time. So it is set
// to the most that mallopt(3) allows, glibc's DEFAULT_MMAP_THRESHOLD_MAX (32 MiB where long has
// 64 bits, 512 KiB on 32-bit machines; the glibc versions that check it refuse more), and
// blocks below it come from the heap.
constexpr int kMmapThreshold = sizeof(long) >= 8 ? int(4 * 1024 * 1024 * sizeof(long)) : 512 * 1024;

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
