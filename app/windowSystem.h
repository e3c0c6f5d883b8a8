#pragma once
// The two window-system calls a frame makes. freeglut ends the process when it is called
// without a window, so headless tests put recorders here in place of GLUT.

struct WindowSystem {
    void (*swapBuffers)();
    void (*bitmapCharacter)(void* font, int character);
};

// The calls the game makes from now on; starts as GLUT's own.
WindowSystem& windowSystem();
WindowSystem glutWindowSystem();

// The idle callback's request for the next frame (glutPostRedisplay). Kept apart from the
// table above so that replacing the table leaves it as it is, and the other way round.
using RedisplayRequest = void (*)();
RedisplayRequest& redisplayRequest();
