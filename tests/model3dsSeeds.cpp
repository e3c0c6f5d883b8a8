// The fuzzer's seed corpus is written by this file: each seed is a small valid mesh built with
// the chunk builder. The test keeps the committed files equal to what is built here, and every
// seed must read without a fault. ZEPH_WRITE_3DS_SEEDS=1 rewrites them.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace chunk3ds;

namespace {

Chunk inFile(const Chunk& edit) {
    Chunk file = mainChunk();
    file.child(edit);
    return file;
}

Chunk colourVariants() {
    Chunk gamma = material();
    gamma.child(materialName("gamma"))
        .child(ambient(floatColor(0.2f, 0.3f, 0.4f, 0x0013)))
        .child(diffuse(byteColor(10, 20, 30, 0x0012)));
    Chunk both = material();
    both.child(materialName("both"))
        .child(diffuse(Chunk(0xA020).child(byteColor(1, 2, 3)).child(floatColor(0.5f, 0.5f, 0.5f))));
    Chunk edit = editor();
    edit.child(gamma).child(both);
    return inFile(edit);
}

Chunk twoObjectsFacesFirst() {
    Chunk edit = editor();
    for (const char* name : {"first", "second"}) {
        Chunk faces = faceList({{0, 1, 2}, {1, 3, 2}});
        faces.child(faceGroup("stone", {0, 1}));
        Chunk body = mesh();
        body.child(faces).child(vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}}));
        Chunk named = object(name);
        named.child(body);
        edit.child(named);
    }
    Chunk stone = material();
    stone.child(materialName("stone")).child(diffuse(byteColor(128, 128, 128)));
    edit.child(stone);
    return inFile(edit);
}

Chunk unknownsEverywhere() {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(unknown()).child(faceGroup("m", {0})).child(unknown(0x4150));
    Chunk body = mesh();
    body.child(unknown(0x4160)).child(vertexList({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}))
        .child(unknown()).child(faces);
    Chunk named = object("odd");
    named.child(unknown()).child(body);
    Chunk m = material();
    m.child(unknown(0xA040)).child(materialName("m")).child(unknown())
        .child(Chunk(0xA200).child(unknown()).child(Chunk(0xA300).name("m.tga")));
    Chunk edit = editor();
    edit.child(unknown(0x0100)).child(m).child(unknown()).child(named);
    Chunk file = mainChunk();
    file.child(unknown(0xB000)).child(edit).child(unknown());
    return file;
}

Chunk degenerateTexCoords() {
    std::vector<Uv> pairs;
    for (int i = 0; i < 10; ++i) {
        pairs.push_back({float(i / 2), 0.5f});
    }
    std::vector<Xyz> vertices;
    for (int i = 0; i < 10; ++i) {
        vertices.push_back({float(i), float(i % 3), float(i % 2)});
    }
    Chunk faces = faceList({{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {7, 8, 9}});
    faces.child(faceGroup("", {0, 1, 2, 3}));
    Chunk body = mesh();
    body.child(vertexList(vertices)).child(texCoords(pairs)).child(faces);
    Chunk named = object("strip");
    named.child(body);
    Chunk edit = editor();
    edit.child(named);
    return inFile(edit);
}

std::vector<std::pair<std::string, Chunk>> seeds() {
    return {{"two_material_quad.3ds", samples::twoMaterialQuad()},
            {"bare_triangle.3ds", samples::bareTriangle()},
            {"colour_variants.3ds", colourVariants()},
            {"two_objects_faces_first.3ds", twoObjectsFacesFirst()},
            {"unknown_chunks.3ds", unknownsEverywhere()},
            {"degenerate_texcoords.3ds", degenerateTexCoords()}};
}

std::string seedPath(const std::string& name) {
    return std::string(ZEPH_SOURCE_DIR) + "/fuzz/corpus/fuzz_model3ds/" + name;
}

std::vector<unsigned char> fileBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Model3dsSeeds, committedSeedsAreTheBuiltMeshesAndReadCleanly) {
    const bool rewrite = std::getenv("ZEPH_WRITE_3DS_SEEDS") != nullptr;
    for (const auto& [name, chunk] : seeds()) {
        const std::vector<unsigned char> bytes = chunk.bytes();
        EXPECT_LT(bytes.size(), 4096u) << name;
        if (rewrite) {
            std::ofstream(seedPath(name), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        EXPECT_EQ(fileBytes(seedPath(name)), bytes) << name << " differs from its builder";
        Model_3DS model;
        model.textureLoader = nullptr;
        model.LoadFromMemory(bytes.data(), bytes.size(), name.c_str(), 0, nullptr);
        EXPECT_EQ(model.fault, nullptr) << name << ": " << model.fault;
        EXPECT_GT(model.numObjects + model.numMaterials, 0) << name;
    }
}
