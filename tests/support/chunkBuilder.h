#pragma once
// Assembles 3DS files byte by byte: a chunk is an id, its own fields and its children; bytes()
// writes the 6-byte header with the true length unless a test claims another.

#include "assets/model3ds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Chunk {
  public:
    explicit Chunk(std::uint16_t chunkId) : id(chunkId) {}

    Chunk& u8(unsigned value) { return raw(std::string(1, char(value))); }
    Chunk& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8 & 0xFF); }
    Chunk& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    Chunk& f32(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    Chunk& name(const std::string& text) { return raw(text).u8(0); } // with its NUL
    Chunk& raw(const std::string& text) {
        body.insert(body.end(), text.begin(), text.end());
        return *this;
    }
    Chunk& child(const Chunk& inner) {
        const std::vector<unsigned char> bytes = inner.bytes();
        return raw(std::string(bytes.begin(), bytes.end()));
    }
    Chunk& claimLength(std::uint32_t length) { return claimed = length, *this; }
    std::vector<unsigned char> bytes() const {
        Chunk header(0);
        header.u16(id).u32(claimed ? *claimed : std::uint32_t(body.size() + 6));
        std::vector<unsigned char> out = header.body;
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

  private:
    std::uint16_t id;
    std::vector<unsigned char> body;
    std::optional<std::uint32_t> claimed;
};

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

inline Chunk mainChunk() {
    return Chunk(0x4D4D);
}
inline Chunk editor() {
    return Chunk(0x3D3D);
}
inline Chunk material() {
    return Chunk(0xAFFF);
}
inline Chunk materialName(const std::string& text) {
    return Chunk(0xA000).name(text);
}
inline Chunk floatColor(float r, float g, float b, std::uint16_t id = 0x0010) {
    return Chunk(id).f32(r).f32(g).f32(b);
}
inline Chunk byteColor(unsigned r, unsigned g, unsigned b, std::uint16_t id = 0x0011) {
    return Chunk(id).u8(r).u8(g).u8(b);
}
inline Chunk ambient(const Chunk& color) {
    return Chunk(0xA010).child(color);
}
inline Chunk diffuse(const Chunk& color) {
    return Chunk(0xA020).child(color);
}
inline Chunk textureMap(const std::string& mapName, std::uint16_t id = 0xA200) {
    return Chunk(id).child(Chunk(0xA300).name(mapName));
}
inline Chunk object(const std::string& objectName) {
    return Chunk(0x4000).name(objectName);
}
inline Chunk mesh() {
    return Chunk(0x4100);
}
// `chunk` followed by the items' 16-bit count, then each item as `put` writes it.
template <class Item, class Put>
Chunk counted(Chunk chunk, const std::vector<Item>& items, Put put) {
    chunk.u16(unsigned(items.size()));
    for (const Item& item : items) {
        put(chunk, item);
    }
    return chunk;
}
inline Chunk vertexList(const std::vector<Xyz>& vertices) {
    return counted(Chunk(0x4110), vertices, [](Chunk& c, Xyz v) { c.f32(v.x).f32(v.y).f32(v.z); });
}
inline Chunk texCoords(const std::vector<Uv>& pairs) {
    return counted(Chunk(0x4140), pairs, [](Chunk& c, Uv p) { c.f32(p.u).f32(p.v); });
}
// The face list's own fields; add 0x4130 children with child().
inline Chunk faceList(const std::vector<Triangle>& triangles) {
    return counted(Chunk(0x4120), triangles,
                   [](Chunk& c, Triangle t) { c.u16(t.a).u16(t.b).u16(t.c).u16(0); });
}
inline Chunk faceGroup(const std::string& materialName, const std::vector<unsigned>& triangles) {
    return counted(Chunk(0x4130).name(materialName), triangles,
                   [](Chunk& c, unsigned t) { c.u16(t); });
}
// A chunk the reader does not know, with some bytes of its own.
inline Chunk unknown(std::uint16_t id = 0x7777) {
    return Chunk(id).u32(0xDEADBEEF).u16(0x4110);
}

inline Chunk withChildren(Chunk parent, const std::vector<Chunk>& children) {
    for (const Chunk& child : children) {
        parent.child(child);
    }
    return parent;
}
inline Chunk fileWith(const std::vector<Chunk>& editorChildren) {
    return mainChunk().child(withChildren(editor(), editorChildren));
}
inline Chunk objectWith(const std::string& name, const std::vector<Chunk>& meshChildren) {
    return object(name).child(withChildren(mesh(), meshChildren));
}
inline Chunk materialWith(const std::string& name, const std::vector<Chunk>& children) {
    return withChildren(material().child(materialName(name)), children);
}

// One object of `count` small triangles (within 0.1 of the origin) split in turn over the
// material "plain" and a material "mat<i>" for each map named.
inline std::vector<unsigned char> meshFile(int count, const std::vector<std::string>& maps = {}) {
    std::vector<std::string> names = {"plain"};
    std::vector<Chunk> children = {materialWith("plain", {diffuse(byteColor(200, 100, 50))})};
    for (const std::string& map : maps) {
        names.push_back("mat" + std::to_string(names.size() - 1));
        children.push_back(
            materialWith(names.back(), {diffuse(byteColor(200, 100, 50)), textureMap(map)}));
    }
    std::vector<Xyz> vertices;
    std::vector<Triangle> triangles;
    for (int i = 0; i < count; ++i) {
        const float x = 0.01f * float(i % 5), y = 0.01f * float(i / 5);
        vertices.insert(vertices.end(), {{x, y, 0}, {x + 0.05f, y, 0}, {x, y + 0.05f, 0}});
        triangles.push_back({unsigned(3 * i), unsigned(3 * i + 1), unsigned(3 * i + 2)});
    }
    Chunk faces = faceList(triangles);
    const int groups = int(names.size());
    for (int g = 0; g < groups; ++g) {
        std::vector<unsigned> members;
        for (int i = g; i < count; i += groups) {
            members.push_back(unsigned(i));
        }
        faces.child(faceGroup(names[std::size_t(g)], members));
    }
    children.push_back(objectWith("body", {vertexList(vertices), faces}));
    return fileWith(children).bytes();
}

// The map names the last readMesh handed on, with the slots they took.
inline std::vector<std::pair<std::string, int>> mapsHandedOn;

// Reads a mesh from a heap block of exactly the file's size, so that the sanitizer build sees
// any overrun. Its maps are handed on to mapsHandedOn, not read.
inline Model_3DS readMesh(const std::vector<unsigned char>& bytes, int firstTexture = 0,
                          const char* name = "mesh.3ds") {
    static unsigned int textures[40];
    std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    mapsHandedOn.clear();
    Model_3DS model;
    model.textureLoader = [](unsigned int* slots, const char* fileName, int slot) {
        mapsHandedOn.emplace_back(fileName, slot);
        slots[slot] = 1000u + unsigned(slot);
    };
    EXPECT_EQ(model.LoadFromMemory(exact.get(), bytes.size(), name, firstTexture, textures),
              model.textureCount);
    return model;
}
inline Model_3DS readMesh(const Chunk& file, int firstTexture = 0, const char* name = "mesh.3ds") {
    return readMesh(file.bytes(), firstTexture, name);
}

} // namespace chunk3ds

namespace chunk3ds::samples {

// Two mapped materials (byte ambient, float diffuse); a textured quad in two face groups.
inline Chunk twoMaterialQuad() {
    const Chunk red = materialWith(
        "red", {ambient(byteColor(40, 0, 0)), diffuse(floatColor(1, 0, 0)), textureMap("red.tga")});
    const Chunk blue =
        materialWith("blue", {diffuse(byteColor(0, 0, 255)), textureMap("blue.tga", 0xA030)});
    const Chunk faces =
        faceList({{0, 1, 2}, {0, 2, 3}}).child(faceGroup("red", {0})).child(faceGroup("blue", {1}));
    const Chunk quad = objectWith("quad", {vertexList({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}),
                                           texCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), faces});
    return mainChunk().child(Chunk(0x0002).u32(3)).child(withChildren(editor(), {red, blue, quad}));
}

// One untextured triangle with no material at all.
inline Chunk bareTriangle() {
    return fileWith({objectWith("tri", {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                        faceList({{0, 1, 2}}).child(faceGroup("", {0}))})});
}

} // namespace chunk3ds::samples
