#pragma once
// What drawing code hands to the rasteriser (window coordinates) and its pass-through markers.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

struct FedVertex {
    float x = 0, y = 0, z = 0;
    float color[4] = {0, 0, 0, 0}; // filled for GL_3D_COLOR and GL_3D_COLOR_TEXTURE
    float tex[4] = {0, 0, 0, 0};   // filled for GL_3D_COLOR_TEXTURE
};
using FedPolygon = std::vector<FedVertex>;

struct Feedback {
    std::vector<FedPolygon> polygons;
    std::vector<FedPolygon> lines; // two vertices each
    std::vector<GLfloat> markers;  // glPassThrough values, in order
    std::vector<FedVertex> points; // and the one vertex of point, bitmap and pixel tokens
};

inline Feedback feedback(GLenum type, const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(GLsizei(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflowed";
    const int colors = type == GL_3D_COLOR || type == GL_3D_COLOR_TEXTURE ? 4 : 0;
    const int texels = type == GL_3D_COLOR_TEXTURE ? 4 : 0;
    GLint at = 0;
    auto next = [&] { return buffer[std::size_t(at++)]; };
    auto vertex = [&] {
        FedVertex v;
        v.x = next(), v.y = next(), v.z = next();
        std::generate_n(v.color, colors, next);
        std::generate_n(v.tex, texels, next);
        return v;
    };
    Feedback out;
    while (at < used) {
        const GLenum token = GLenum(next());
        if (token == GL_POLYGON_TOKEN) {
            FedPolygon polygon(static_cast<std::size_t>(next()));
            for (FedVertex& v : polygon) {
                v = vertex();
            }
            out.polygons.push_back(polygon);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            out.markers.push_back(next());
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            const FedVertex from = vertex();
            out.lines.push_back({from, vertex()});
        } else {
            out.points.push_back(vertex());
        }
    }
    return out;
}

// OpenGL's own state: the first `count` values glGetFloatv gives for `what`.
inline std::vector<float> glFloats(GLenum what, std::size_t count = 16) {
    std::vector<float> values(16);
    glGetFloatv(what, values.data());
    values.resize(count);
    return values;
}

// A new display list holding what `draw` issues.
inline GLuint compiled(const std::function<void()>& draw) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    draw();
    glEndList();
    return list;
}

// The texture object's level 0 read back as bytes of `format` (RGB or RGBA); empty if it is none.
inline std::vector<unsigned char> texturePixels(GLuint texture, GLenum format = GL_RGB) {
    if (!glIsTexture(texture)) {
        return {};
    }
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> rgb(std::size_t(width) * std::size_t(height) *
                                   (format == GL_RGBA ? 4 : 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
