// The game's generated images, as the game and an independent decoder see them, and the
// generator's promise that its output never changes from run to run.

#include "assets/tga.h"

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct GeneratedImage {
    const char* path; // relative to the game's working directory
    int size;         // width; height too unless `height` is set
    int height;
    bool runLength;
};

// Every image the game reads: the maps its meshes name and the sky.
const GeneratedImage images[] = {
    {"bin/models/golrock.tga", 256, 128, true},  {"bin/models/toutrock.tga", 256, 128, true},
    {"bin/models/castrock.tga", 256, 128, true}, {"bin/models/kanmetal.tga", 128, 128, false},
    {"bin/models/brakhull.tga", 256, 256, true}, {"bin/models/cliphull.tga", 256, 256, true},
    {"bin/models/rockbody.tga", 128, 128, false}, {"bin/models/rockfins.tga", 64, 64, false},
    {"bin/models/laserbol.tga", 64, 64, false},  {"bin/models/cockpit.tga", 256, 256, true},
    {"bin/texture/hubble2min.tga", 512, 512, true},
};

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

TEST(ArtImages, everyImageReadsBackAlikeThroughOurReaderAndAnIndependentDecoder) {
    for (const GeneratedImage& expected : images) {
        SCOPED_TRACE(expected.path);
        const std::vector<unsigned char> bytes = readBytes(expected.path);
        ASSERT_GT(bytes.size(), 18u) << "missing or empty";
        EXPECT_EQ(bytes[2], expected.runLength ? 10 : 2);
        TGA_Image* ours = Load_TGA(expected.path);
        ASSERT_NE(ours, nullptr);
        EXPECT_EQ(ours->width, expected.size);
        EXPECT_EQ(ours->height, expected.height);
        EXPECT_EQ(ours->channels, 3);
        // Mipmaps are built from power-of-two sizes without resampling the art.
        EXPECT_TRUE(isPowerOfTwo(ours->width) && isPowerOfTwo(ours->height));
        // stb_image gives rows top first unless asked; the game wants them bottom first.
        stbi_set_flip_vertically_on_load(1);
        int width = 0, height = 0, channels = 0;
        unsigned char* theirs = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width,
                                                      &height, &channels, 3);
        stbi_set_flip_vertically_on_load(0);
        ASSERT_NE(theirs, nullptr) << stbi_failure_reason();
        ASSERT_EQ(width, ours->width);
        ASSERT_EQ(height, ours->height);
        const std::size_t count = std::size_t(width) * height * 3;
        EXPECT_EQ(std::vector<unsigned char>(ours->data, ours->data + count),
                  std::vector<unsigned char>(theirs, theirs + count));
        stbi_image_free(theirs);
        Free_TGA(ours);
    }
}

} // namespace
