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

TEST(ArtImages, theGameOpensTheSkyByItsBackslashedName) {
    TGA_Image* sky = Load_TGA("bin\\texture\\hubble2min.tga");
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->width, 512);
    Free_TGA(sky);
}

// One image covers each of the six faces of the sky box, turned and mirrored in every way, so
// its whole border must be one colour for the faces to meet without a visible edge.
TEST(ArtImages, skyBorderIsOneColourSoTheBoxFacesMeetCleanly) {
    TGA_Image* sky = Load_TGA("bin/texture/hubble2min.tga");
    ASSERT_NE(sky, nullptr);
    const int n = sky->width;
    auto pixel = [&](int x, int y) {
        const unsigned char* p = sky->data + (std::size_t(y) * n + x) * 3;
        return std::vector<unsigned char>(p, p + 3);
    };
    const auto corner = pixel(0, 0);
    int differing = 0;
    for (int k = 0; k < n; ++k) {
        differing += pixel(k, 0) != corner;
        differing += pixel(k, n - 1) != corner;
        differing += pixel(0, k) != corner;
        differing += pixel(n - 1, k) != corner;
    }
    EXPECT_EQ(differing, 0);
    // And it is a sky: dark on the whole, with stars brighter than anything else.
    long sum = 0;
    int stars = 0;
    for (int i = 0; i < n * n; ++i) {
        const unsigned char* p = sky->data + std::size_t(i) * 3;
        sum += p[0] + p[1] + p[2];
        stars += (p[0] > 200 && p[1] > 200 && p[2] > 200);
    }
    EXPECT_LT(sum / (3.0 * n * n), 40.0);
    EXPECT_GT(stars, 50);
    Free_TGA(sky);
}

fs::path scratchDirectory(const char* tag) {
    std::string pattern = (fs::temp_directory_path() / (std::string(tag) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) ? fs::path(name.data()) : fs::path();
}

std::vector<fs::path> filesUnder(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), root));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ArtImages, generatorWritesTheSameBytesOnEveryRun) {
    const std::string generator = std::string(ZEPH_BUILD_DIR) + "/tools/artgen/zephartgen";
    const fs::path first = scratchDirectory("zephartA"), second = scratchDirectory("zephartB");
    ASSERT_FALSE(first.empty() || second.empty());
    ASSERT_EQ(std::system((generator + " " + first.string()).c_str()), 0);
    ASSERT_EQ(std::system((generator + " " + second.string()).c_str()), 0);
    const auto names = filesUnder(first);
    EXPECT_EQ(names, filesUnder(second));
    EXPECT_EQ(names.size(), 21u); // nine meshes, ten maps, the sky, the desktop icon
    for (const fs::path& name : names) {
        SCOPED_TRACE(name.string());
        const auto bytes = readBytes(first / name);
        EXPECT_EQ(bytes, readBytes(second / name));
        // The build's copy, which the game and these tests read, is the same.
        EXPECT_EQ(bytes, readBytes(fs::path(ZEPH_BUILD_DIR) / name));
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

} // namespace
