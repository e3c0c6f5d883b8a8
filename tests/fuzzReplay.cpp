// Every kept fuzz input and seed read again: no access outside a buffer (sanitizer build), and
// a result that is safe to draw or upload.

#include "assets/textureSlots.h"
#include "fuzz/fuzzChecks.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

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

// Every kept mesh leaves every index inside its array; every kept image is whole or refused with
// a reason.
TEST(FuzzReplay, everyKeptInputGivesAResultSafeToDrawOrUpload) {
    replay("fuzz_model3ds", [](const std::vector<unsigned char>& bytes) {
        unsigned int textures[textureSlotCount] = {};
        Model_3DS model;
        model.textureLoader = nullptr;
        EXPECT_EQ(model.LoadFromMemory(bytes.data(), bytes.size(), "fuzz/model.3ds", 3, textures),
                  model.textureCount);
        EXPECT_TRUE(fuzzChecks::meshIsSafeToDraw(model));
    });
    replay("fuzz_tga", [](const std::vector<unsigned char>& bytes) {
        const char* reason = nullptr;
        TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason);
        EXPECT_TRUE(fuzzChecks::imageKeepsItsPromises(image, reason, bytes.size()));
        Free_TGA(image);
    });
}
