#include "support/standInWindowManager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <thread>

namespace e2e {
namespace {

// Xlib's error handler is the process's: the manager's errors (a window gone meanwhile) must not
// end the test, and the one that matters, another manager holding the root, is noted.
std::atomic<bool> refused{false};
int noteError(Display*, XErrorEvent* error) {
    refused = refused || error->error_code == BadAccess;
    return 0;
}

// A 32-bit property's items; none when the window has no such property of that type.
std::vector<unsigned long> cardinals(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, property, 0, 1 << 22, False, type, &actualType, &format,
                           &count, &left, &data) == Success &&
        actualType == type && format == 32) {
        // Xlib hands 32-bit items over in longs, sign-extended on 64-bit machines.
        const unsigned long* first = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            items.push_back(first[i] & 0xFFFFFFFFul);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

} // namespace

struct StandInWindowManager::State {
    Display* display = nullptr;
    Window root = None;
    Atom wmState = None, netWmState = None, fullScreen = None, pid = None, icon = None;
    std::thread loop;
    std::atomic<bool> stop{false};

    struct Managed {
        Window window;
        std::string name;
        bool fullScreen = false;
        int x = 0, y = 0, width = 0, height = 0; // before full screen
    };
    mutable std::mutex mutex; // guards what follows, which the test thread reads
    mutable std::condition_variable changed;
    std::vector<Managed> managed;
    std::vector<MapRecord> maps;
    std::vector<FullScreenRecord> fullScreenRequests;

    Atom atom(const char* name) const { return XInternAtom(display, name, False); }
    Managed* find(Window window) {
        const auto at = std::find_if(managed.begin(), managed.end(),
                                     [window](const Managed& m) { return m.window == window; });
        return at == managed.end() ? nullptr : &*at;
    }

    bool start(const std::string& name) {
        display = XOpenDisplay(name.c_str());
        if (display == nullptr) {
            return false;
        }
        root = DefaultRootWindow(display);
        refused = false;
        XSetErrorHandler(noteError);
        XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(display, False);
        if (refused) {
            return false;
        }
        wmState = atom("WM_STATE"), netWmState = atom("_NET_WM_STATE");
        fullScreen = atom("_NET_WM_STATE_FULLSCREEN"), pid = atom("_NET_WM_PID");
        icon = atom("_NET_WM_ICON");
        const Window check = XCreateSimpleWindow(display, root, -10, -10, 1, 1, 0, 0, 0);
        const Atom checkName = atom("_NET_SUPPORTING_WM_CHECK");
        for (const Window on : {root, check}) {
            XChangeProperty(display, on, checkName, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&check), 1);
        }
        const Atom supported[] = {netWmState, fullScreen, checkName};
        XChangeProperty(display, root, atom("_NET_SUPPORTED"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(supported), 3);
        XSync(display, False);
        loop = std::thread([this] { run(); });
        return true;
    }

    void run() {
        while (!stop) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                const std::lock_guard<std::mutex> hold(mutex);
                handle(event);
            }
            pollfd wait{ConnectionNumber(display), POLLIN, 0};
            poll(&wait, 1, 20);
        }
    }

    void handle(XEvent& event) {
        switch (event.type) {
        case MapRequest:
            take(event.xmaprequest.window);
            break;
        case ConfigureRequest: {
            const XConfigureRequestEvent& asked = event.xconfigurerequest;
            XWindowChanges changes{
                asked.x,     asked.y,     asked.width, asked.height, asked.border_width,
                asked.above, asked.detail};
            XConfigureWindow(display, asked.window, unsigned(asked.value_mask), &changes);
            break;
        }
        case UnmapNotify: // the manager never unmaps: the client withdraws its window
        case DestroyNotify:
            release(event.type == UnmapNotify ? event.xunmap.window : event.xdestroywindow.window);
            break;
        case ClientMessage:
            if (event.xclient.message_type == netWmState) {
                switchState(event.xclient);
            }
            break;
        default:
            break;
        }
    }

    void take(Window window) {
        MapRecord record;
        record.window = window;
        std::string title;
        if (char* name = nullptr; XFetchName(display, window, &name) != 0 && name != nullptr) {
            title = name;
            XFree(name);
        }
        XClassHint hint{nullptr, nullptr};
        if (XGetClassHint(display, window, &hint) != 0) {
            record.windowClass = {hint.res_name, hint.res_class};
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        record.processId = cardinals(display, window, pid, XA_CARDINAL);
        record.icon = cardinals(display, window, icon, XA_CARDINAL);
        const long normal[] = {NormalState, None};
        XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(normal), 2);
        XMapWindow(display, window);
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
        if (find(window) == nullptr) {
            managed.push_back({window, title});
        }
        maps.push_back(record);
        changed.notify_all();
    }

    void release(Window window) {
        if (find(window) == nullptr) {
            return;
        }
        managed.erase(std::remove_if(managed.begin(), managed.end(),
                                     [window](const Managed& m) { return m.window == window; }),
                      managed.end());
        XDeleteProperty(display, window, wmState);
        XDeleteProperty(display, window, netWmState);
        XSync(display, False);
    }

    void switchState(const XClientMessageEvent& message) {
        const long action = message.data.l[0];
        if (Atom(message.data.l[1]) != fullScreen && Atom(message.data.l[2]) != fullScreen) {
            return;
        }
        Managed* window = find(message.window);
        if (window == nullptr) {
            return;
        }
        const bool full = action == 2 ? !window->fullScreen : action == 1;
        if (full && !window->fullScreen) {
            Window ignoredRoot;
            unsigned width = 0, height = 0, border = 0, depth = 0;
            XGetGeometry(display, window->window, &ignoredRoot, &window->x, &window->y, &width,
                         &height, &border, &depth);
            window->width = int(width), window->height = int(height);
            const Screen* screen = DefaultScreenOfDisplay(display);
            XMoveResizeWindow(display, window->window, 0, 0, unsigned(screen->width),
                              unsigned(screen->height));
        } else if (!full && window->fullScreen) {
            XMoveResizeWindow(display, window->window, window->x, window->y,
                              unsigned(window->width), unsigned(window->height));
        }
        window->fullScreen = full;
        XChangeProperty(display, window->window, netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&fullScreen), full ? 1 : 0);
        XSync(display, False);
        fullScreenRequests.push_back({window->window, full});
    }
};

StandInWindowManager::StandInWindowManager(const std::string& display) : state(new State) {
    if (!state->start(display) && state->display != nullptr) {
        XCloseDisplay(state->display);
        state->display = nullptr;
    }
}

StandInWindowManager::~StandInWindowManager() {
    state->stop = true;
    if (state->loop.joinable()) {
        state->loop.join();
    }
    if (state->display != nullptr) {
        XCloseDisplay(state->display);
    }
}

bool StandInWindowManager::ok() const {
    return state->loop.joinable();
}

std::vector<MapRecord> StandInWindowManager::maps() const {
    const std::lock_guard<std::mutex> hold(state->mutex);
    return state->maps;
}

std::vector<FullScreenRecord> StandInWindowManager::fullScreenRequests() const {
    const std::lock_guard<std::mutex> hold(state->mutex);
    return state->fullScreenRequests;
}

bool StandInWindowManager::waitUntilManaged(const std::string& name, double seconds) const {
    std::unique_lock<std::mutex> hold(state->mutex);
    return state->changed.wait_for(hold, std::chrono::duration<double>(seconds), [&] {
        return std::any_of(state->managed.begin(), state->managed.end(),
                           [&name](const State::Managed& m) { return m.name == name; });
    });
}

} // namespace e2e
