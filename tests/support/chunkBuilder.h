#pragma once
// Assembles 3DS files byte by byte for the mesh tests: a chunk is an id, its own fields and its
// children; bytes() writes the 6-byte header with the true length unless a test forces another.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class Chunk {
  public:
    explicit Chunk(std::uint16_t chunkId) : id(chunkId) {}

    Chunk& u8(unsigned value) {
        body.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    Chunk& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8 & 0xFF); }
    Chunk& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    Chunk& f32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    // The text and its terminating NUL.
    Chunk& name(const std::string& text) {
        raw(text);
        return u8(0);
    }
    Chunk& raw(const std::string& text) {
        body.insert(body.end(), text.begin(), text.end());
        return *this;
    }
    Chunk& raw(const std::vector<unsigned char>& bytes) {
        body.insert(body.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Chunk& child(const Chunk& inner) { return raw(inner.bytes()); }
    // Writes `length` in the header instead of the true one.
    Chunk& claimLength(std::uint32_t length) {
        forcedLength = length;
        hasForcedLength = true;
        return *this;
    }

    std::vector<unsigned char> bytes() const {
        const std::uint32_t length =
            hasForcedLength ? forcedLength : static_cast<std::uint32_t>(body.size() + 6);
        std::vector<unsigned char> out = {
            static_cast<unsigned char>(id & 0xFF),          static_cast<unsigned char>(id >> 8),
            static_cast<unsigned char>(length & 0xFF),      static_cast<unsigned char>(length >> 8 & 0xFF),
            static_cast<unsigned char>(length >> 16 & 0xFF), static_cast<unsigned char>(length >> 24)};
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

  private:
    std::uint16_t id;
    std::vector<unsigned char> body;
    std::uint32_t forcedLength = 0;
    bool hasForcedLength = false;
};

// The chunks of a 3DS file, by what they mean.
namespace chunk3ds {

struct Xyz {
    float x, y, z;
};
struct Uv {
    float u, v;
};
struct Triangle {
    unsigned a, b, c;
};

inline Chunk mainChunk() { return Chunk(0x4D4D); }
inline Chunk editor() { return Chunk(0x3D3D); }
inline Chunk material() { return Chunk(0xAFFF); }
inline Chunk materialName(const std::string& text) { return Chunk(0xA000).name(text); }
inline Chunk floatColor(float r, float g, float b, std::uint16_t id = 0x0010) {
    return Chunk(id).f32(r).f32(g).f32(b);
}
inline Chunk byteColor(unsigned r, unsigned g, unsigned b, std::uint16_t id = 0x0011) {
    return Chunk(id).u8(r).u8(g).u8(b);
}
inline Chunk ambient(const Chunk& color) { return Chunk(0xA010).child(color); }
inline Chunk diffuse(const Chunk& color) { return Chunk(0xA020).child(color); }
inline Chunk textureMap(const std::string& mapName, std::uint16_t id = 0xA200) {
    return Chunk(id).child(Chunk(0xA300).name(mapName));
}
inline Chunk object(const std::string& objectName) { return Chunk(0x4000).name(objectName); }
inline Chunk mesh() { return Chunk(0x4100); }
inline Chunk vertexList(const std::vector<Xyz>& vertices) {
    Chunk chunk(0x4110);
    chunk.u16(static_cast<unsigned>(vertices.size()));
    for (const Xyz& v : vertices) {
        chunk.f32(v.x).f32(v.y).f32(v.z);
    }
    return chunk;
}
inline Chunk texCoords(const std::vector<Uv>& pairs) {
    Chunk chunk(0x4140);
    chunk.u16(static_cast<unsigned>(pairs.size()));
    for (const Uv& p : pairs) {
        chunk.f32(p.u).f32(p.v);
    }
    return chunk;
}
// The face list's own fields; add 0x4130 children with child().
inline Chunk faceList(const std::vector<Triangle>& triangles) {
    Chunk chunk(0x4120);
    chunk.u16(static_cast<unsigned>(triangles.size()));
    for (const Triangle& t : triangles) {
        chunk.u16(t.a).u16(t.b).u16(t.c).u16(0);
    }
    return chunk;
}
inline Chunk faceGroup(const std::string& materialName, const std::vector<unsigned>& triangles) {
    Chunk chunk(0x4130);
    chunk.name(materialName).u16(static_cast<unsigned>(triangles.size()));
    for (unsigned t : triangles) {
        chunk.u16(t);
    }
    return chunk;
}
// A chunk the reader does not know, with some bytes of its own.
inline Chunk unknown(std::uint16_t id = 0x7777) { return Chunk(id).u32(0xDEADBEEF).u16(0x4110); }


// Whole files and their parts, assembled from children in the order given.
inline Chunk fileWith(const std::vector<Chunk>& editorChildren) {
    Chunk edit = editor();
    for (const Chunk& child : editorChildren) {
        edit.child(child);
    }
    Chunk file = mainChunk();
    file.child(edit);
    return file;
}

inline Chunk objectWith(const std::string& name, const std::vector<Chunk>& meshChildren) {
    Chunk body = mesh();
    for (const Chunk& child : meshChildren) {
        body.child(child);
    }
    Chunk named = object(name);
    named.child(body);
    return named;
}

inline Chunk materialWith(const std::string& name, const std::vector<Chunk>& children) {
    Chunk m = material();
    m.child(materialName(name));
    for (const Chunk& child : children) {
        m.child(child);
    }
    return m;
}

// A mesh's arrays as vectors, so tests compare them whole; a null array is empty.
inline std::vector<float> floats(const float* values, int count) {
    return values == nullptr ? std::vector<float>() : std::vector<float>(values, values + count);
}
inline std::vector<unsigned> shorts(const unsigned short* values, int count) {
    return values == nullptr ? std::vector<unsigned>()
                             : std::vector<unsigned>(values, values + count);
}

// A whole file of one object of small triangles split over its materials in turn (triangle i
// goes to material i % count), every triangle within 0.1 of the origin; the entity and asset
// tests stand it in for the game's art.
struct TestMaterial {
    std::string name;
    std::string map; // empty: the material names no texture map
    unsigned char red = 200, green = 100, blue = 50;
};

struct TestMesh {
    std::vector<TestMaterial> materials{{"plain", "", 200, 100, 50}};
    int triangles = 1;
    bool textured = false; // gives the object distinct texture coordinates
};

inline std::vector<unsigned char> meshFile(const TestMesh& spec) {
    std::vector<Chunk> children;
    for (const TestMaterial& m : spec.materials) {
        std::vector<Chunk> parts = {diffuse(byteColor(m.red, m.green, m.blue))};
        if (!m.map.empty()) {
            parts.push_back(textureMap(m.map));
        }
        children.push_back(materialWith(m.name, parts));
    }
    std::vector<Xyz> vertices;
    std::vector<Uv> pairs;
    std::vector<Triangle> triangles;
    for (int i = 0; i < spec.triangles; ++i) {
        const float x = 0.01f * float(i % 5), y = 0.01f * float(i / 5);
        vertices.insert(vertices.end(), {{x, y, 0}, {x + 0.05f, y, 0}, {x, y + 0.05f, 0}});
        triangles.push_back({unsigned(3 * i), unsigned(3 * i + 1), unsigned(3 * i + 2)});
    }
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        pairs.push_back({0.1f * float(v), 0.5f * float(v % 2)});
    }
    Chunk faces = faceList(triangles);
    const int groups = int(spec.materials.size());
    for (int g = 0; g < groups; ++g) {
        std::vector<unsigned> members;
        for (int i = g; i < spec.triangles; i += groups) {
            members.push_back(unsigned(i));
        }
        faces.child(faceGroup(spec.materials[std::size_t(g)].name, members));
    }
    std::vector<Chunk> meshParts = {vertexList(vertices)};
    if (spec.textured) {
        meshParts.push_back(texCoords(pairs));
    }
    meshParts.push_back(faces);
    children.push_back(objectWith("body", meshParts));
    return fileWith(children).bytes();
}

} // namespace chunk3ds

// Small whole files shared by the reading tests and the fuzzer's seed corpus.
namespace chunk3ds::samples {

// Two materials (byte ambient, float diffuse, a map each) and one textured quad of two
// triangles in two face groups.
inline Chunk twoMaterialQuad() {
    Chunk red = material();
    red.child(materialName("red"))
        .child(ambient(byteColor(40, 0, 0)))
        .child(diffuse(floatColor(1.0f, 0.0f, 0.0f)))
        .child(textureMap("red.tga"));
    Chunk blue = material();
    blue.child(materialName("blue"))
        .child(diffuse(byteColor(0, 0, 255)))
        .child(textureMap("blue.tga", 0xA030));
    Chunk faces = faceList({{0, 1, 2}, {0, 2, 3}});
    faces.child(faceGroup("red", {0})).child(faceGroup("blue", {1}));
    Chunk quadMesh = mesh();
    quadMesh.child(vertexList({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}))
        .child(texCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}))
        .child(faces);
    Chunk quad = object("quad");
    quad.child(quadMesh);
    Chunk edit = editor();
    edit.child(red).child(blue).child(quad);
    Chunk file = mainChunk();
    file.child(Chunk(0x0002).u32(3)).child(edit);
    return file;
}

// One untextured triangle with no material at all.
inline Chunk bareTriangle() {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("", {0}));
    Chunk triangleMesh = mesh();
    triangleMesh.child(vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})).child(faces);
    Chunk triangle = object("tri");
    triangle.child(triangleMesh);
    Chunk edit = editor();
    edit.child(triangle);
    Chunk file = mainChunk();
    file.child(edit);
    return file;
}

} // namespace chunk3ds::samples
