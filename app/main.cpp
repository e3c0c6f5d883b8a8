#include "app/main.h"

#include "app/artDirectory.h"
#include "app/console.h"
#include "sys/desktopWindow.h"
#include "app/diagnostics.h"
#include "app/function.h"
#include "app/options.h"
#include "sys/platform.h"
#include "app/windowShape.h"
#include "app/windowSystem.h"
#include "scene/scenegraph.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>

// Constructed before main runs, in this order; the world makes no OpenGL call until initTest.
Function function;
SceneGraph scene;

bool push_up = false;
bool push_down = false;
bool push_left = false;
bool push_right = false;
bool push_page_up = false;
bool push_page_down = false;
bool showSkybox = true;
bool rocket_fired = false;
bool laser_fired = false;
bool firstTime = true;
int oldX = 0, oldY = 0;
int dx = 0, dy = 0;

void printBannerAndHelp() {
    if (!consoleOn()) {
        return;
    }
    std::cout << "**********************************\n";
    std::cout << "*       Zephrandolinth v0.1      *\n";
    std::cout << "**********************************\n";
    std::cout << "\n    Arrow Up:    Turn up";
    std::cout << "\n    Arrow Down:  Turn down";
    std::cout << "\n    Arrow Left:  Turn left";
    std::cout << "\n    Arrow Right: Turn right";
    std::cout << "\n    Page Up:     Increase speed";
    std::cout << "\n    Page Down:   Reduce speed";
    std::cout << "\n    F2:          Fire rocket";
}

void initialisation() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    setPerspective(640.0f / 480.0f);
    glEnable(GL_LIGHTING);
    scene.initTest();
    if (consoleOn()) {
        std::cout << "on a reussi a init la scene";
    }
}

void display() {
    scene.manageFire(rocket_fired, laser_fired);
    scene.move(push_up, push_down, push_left, push_right, push_page_down, push_page_up, dx, dy);
    scene.render(showSkybox);
    push_up = false;
    push_down = false;
    push_left = false;
    push_right = false;
    push_page_up = false;
    push_page_down = false;
    rocket_fired = false;
    laser_fired = false;
}

void Idle() {
    if (firstTime) {
        dx = 0;
        dy = 0;
        firstTime = false;
    }
    windowSystem().postRedisplay();
    dx = 0;
    dy = 0;
}

void mouseMotion(int x, int y) {
    dx = x - oldX;
    dy = y - oldY;
    oldX = x;
    oldY = y;
}

void GestionSpecial(int key, int /*x*/, int /*y*/) {
    switch (key) {
    case GLUT_KEY_UP:
        push_up = true;
        break;
    case GLUT_KEY_DOWN:
        push_down = true;
        break;
    case GLUT_KEY_LEFT:
        push_left = true;
        break;
    case GLUT_KEY_RIGHT:
        push_right = true;
        break;
    case GLUT_KEY_PAGE_UP:
        push_page_up = true;
        break;
    case GLUT_KEY_PAGE_DOWN:
        push_page_down = true;
        break;
    case GLUT_KEY_F2:
        rocket_fired = true;
        break;
    case GLUT_KEY_F3:
        laser_fired = true;
        break;
    case GLUT_KEY_F4:
        showSkybox = !showSkybox;
        break;
    case GLUT_KEY_F11:
        windowSystem().switchFullScreen();
        break;
    default:
        break;
    }
}

void ordinaryKey(unsigned char key, int /*x*/, int /*y*/) {
    constexpr unsigned char escape = 27;
    if (key == escape) {
        windowSystem().leaveMainLoop();
    }
}

namespace {
bool fullScreenAtStart = false; // --fullscreen
} // namespace

bool displayNamed(int argc, char** argv) {
    // GLUT reads its options through the whole command line, past "--" too, and takes the
    // argument after -display or -geometry as their value, whatever it looks like. X takes an
    // empty name for none.
    for (int i = 1; i + 1 < argc; ++i) {
        const bool display = std::strcmp(argv[i], "-display") == 0;
        if (display && argv[i + 1][0] != '\0') {
            return true;
        }
        if (display || std::strcmp(argv[i], "-geometry") == 0) {
            ++i;
        }
    }
    return displayInEnvironment();
}

std::optional<int> readCommandLine(int& argc, char** argv) {
    const Options options = takeOptions(argc, argv);
    if (options.help || options.version) {
        // Asked for at a prompt, it is answered there, even by a program without a console.
        reachTheStartingConsole();
        // Flushed and checked: a usage or a version that never arrived is no success.
        errno = 0;
        std::cout << (options.help ? usageText() : versionText()) << std::flush;
        if (!std::cout) {
            const int error = errno;
            diagnose(std::string("zephrandolinth: cannot write the ") +
                     (options.help ? "usage" : "version") + " to standard output" +
                     (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) +
                     "\n");
            return 1;
        }
        return 0;
    }
    // Nothing written to /dev/null can be read, so nothing is formatted for it either.
    setConsoleOn(!options.quiet && !writesAreDiscarded(standardOutput));
    fullScreenAtStart = options.fullScreen;
    return std::nullopt;
}

int runGame(int argc, char** argv) {
    prepareStandardOutput();
    keepFreedMemory();
    if (const std::optional<int> status = readCommandLine(argc, argv)) {
        return *status;
    }
    printBannerAndHelp();
    std::srand(unsigned(std::time(nullptr)));
    if (!displayNamed(argc, argv)) {
        diagnose("zephrandolinth: no X display to open a window on (DISPLAY is not set); "
                 "run it inside a desktop session or under xvfb-run\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(250, 250);
    glutCreateWindow("Zephrandolinth v0.1");
    identifyWindow();
    if (fullScreenAtStart) {
        switchFullScreen();
    }
    enterArtDirectory();
    initialisation();
    glutIdleFunc(Idle);
    glutDisplayFunc(display);
    glutSpecialFunc(GestionSpecial);
    glutPassiveMotionFunc(mouseMotion);
    glutReshapeFunc(reshapeWindow);
    glutKeyboardFunc(ordinaryKey);
    glutMainLoop();
    return 0;
}
