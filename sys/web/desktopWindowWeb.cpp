// The desktop of a web page is the page itself (sys/web/page/): it names the tab and shows the
// icon, and it is told when the art is missing.

#include "sys/desktopWindow.h"

#include <emscripten.h>

// The page's own title and favicon name the game: nothing to tell it.
void identifyWindow() {}

// The browser's Fullscreen API puts the picture in full screen and gives the page back its
// shape afterwards (glutFullScreenToggle, sys/web/gl/pageLoop.cpp).
bool desktopSwitchesFullScreen() {
    return true;
}

void showArtMissing(const std::string& line) {
    EM_ASM(
        {
            if (typeof Module['onArtMissing'] === 'function') {
                Module['onArtMissing'](UTF8ToString($0));
            }
        },
        line.c_str());
}
