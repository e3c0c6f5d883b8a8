#pragma once
// Emscripten's GLUT headers hold freeglut's standard part only: its extensions the game calls
// (sys/web/gl/pageLoop.cpp answers them) are declared here, as freeglut_ext.h declares them.

#include <GL/freeglut_std.h>

#ifdef __cplusplus
extern "C" {
#endif

void glutLeaveMainLoop(void);
void glutFullScreenToggle(void);

#ifdef __cplusplus
}
#endif
