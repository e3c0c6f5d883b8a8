// Every kept fuzz input and seed read again: no access outside a buffer (sanitizer build), and
// a result that is safe to draw or upload.

#include "assets/model3ds.h"
#include "assets/textureSlots.h"
#include "assets/tga.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fs = std::filesystem;

namespace {

// Calls `check` on the bytes of every file kept for `target`; fails when there are none.
template <class Check> void replay(const std::string& target, Check check) {
    int count = 0;
    for (const char* folder : {"regressions", "corpus"}) {
        for (const auto& entry :
             fs::directory_iterator(fs::path(ZEPH_SOURCE_DIR) / "fuzz" / folder / target)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
                SCOPED_TRACE(entry.path().string());
                check(readBytes(entry.path()));
                ++count;
            }
        }
    }
    EXPECT_GT(count, 0) << target;
}

} // namespace

TEST(FuzzReplay, everyKeptMeshLeavesEveryIndexInsideItsArray) {
    replay("fuzz_model3ds", [](const std::vector<unsigned char>& bytes) {
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
            EXPECT_TRUE(!object.textured || object.numTexCoords >= object.numVerts);
            for (int i = 0; i < object.numFaces; ++i) {
                ASSERT_LT(object.faces[i], object.numVerts);
            }
            for (int g = 0; g < object.numFaceGroups; ++g) {
                const FaceGroup_3DS& group = object.faceGroups[g];
                EXPECT_TRUE(group.materialIndex >= 0 && group.materialIndex <= model.numMaterials);
                EXPECT_EQ(group.numIndices % 3, 0);
                for (int i = 0; i < group.numIndices; ++i) {
                    ASSERT_LT(group.indices[i], object.numVerts);
                }
            }
        }
    });
}

TEST(FuzzReplay, everyKeptImageIsWholeOrRefusedWithAReason) {
    replay("fuzz_tga", [](const std::vector<unsigned char>& bytes) {
        const char* reason = nullptr;
        if (TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason)) {
            EXPECT_TRUE(image->channels == 3 || image->channels == 4);
            EXPECT_TRUE(image->width >= 1 && image->height >= 1);
            // A run-length packet of two bytes stands for at most 128 pixels.
            EXPECT_LE(std::size_t(image->width) * std::size_t(image->height), 128 * bytes.size());
            Free_TGA(image);
        } else {
            EXPECT_TRUE(reason != nullptr && reason[0] != '\0');
        }
    });
}
