#pragma once
// The game's link to GLUT: start-up, the fixed OpenGL state, the callbacks that drive the
// frame cycle and the global input state they share. All game logic lives in `scene`.

#include <optional>

class Function;
class SceneGraph;

extern Function function;
extern SceneGraph scene;

// One-frame flags, set by key events between two frames and cleared after the next frame.
extern bool push_up;
extern bool push_down;
extern bool push_left;
extern bool push_right;
extern bool push_page_up;
extern bool push_page_down;
extern bool rocket_fired;
extern bool laser_fired;
// Kept across frames: F4 flips it.
extern bool showSkybox;
extern bool firstTime; // no idle call has happened yet
extern int oldX, oldY; // last mouse position seen by mouseMotion, in window pixels
extern int dx, dy;     // mouse movement since the previous motion event, in pixels

// Start-up steps of the entry point, in the order it runs them.
void printBannerAndHelp();
void initialisation();
void display();
void Idle();
void mouseMotion(int x, int y);
void GestionSpecial(int key, int x, int y);

// The game's own options, taken out of the arguments: prints the usage or the version and gives
// the status to exit with (1, with a line on stderr, when it could not be written), or sets the
// console switch and gives none.
std::optional<int> readCommandLine(int& argc, char** argv);

// Whether a display to open the window on is named: by -display on the command line GLUT reads,
// or by the environment. freeglut ends the process with a terse error when it has no name at
// all, so the game says why first, in one line; a display named but unreachable is freeglut's to
// report.
bool displayNamed(int argc, char** argv);

// The whole of `main`: options, banner, window, initialisation, callbacks and the GLUT loop.
int runGame(int argc, char** argv);
