#include "app/windowSystem.h"

#include <GL/freeglut.h>

WindowSystem glutWindowSystem() {
    return {glutSwapBuffers, glutBitmapCharacter};
}

WindowSystem& windowSystem() {
    static WindowSystem current = glutWindowSystem();
    return current;
}

RedisplayRequest& redisplayRequest() {
    static RedisplayRequest current = glutPostRedisplay;
    return current;
}
