#pragma once
// Test art and probes for the asset tests: a scratch working directory, tiny 3DS meshes and
// TGA images written byte by byte from the published formats, and a reader of OpenGL's
// feedback buffer so tests can see exactly which primitives a display list draws.

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace testkit {

using Bytes = std::vector<unsigned char>;

// A fresh directory made the working directory for the test's lifetime; the previous one is
// restored and the directory removed afterwards.
class ScratchDirectory {
  public:
    ScratchDirectory() : previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zephviewXXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a scratch directory from " << pattern;
            return;
        }
        root = name.data();
        std::filesystem::current_path(root);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous);
        if (!root.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    void write(const std::string& relative, const Bytes& bytes) const {
        const std::filesystem::path file = root / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

  private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

inline void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

inline void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline void putFloat(Bytes& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put32(out, bits);
}

inline void putName(Bytes& out, const std::string& name) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

inline void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// A 3DS chunk: id, whole length (header included), payload.
inline Bytes chunk(unsigned id, const Bytes& payload) {
    Bytes out;
    put16(out, id);
    put32(out, std::uint32_t(payload.size() + 6));
    append(out, payload);
    return out;
}

// An uncompressed 24-bit TGA image of one colour.
inline Bytes tgaImage(int width, int height, unsigned char red, unsigned char green,
                      unsigned char blue) {
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(out, unsigned(width));
    put16(out, unsigned(height));
    out.push_back(24);
    out.push_back(0);
    for (int i = 0; i < width * height; ++i) {
        out.push_back(blue);
        out.push_back(green);
        out.push_back(red);
    }
    return out;
}

struct TestMaterial {
    std::string name;
    std::string map; // empty: the material names no texture map
    unsigned char red = 200, green = 100, blue = 50;
};

// One object of small triangles, split over the materials in turn (triangle i goes to
// material i % count). Every triangle lies within 0.1 of the origin.
struct TestMesh {
    std::vector<TestMaterial> materials{{"plain", "", 200, 100, 50}};
    int triangles = 1;
    bool textured = false; // gives the object distinct texture coordinates
};

inline Bytes materialChunk(const TestMaterial& material) {
    Bytes body = chunk(0xA000, [&] {
        Bytes name;
        putName(name, material.name);
        return name;
    }());
    append(body, chunk(0xA020, chunk(0x0011, Bytes{material.red, material.green, material.blue})));
    if (!material.map.empty()) {
        Bytes mapName;
        putName(mapName, material.map);
        append(body, chunk(0xA200, chunk(0xA300, mapName)));
    }
    return chunk(0xAFFF, body);
}

inline Bytes objectChunk(const TestMesh& mesh) {
    const int vertexCount = mesh.triangles * 3;
    Bytes vertices;
    put16(vertices, unsigned(vertexCount));
    for (int i = 0; i < mesh.triangles; ++i) {
        const float x = 0.01f * float(i % 5);
        const float y = 0.01f * float(i / 5);
        const float corners[3][3] = {{x, y, 0}, {x + 0.05f, y, 0}, {x, y + 0.05f, 0}};
        for (const auto& corner : corners) {
            for (float c : corner) {
                putFloat(vertices, c);
            }
        }
    }
    Bytes mesh3d = chunk(0x4110, vertices);
    if (mesh.textured) {
        Bytes coords;
        put16(coords, unsigned(vertexCount));
        for (int v = 0; v < vertexCount; ++v) {
            putFloat(coords, 0.1f * float(v));
            putFloat(coords, 0.5f * float(v % 2));
        }
        append(mesh3d, chunk(0x4140, coords));
    }
    Bytes faces;
    put16(faces, unsigned(mesh.triangles));
    for (int i = 0; i < mesh.triangles; ++i) {
        put16(faces, unsigned(3 * i));
        put16(faces, unsigned(3 * i + 1));
        put16(faces, unsigned(3 * i + 2));
        put16(faces, 0);
    }
    const int groups = int(mesh.materials.size());
    for (int g = 0; g < groups; ++g) {
        Bytes group;
        putName(group, mesh.materials[size_t(g)].name);
        std::vector<unsigned> members;
        for (int i = g; i < mesh.triangles; i += groups) {
            members.push_back(unsigned(i));
        }
        put16(group, unsigned(members.size()));
        for (unsigned member : members) {
            put16(group, member);
        }
        append(faces, chunk(0x4130, group));
    }
    append(mesh3d, chunk(0x4120, faces));
    Bytes object;
    putName(object, "body");
    append(object, chunk(0x4100, mesh3d));
    return chunk(0x4000, object);
}

inline Bytes meshFile(const TestMesh& mesh) {
    Bytes editor;
    for (const TestMaterial& material : mesh.materials) {
        append(editor, materialChunk(material));
    }
    append(editor, objectChunk(mesh));
    return chunk(0x4D4D, chunk(0x3D3D, editor));
}

// One vertex of the feedback buffer; colour and texture are filled when the mode carries them.
struct FedVertex {
    float x = 0, y = 0, z = 0;
    float color[4] = {0, 0, 0, 0};
    float tex[4] = {0, 0, 0, 0};
};

using FedPolygon = std::vector<FedVertex>;

// Runs draw in feedback mode and returns the polygons it produced, in window coordinates.
// Other primitives are counted in `others`.
inline std::vector<FedPolygon> feedbackPolygons(GLenum type, const std::function<void()>& draw,
                                                int* others = nullptr) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflowed";
    const bool hasColor = type == GL_3D_COLOR || type == GL_3D_COLOR_TEXTURE;
    const bool hasTexture = type == GL_3D_COLOR_TEXTURE;
    auto readVertex = [&](GLint& at) {
        FedVertex v;
        v.x = buffer[size_t(at++)];
        v.y = buffer[size_t(at++)];
        v.z = buffer[size_t(at++)];
        if (hasColor) {
            for (float& c : v.color) {
                c = buffer[size_t(at++)];
            }
        }
        if (hasTexture) {
            for (float& t : v.tex) {
                t = buffer[size_t(at++)];
            }
        }
        return v;
    };
    std::vector<FedPolygon> polygons;
    int otherCount = 0;
    for (GLint at = 0; at < used;) {
        const GLenum token = GLenum(buffer[size_t(at++)]);
        if (token == GL_POLYGON_TOKEN) {
            const int count = int(buffer[size_t(at++)]);
            FedPolygon polygon;
            for (int i = 0; i < count; ++i) {
                polygon.push_back(readVertex(at));
            }
            polygons.push_back(polygon);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++at;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            readVertex(at);
            readVertex(at);
            ++otherCount;
        } else {
            readVertex(at); // point, bitmap and pixel tokens carry one vertex
            ++otherCount;
        }
    }
    if (others != nullptr) {
        *others = otherCount;
    }
    return polygons;
}

// The 1x1 texture named `texture`, read back as red, green, blue.
inline std::vector<unsigned char> texturePixel(GLuint texture) {
    if (!glIsTexture(texture)) {
        return {};
    }
    std::vector<unsigned char> rgb(4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    rgb.resize(3);
    return rgb;
}

} // namespace testkit
