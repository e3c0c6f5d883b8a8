// ImageMagick writes TGA files of every kind the game reads; our pixels, bottom row first, must
// equal what ImageMagick and stb_image decode from them.

#include "assets/tga.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Odd sizes, a single pixel, single rows and columns, noise (raw packets) and flat stretches
// longer than one packet (runs across rows).
const char* const recipes[] = {
    "-seed 7 -size 9x7 plasma:fractal",
    "-size 7x5 pattern:checkerboard -fill '#30c050' -draw 'point 3,1'",
    "-size 1x1 xc:'#8040c0'",
    "-size 13x1 gradient:'#000000-#ffffff' -rotate 90",
    "-size 1x13 gradient:'#ff0000-#0000ff'",
    "-size 300x3 xc:'#204080' -fill white -draw 'point 150,1' -draw 'point 299,2'",
};

struct Variant {
    int bits;
    bool runLength, id, topLeft;
};

Bytes run(const std::string& command) {
    Bytes out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) {
            out.push_back(static_cast<unsigned char>(c));
        }
        EXPECT_EQ(pclose(pipe), 0) << command;
    }
    return out;
}

// Both oracles widen a 5-bit value v to about v * 255 / 31; the game widens it to v << 3.
Bytes asGameWidensFiveBits(Bytes eightBit) {
    for (unsigned char& value : eightBit) {
        value = static_cast<unsigned char>(((value * 31 + 127) / 255) << 3);
    }
    return eightBit;
}

} // namespace

TEST(TgaOracle, decodedPixelsEqualImageMagicksAndStbsForEveryKindOfTrueColourFile) {
    Scratch dir;
    int checked = 0;
    for (const char* recipe : recipes) {
        // One call draws the source, with a varying alpha so that 32-bit files carry more than
        // an opaque channel, and writes every kind of file from it.
        std::vector<std::pair<Variant, std::string>> written;
        std::string command =
            std::string("convert ") + recipe +
            " -alpha set -channel A -fx '(i+2*j)%5/4' +channel -respect-parentheses";
        for (int bits : {16, 24, 32}) {
            for (int kind = 0; kind < 8; ++kind) {
                const Variant v{bits, (kind & 4) != 0, (kind & 2) != 0, (kind & 1) != 0};
                const std::string path =
                    (dir.path / (std::to_string(written.size()) + ".tga")).string();
                command += std::string(" \\( +clone ") +
                           (bits == 32   ? "-type TrueColorAlpha"
                            : bits == 24 ? "-alpha off -type TrueColor"
                                         : "-alpha off -type TrueColor -depth 5") +
                           (v.runLength ? " -compress RLE" : "") +
                           (v.id ? " -set comment \"oracle image\"" : "") +
                           (v.topLeft ? " -orient TopLeft" : "") + " -write " + path +
                           " +delete \\)";
                written.push_back({v, path});
            }
        }
        ASSERT_EQ(std::system((command + " null:").c_str()), 0) << command;
        for (const auto& [v, path] : written) {
            SCOPED_TRACE(std::string(recipe) + ": " + std::to_string(v.bits) + " bits" +
                         (v.runLength ? " rle" : "") + (v.id ? " id" : "") +
                         (v.topLeft ? " top-left" : ""));
            const Bytes bytes = readBytes(path);
            ASSERT_GE(bytes.size(), 18u);
            // The file really is the kind the case is about.
            EXPECT_EQ(std::vector<int>(
                          {bytes[1], bytes[2], bytes[16], bytes[0] > 0, (bytes[17] & 0x20) != 0}),
                      std::vector<int>({0, v.runLength ? 10 : 2, v.bits, v.id, v.topLeft}));
            const int channels = v.bits == 32 ? 4 : 3;
            const char* reason = "";
            TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason);
            ASSERT_NE(image, nullptr) << reason;
            const std::size_t rowBytes = std::size_t(image->width) * channels;
            const Bytes ours(image->data, image->data + rowBytes * image->height);
            const int size[] = {image->width, image->height};
            EXPECT_EQ(image->channels, channels);
            Free_TGA(image);

            // ImageMagick keeps the rows in file order and the origin as a tag: -auto-orient
            // applies it (top row first), -flip then puts the bottom row first.
            Bytes magick = run("convert " + path + " -auto-orient -flip -depth 8 " +
                               (channels == 4 ? "rgba" : "rgb") + ":-");
            int width = 0, height = 0, inFile = 0;
            stbi_set_flip_vertically_on_load(1); // the bottom row first, as the game wants
            unsigned char* bottom = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width,
                                                          &height, &inFile, channels);
            stbi_set_flip_vertically_on_load(0);
            ASSERT_NE(bottom, nullptr);
            EXPECT_EQ(std::vector<int>(size, size + 2), std::vector<int>({width, height}));
            Bytes stb(bottom, bottom + std::size_t(width) * height * channels);
            stbi_image_free(bottom);
            if (v.bits == 16) {
                magick = asGameWidensFiveBits(magick);
                stb = asGameWidensFiveBits(stb);
            }
            EXPECT_EQ(ours, magick) << "ImageMagick disagrees";
            EXPECT_EQ(ours, stb) << "stb_image disagrees";
            ++checked;
        }
    }
    EXPECT_EQ(checked, 6 * 3 * 8);
}
