#include "app/function.h"

#include "app/windowSystem.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <cmath>
#include <cstring>

float Function::distance(float x1, float y1, float z1, float x2, float y2, float z2) const {
    // The differences are float subtractions; only the squares and their sum are double.
    double sum = std::pow(double(x1 - x2), 2.0);
    sum += std::pow(double(y1 - y2), 2.0);
    sum += std::pow(double(z1 - z2), 2.0);
    return float(std::sqrt(sum));
}

void Function::drawString(const char* text, float x, float y) const {
    glColor3f(1, 0, 0);
    glRasterPos2f(x, y);
    for (std::size_t i = 0; i < std::strlen(text); ++i) {
        // As an unsigned byte: GLUT skips negative codes, so 0xE9 would vanish as a plain char.
        windowSystem().bitmapCharacter(GLUT_BITMAP_HELVETICA_10,
                                       static_cast<unsigned char>(text[i]));
    }
}
