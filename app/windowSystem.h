#pragma once
// The window-system calls a frame and the keys make. freeglut ends the process when it is called
// without a window, so headless tests install recorders in place of GLUT's own.

struct WindowSystem {
    void (*swapBuffers)();
    void (*bitmapCharacter)(void* font, int character);
    void (*postRedisplay)();    // the idle callback's request for the next frame
    void (*switchFullScreen)(); // F11
    void (*leaveMainLoop)();    // Escape: the game ends as when its window is closed
};

WindowSystem glutWindowSystem();
// The calls the game makes from now on; returns the ones it replaces.
WindowSystem setWindowSystem(WindowSystem calls);
const WindowSystem& windowSystem();
