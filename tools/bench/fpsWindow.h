#pragma once
// Shared by the frame-rate programs: a GLUT window like the game's (640 by 480, double
// buffered, depth) whose idle callback asks for frame after frame, and a count of the frames
// drawn after a warm-up, reported as frames per second when the measurement ends.

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace fpsWindow {

struct Measure {
    const char* label = "";
    double warmUpSeconds = 3;
    double seconds = 10;
    long frames = 0;
    bool counting = false;
    std::chrono::steady_clock::time_point start;
    std::clock_t cpuStart = 0; // processor time of the whole process, every thread included
};

inline Measure& measure() {
    static Measure current;
    return current;
}

// Call once per frame, after the swap.
inline void frameDone() {
    Measure& m = measure();
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - m.start).count();
    if (!m.counting) {
        if (elapsed >= m.warmUpSeconds) {
            m.counting = true;
            m.frames = 0;
            m.start = now;
            m.cpuStart = std::clock();
        }
        return;
    }
    ++m.frames;
    if (elapsed >= m.seconds) {
        const double cpu = double(std::clock() - m.cpuStart) / CLOCKS_PER_SEC;
        std::fprintf(stderr,
                     "%s: %ld frames in %.2f s = %.1f frames per second, %.2f ms processor "
                     "time per frame\n",
                     m.label, m.frames, elapsed, double(m.frames) / elapsed,
                     1000.0 * cpu / double(m.frames));
        std::exit(0);
    }
}

inline void idle() { glutPostRedisplay(); }

// Seconds from the command line (first argument), so a run can be made longer.
inline void open(int& argc, char** argv, const char* label, void (*display)()) {
    Measure& m = measure();
    m.label = label;
    if (argc > 1) {
        m.seconds = std::atof(argv[1]);
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(250, 250);
    glutCreateWindow(label);
    glutIdleFunc(idle);
    glutDisplayFunc(display);
    m.start = std::chrono::steady_clock::now();
}

} // namespace fpsWindow
