#include "sys/desktopWindow.h"

#include "app/desktopIcon.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <unistd.h>
#include <vector>

// freeglut names the window and its machine but sets none of WM_CLASS (which the desktop entry's
// StartupWMClass matches), _NET_WM_PID and _NET_WM_ICON, so the desktop sees an anonymous
// window. freeglut maps the window before it returns it: desktops that follow changes to these
// properties (GNOME, KDE, those built on libwnck) take them up at once.

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

} // namespace

void identifyWindow() {
    // freeglut draws straight into its X window, so the current drawable is the window itself.
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) {
        return;
    }
    // The icon first (it takes a moment to draw), so that the desktop learns everything at once.
    const std::vector<Cardinal> icon = iconProperty();
    char instance[] = "zephrandolinth", windowClass[] = "Zephrandolinth";
    XClassHint hint{instance, windowClass};
    XSetClassHint(display, window, &hint);
    setCardinals(display, window, "_NET_WM_PID", {Cardinal(getpid())});
    setCardinals(display, window, "_NET_WM_ICON", icon);
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

// The line already went to stderr; the window adds nothing to it.
void showArtMissing(const std::string&) {}
