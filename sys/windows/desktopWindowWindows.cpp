#include "sys/desktopWindow.h"

// freeglut gives every window the icon resource named GLUT_ICON, which the executable carries,
// and the task bar groups windows by their executable: nothing to add.
void identifyWindow() {}

// freeglut keeps the window's place and size and covers the monitor itself.
bool desktopSwitchesFullScreen() {
    return true;
}
