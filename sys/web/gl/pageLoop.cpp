// GLUT's main loop in a page. The browser calls the page back once per displayed frame
// (requestAnimationFrame) and the loop must return to it in between: each call runs the idle
// callback, then the display callback when a redisplay was posted, as freeglut's loop does.
// With the page's Module.uncapped the loop runs as fast as the browser lets it instead (for the
// benchmark). Escape ends the loop and tells the page (Module.onGameEnded); every buffer swap is
// one frame drawn (Module.onFrame).

#include "sys/web/gl/bitmapText.h"

#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/eventloop.h>

namespace {

void (*idle)() = nullptr;
void (*display)() = nullptr;
void (*reshape)(int, int) = nullptr;
bool redisplayPosted = false;
bool ended = false;

void runOnce() {
    if (idle != nullptr) {
        idle();
    }
    if (redisplayPosted && display != nullptr) {
        redisplayPosted = false;
        display();
    }
}

EM_JS(int, uncappedAsked, (), { return Module['uncapped'] ? 1 : 0; });

EM_JS(int, canvasWidth, (), { return Module['canvas'].width; });

EM_JS(int, canvasHeight, (), { return Module['canvas'].height; });

EM_JS(void, tellFrameDrawn, (), {
    if (typeof Module['onFrame'] === 'function') Module['onFrame']();
});

EM_JS(void, tellGameEnded, (), {
    if (typeof Module['onGameEnded'] === 'function') Module['onGameEnded']();
});

// The picture's container, or the canvas, goes to full screen; a second switch leaves it. The
// canvas keeps its 640x480 buffer: the page fits it to the screen.
EM_JS(void, toggleFullScreen, (), {
    var target = Module['fullscreenTarget'] || Module['canvas'];
    if (document.fullscreenElement) {
        document.exitFullscreen().catch(function() {});
    } else if (target.requestFullscreen) {
        // Refused outside a key press or a click; the game plays on in its window.
        target.requestFullscreen().catch(function() {});
    }
});

} // namespace

extern "C" {

void glutIdleFunc(void (*callback)()) { idle = callback; }

void glutDisplayFunc(void (*callback)()) { display = callback; }

void glutReshapeFunc(void (*callback)(int, int)) { reshape = callback; }

void glutPostRedisplay() { redisplayPosted = true; }

void glutSwapBuffers() {
    drawPendingText();
    // The browser shows the canvas when the call returns to it.
    tellFrameDrawn();
}

void glutMainLoop() {
    if (reshape != nullptr) {
        reshape(canvasWidth(), canvasHeight());
    }
    redisplayPosted = true;
    emscripten_set_main_loop(runOnce, 0, 0);
    if (uncappedAsked()) {
        emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
    }
    // Like freeglut's, the loop does not return to the caller while the game runs.
    emscripten_unwind_to_js_event_loop();
}

void glutLeaveMainLoop() {
    if (ended) {
        return;
    }
    ended = true;
    emscripten_cancel_main_loop();
    tellGameEnded();
}

void glutFullScreenToggle() { toggleFullScreen(); }

} // extern "C"
