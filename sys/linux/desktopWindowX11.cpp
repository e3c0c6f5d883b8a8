#include "sys/desktopWindow.h"

#include "app/desktopIcon.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <thread>
#include <unistd.h>
#include <vector>

// freeglut names the window and its machine, and its process only under a window manager that
// says it follows the EWMH; it sets neither WM_CLASS (which the desktop entry's StartupWMClass
// matches) nor _NET_WM_ICON. And it maps the window before it returns it, so a window manager
// has been asked to map a window without them: the ICCCM wants WM_CLASS before the window leaves
// the withdrawn state, and a task bar may read it only when it takes the window on. So under a
// window manager the game withdraws the window, names it, and maps it again.

namespace {

// A 32-bit property's item as Xlib holds it, whatever a long's width.
using Cardinal = unsigned long;

// The sizes the icon is installed at, so the window shows what the menu shows.
constexpr int kWindowIconSizes[] = {48, 64, 128, 256};

// _NET_WM_ICON: for each size its width and height, then its pixels row by row as ARGB.
std::vector<Cardinal> iconProperty() {
    std::vector<Cardinal> property;
    for (const int size : kWindowIconSizes) {
        property.push_back(Cardinal(size));
        property.push_back(Cardinal(size));
        const std::vector<unsigned char> rgba = art::iconPixels(size);
        for (std::size_t at = 0; at + 3 < rgba.size(); at += 4) {
            property.push_back(Cardinal(rgba[at + 3]) << 24 | Cardinal(rgba[at]) << 16 |
                               Cardinal(rgba[at + 1]) << 8 | rgba[at + 2]);
        }
    }
    return property;
}

// The property's items, or none when the window has no such property of that type.
template <typename Item>
std::vector<Item> readProperty(Display* display, Window window, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type,
                           &actualType, &format, &count, &left, &data) == Success &&
        actualType == type && format == 32) {
        const Item* first = reinterpret_cast<const Item*>(data);
        items.assign(first, first + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

void setCardinals(Display* display, Window window, const char* name,
                  const std::vector<Cardinal>& values) {
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                    int(values.size()));
}

// Whether a window manager holds the root window's maps (SubstructureRedirect): then freeglut's
// map of the window went to it as a request.
bool windowManagerTakesMaps(Display* display) {
    XWindowAttributes root{};
    return XGetWindowAttributes(display, DefaultRootWindow(display), &root) != 0 &&
           (root.all_event_masks & SubstructureRedirectMask) != 0;
}

// WM_STATE is the window manager's mark on a window it has taken on (ICCCM 4.1.3.1): it removes
// the mark, or sets it to WithdrawnState, once it has let the window go.
bool managed(Display* display, Window window) {
    const std::vector<Cardinal> state =
        readProperty<Cardinal>(display, window, "WM_STATE", XInternAtom(display, "WM_STATE", False));
    return !state.empty() && state[0] != WithdrawnState;
}

// Withdraws the window and waits for the window manager to let it go, as the ICCCM asks before
// a withdrawn window is mapped again: the next map is then a new request, whose properties it
// reads afresh. A window manager that never answers is waited for half a second at most.
void withdraw(Display* display, Window window) {
    const bool wasManaged = managed(display, window);
    XWithdrawWindow(display, window, DefaultScreen(display));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (wasManaged && managed(display, window) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

void identifyWindow() {
    // freeglut draws straight into its X window, so the current drawable is the window itself.
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) {
        return;
    }
    // The icon first (it takes a moment to draw), so that the window is away no longer than it
    // must.
    const std::vector<Cardinal> icon = iconProperty();
    const bool askedToMap = windowManagerTakesMaps(display);
    if (askedToMap) {
        withdraw(display, window);
    }
    char instance[] = "zephrandolinth", windowClass[] = "Zephrandolinth";
    XClassHint hint{instance, windowClass};
    XSetClassHint(display, window, &hint);
    setCardinals(display, window, "_NET_WM_PID", {Cardinal(getpid())});
    setCardinals(display, window, "_NET_WM_ICON", icon);
    if (askedToMap) {
        XMapWindow(display, window);
    }
    XFlush(display);
}

// As freeglut judges it: a window manager names its own check window on the root window and on
// that window itself (a stale name left by one that has ended does not count), and lists the
// full-screen state among the hints it supports. Otherwise freeglut's own fallback moves the
// window as if the window manager's frame held it, which puts it off the screen.
bool desktopSwitchesFullScreen() {
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) {
        return false;
    }
    const Window root = DefaultRootWindow(display);
    const std::vector<Window> check =
        readProperty<Window>(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.size() != 1) {
        return false;
    }
    // The named window may be gone: its error must not reach Xlib's handler, which would end the
    // game.
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler(ignoreError);
    const bool alive =
        readProperty<Window>(display, check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check;
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!alive) {
        return false;
    }
    const std::vector<Atom> supported =
        readProperty<Atom>(display, root, "_NET_SUPPORTED", XA_ATOM);
    const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    return std::find(supported.begin(), supported.end(), fullScreen) != supported.end();
}
