#include "support/glContext.h"

#include <GL/gl.h>

#include <cstring>

TEST_F(GlTest, contextIsDesktopCompatibilityWithDisplayLists) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    GLuint list = glGenLists(1);
    EXPECT_NE(list, 0u);
    glNewList(list, GL_COMPILE);
    glEndList();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
}
