// Every input kept in the fuzzer's regression folder (each once broke an image reader) and
// every seed goes through the reader again: an image that keeps its promises, or no image
// and a reason. The sanitizer build catches any read or write outside a buffer.

#include "assets/tga.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

int replayFolder(const char* folder) {
    int replayed = 0;
    const std::filesystem::path dir = std::filesystem::path(ZEPH_SOURCE_DIR) / folder;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().string());
        const std::vector<unsigned char> bytes = readFile(entry.path());
        const char* reason = nullptr;
        TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason);
        if (image) {
            EXPECT_TRUE(image->channels == 3 || image->channels == 4);
            EXPECT_GE(image->width, 1);
            EXPECT_GE(image->height, 1);
            EXPECT_LE(std::size_t(image->width) * image->height * image->channels,
                      128 * bytes.size());
            Free_TGA(image);
        } else {
            EXPECT_TRUE(reason && reason[0] != '\0');
        }
        ++replayed;
    }
    return replayed;
}

} // namespace

TEST(TgaRegressions, everyInputThatEverBrokeAReaderIsReadSafely) {
    EXPECT_GT(replayFolder("fuzz/regressions/fuzz_tga"), 0);
}

TEST(TgaRegressions, everySeedIsReadSafely) {
    EXPECT_GT(replayFolder("fuzz/corpus/fuzz_tga"), 0);
}
