// The floor of the frame-rate comparison: a window like the game's that only clears and swaps.
// Run under the same X server as the game (tools/bench/fps.sh). Prints its figure on stderr.

#include "fpsWindow.h"

#include <GL/gl.h>

namespace {

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    fpsWindow::frameDone();
}

} // namespace

int main(int argc, char** argv) {
    fpsWindow::open(argc, argv, "clear and swap only", display);
    glClearColor(0, 0, 0, 0);
    glutMainLoop();
    return 0;
}
