// gluBuild2DMipmaps where WebGL makes the smaller levels itself (generateMipmap). WebGL 1 makes
// them only for sides that are powers of two, so an image of another size is first scaled with
// GLU's filter to the largest power of two within each side (GLU takes the nearest, which may be
// larger: shrinking never asks more than the image holds). The game's own art is made at powers
// of two and goes up as it is.

#include "sys/web/gl/imageScale.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <vector>

extern "C" void glGenerateMipmap(GLenum target);

namespace {

// WebGL takes the pixels' own format as the internal one: 3 and 4 components are RGB and RGBA.
GLenum internalFormatOf(GLint components, GLenum format) {
    switch (components) {
    case 3:
        return GL_RGB;
    case 4:
        return GL_RGBA;
    default:
        return format;
    }
}

int channelsOf(GLenum format) {
    switch (format) {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    case GL_LUMINANCE_ALPHA:
        return 2;
    default:
        return 1;
    }
}

} // namespace

GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    if (width < 1 || height < 1) {
        return GLU_INVALID_VALUE;
    }
    if (type != GL_UNSIGNED_BYTE) {
        return GLU_INVALID_ENUM;
    }
    const GLenum internal = internalFormatOf(components, format);
    const weblayer::ImageSize size{width, height};
    const weblayer::ImageSize target2 = weblayer::powerOfTwoWithin(size);
    if (target2.width == width && target2.height == height) {
        glTexImage2D(target, 0, GLint(internal), width, height, 0, format, type, data);
    } else {
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        const std::vector<unsigned char> scaled = weblayer::scaledImage(
            static_cast<const unsigned char*>(data), size, channelsOf(format), alignment, target2);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(target, 0, GLint(internal), target2.width, target2.height, 0, format, type,
                     scaled.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    glGenerateMipmap(target);
    return 0;
}
