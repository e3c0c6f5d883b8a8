// Every input the fuzzers ever failed on (fuzz/regressions/) and every seed (fuzz/corpus/) goes
// through its reader again: the sanitizer build catches any access outside a buffer, and the
// result must keep its promises, so that drawing or uploading it can never read outside one.

#include "assets/model3ds.h"
#include "assets/textureSlots.h"
#include "assets/tga.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every file kept for `target`, regressions first; fails the test when there are none.
std::vector<fs::path> keptInputs(const std::string& target) {
    std::vector<fs::path> found;
    for (const char* folder : {"regressions", "corpus"}) {
        const fs::path root = fs::path(ZEPH_SOURCE_DIR) / "fuzz" / folder / target;
        for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
                found.push_back(entry.path());
            }
        }
    }
    EXPECT_FALSE(found.empty()) << target;
    return found;
}

std::vector<unsigned char> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(FuzzReplay, everyKeptMeshLeavesEveryIndexInsideItsArray) {
    for (const fs::path& input : keptInputs("fuzz_model3ds")) {
        SCOPED_TRACE(input.string());
        const std::vector<unsigned char> bytes = bytesOf(input);
        unsigned int textures[textureSlotCount] = {};
        Model_3DS model;
        model.textureLoader = nullptr;
        EXPECT_EQ(model.LoadFromMemory(bytes.data(), bytes.size(), "fuzz/model.3ds", 3, textures),
                  model.textureCount);
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
}

TEST(FuzzReplay, everyKeptImageIsWholeOrRefusedWithAReason) {
    for (const fs::path& input : keptInputs("fuzz_tga")) {
        SCOPED_TRACE(input.string());
        const std::vector<unsigned char> bytes = bytesOf(input);
        const char* reason = nullptr;
        TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason);
        if (image != nullptr) {
            EXPECT_TRUE(image->channels == 3 || image->channels == 4);
            EXPECT_GE(image->width, 1);
            EXPECT_GE(image->height, 1);
            // A run-length packet of two bytes stands for at most 128 pixels.
            EXPECT_LE(std::size_t(image->width) * std::size_t(image->height), 128 * bytes.size());
            Free_TGA(image);
        } else {
            EXPECT_TRUE(reason != nullptr && reason[0] != '\0');
        }
    }
}
