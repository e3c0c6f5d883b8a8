// Stops the game on its own picture of one frame, for a screenshot of exactly that frame:
// preloaded into the Linux game (LD_PRELOAD), it stands in for glXSwapBuffers and, after the swap
// numbered ZEPH_STOP_AT_FRAME, waits for the X server to have the picture and stops the process
// (SIGSTOP). Whoever took the screenshot sends SIGCONT or ends it.

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>

namespace {

long stopAt() {
    const char* value = std::getenv("ZEPH_STOP_AT_FRAME");
    return value != nullptr ? std::atol(value) : 0;
}

} // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto real =
        reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static const long last = stopAt();
    static long frames = 0;
    real(display, drawable);
    if (++frames == last) {
        XSync(display, False); // the picture is in the window before anyone looks
        raise(SIGSTOP);
    }
}
