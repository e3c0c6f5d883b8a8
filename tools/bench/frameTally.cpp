// Counts the game's frames and shots from outside it, whatever it writes to its console (or does
// not): preloaded into the game (LD_PRELOAD), it stands in for glXSwapBuffers and XNextEvent and
// keeps two counters in the file named by ZEPH_FRAME_TALLY, shared with the reader: the buffer
// swaps, and the swaps of frames that F2 fired in (every F2 press seen since the previous swap
// counts once, as the game spawns one rocket per frame). A frame costs two increments and no
// system call. The benchmark scripts compile it themselves, so it serves a build of any commit:
//   c++ -shared -fPIC -O2 -o frameTally.so tools/bench/frameTally.cpp -ldl -lX11
//   ZEPH_FRAME_TALLY=tally LD_PRELOAD=./frameTally.so ./zephrandolinth
//   od -An -tu8 -w16 tally      # frames and shots so far
// Not built by CMake: it is no benchmark program of its own.

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

struct Tally {
    std::atomic<std::uint64_t> frames, shots;
};

Tally* openTally() {
    const char* path = std::getenv("ZEPH_FRAME_TALLY");
    if (path == nullptr) {
        return nullptr;
    }
    const int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) {
        return nullptr;
    }
    void* shared = ftruncate(file, sizeof(Tally)) == 0
                       ? mmap(nullptr, sizeof(Tally), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                       : MAP_FAILED;
    close(file);
    return shared == MAP_FAILED ? nullptr : static_cast<Tally*>(shared);
}

Tally* tally() {
    static Tally* const shared = openTally();
    return shared;
}

// Everything runs on the GLUT loop's one thread: events, then the frame, then its swap.
bool firePressed = false;

template <class Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int XNextEvent(Display* display, XEvent* event) {
    static const auto real = next<int (*)(Display*, XEvent*)>("XNextEvent");
    const int result = real(display, event);
    if (event->type == KeyPress && XLookupKeysym(&event->xkey, 0) == XK_F2) {
        firePressed = true;
    }
    return result;
}

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto real = next<void (*)(Display*, GLXDrawable)>("glXSwapBuffers");
    real(display, drawable);
    if (Tally* counts = tally()) {
        counts->frames.fetch_add(1, std::memory_order_relaxed);
        if (firePressed) {
            counts->shots.fetch_add(1, std::memory_order_relaxed);
        }
    }
    firePressed = false;
}
