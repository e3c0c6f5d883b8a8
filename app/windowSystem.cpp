#include "app/windowSystem.h"

#include <GL/freeglut.h>

WindowSystem glutWindowSystem() { return {glutSwapBuffers, glutBitmapCharacter}; }

WindowSystem& windowSystem() {
    static WindowSystem current = glutWindowSystem();
    return current;
}
