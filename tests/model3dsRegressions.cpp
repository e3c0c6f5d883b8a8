// Replays every input the mesh fuzzer ever failed on (fuzz/regressions/fuzz_model3ds/) and its
// seeds: each must read without touching memory it does not own, and leave a mesh whose every
// index stays inside its array, so that Draw can never read outside one.

#include "assets/model3ds.h"
#include "assets/textureSlots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const std::string& folder) {
    std::vector<fs::path> found;
    const fs::path root = fs::path(ZEPH_SOURCE_DIR) / folder;
    if (fs::is_directory(root)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
                found.push_back(entry.path());
            }
        }
    }
    return found;
}

void expectEveryIndexInside(const Model_3DS& model, const std::string& input) {
    SCOPED_TRACE(input);
    EXPECT_GE(model.totalVerts, 0);
    EXPECT_GE(model.totalFaces, 0);
    for (int m = 0; m < model.numMaterials; ++m) {
        EXPECT_NE(std::memchr(model.materials[m].name, 0, 80), nullptr);
    }
    for (int o = 0; o < model.numObjects; ++o) {
        const Object_3DS& object = model.objects[o];
        EXPECT_NE(std::memchr(object.name, 0, 80), nullptr);
        if (object.textured) {
            EXPECT_GE(object.numTexCoords, object.numVerts);
        }
        for (int i = 0; i < object.numFaces; ++i) {
            ASSERT_LT(object.faces[i], object.numVerts);
        }
        for (int g = 0; g < object.numFaceGroups; ++g) {
            const FaceGroup_3DS& group = object.faceGroups[g];
            EXPECT_GE(group.materialIndex, 0);
            EXPECT_LE(group.materialIndex, model.numMaterials);
            EXPECT_EQ(group.numIndices % 3, 0);
            for (int i = 0; i < group.numIndices; ++i) {
                ASSERT_LT(group.indices[i], object.numVerts);
            }
        }
    }
}

} // namespace

TEST(Model3dsRegressions, everyInputTheFuzzerKeptReadsSafely) {
    std::vector<fs::path> inputs = filesIn("fuzz/regressions/fuzz_model3ds");
    const std::vector<fs::path> seeds = filesIn("fuzz/corpus/fuzz_model3ds");
    ASSERT_FALSE(seeds.empty());
    inputs.insert(inputs.end(), seeds.begin(), seeds.end());
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
        unsigned int textures[textureSlotCount] = {};
        Model_3DS model;
        model.textureLoader = nullptr;
        const int used = model.LoadFromMemory(bytes.data(), bytes.size(), "fuzz/model.3ds", 3, textures);
        EXPECT_EQ(used, model.textureCount);
        expectEveryIndexInside(Model_3DS(model), input.filename().string());
    }
}
