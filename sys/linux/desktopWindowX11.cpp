#include "sys/desktopWindow.h"

#include "app/desktopIcon.h"
#include "app/windowSystem.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
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
    const std::vector<Cardinal> state = readProperty<Cardinal>(
        display, window, "WM_STATE", XInternAtom(display, "WM_STATE", False));
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

namespace {

// The line as the window shows it, once the art is found missing; the frames go on as they were.
std::string artMissingLine;
WindowSystem drawnBefore; // the calls the game made before the line came to be shown

constexpr int kGlyphWidth = 9, kGlyphHeight = 15, kMargin = 12; // GLUT's 9x15 font, in pixels

// The bitmap font holds Latin-1; the line is UTF-8 (it names folders). A character past Latin-1
// shows as '?'.
std::string latin1(const std::string& utf8) {
    std::string shown;
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        unsigned long code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length && at + i < utf8.size(); ++i) {
            code = code << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        }
        shown += code < 0x100 ? char(code) : '?';
        at += std::size_t(length);
    }
    return shown;
}

// The text in lines of at most `columns` characters, broken at spaces; a word longer than a line
// is broken where the line ends.
std::vector<std::string> wrapped(const std::string& text, std::size_t columns) {
    std::vector<std::string> lines{""};
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, end - at);
        at = end + 1;
        for (;;) {
            std::string& line = lines.back();
            const std::size_t room =
                columns - std::min(columns, line.size() + (line.empty() ? 0 : 1));
            if (word.size() <= room) {
                line += (line.empty() ? "" : " ") + word;
                break;
            }
            if (line.empty()) { // longer than a whole line
                line = word.substr(0, columns);
                word = word.substr(columns);
            }
            lines.emplace_back();
        }
    }
    return lines;
}

// Without its art the world draws white shapes that fill the picture: the frame is cleared
// instead, and the line written on it, white, wrapped to the window's width. Every state
// touched is put back, so the next frame draws as it would have.
void drawArtMissing() {
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1, 1, 1);
    const std::size_t columns = std::size_t(std::max(1, (width - 2 * kMargin) / kGlyphWidth));
    int baseline = height - kMargin - kGlyphHeight + 4; // the font reaches 4 pixels below it
    for (const std::string& line : wrapped(artMissingLine, columns)) {
        glRasterPos2i(kMargin, baseline);
        for (const char c : line) {
            drawnBefore.bitmapCharacter(GLUT_BITMAP_9_BY_15, static_cast<unsigned char>(c));
        }
        baseline -= kGlyphHeight + 2;
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void drawArtMissingThenSwap() {
    drawArtMissing();
    drawnBefore.swapBuffers();
}

} // namespace

void showArtMissing(const std::string& line) {
    artMissingLine = latin1(line.substr(0, line.find_last_not_of('\n') + 1));
    if (windowSystem().swapBuffers != drawArtMissingThenSwap) {
        drawnBefore = windowSystem();
        WindowSystem calls = drawnBefore;
        calls.swapBuffers = drawArtMissingThenSwap;
        setWindowSystem(calls);
    }
}
