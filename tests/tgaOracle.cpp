// Our decoding checked against two readers no one here wrote: ImageMagick writes TGA files of
// every kind the game reads, then ImageMagick and stb_image each decode them; our pixels,
// bottom row first, must equal both.

#include "assets/tga.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wswitch-enum"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_TGA
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tgaFiles;

namespace {

// Sources chosen for their shapes: odd sizes, a single pixel, single rows and columns, noisy
// pixels (raw packets) and flat stretches longer than one packet (run packets across rows).
struct Source {
    const char* name;
    const char* recipe;
};
const Source sources[] = {
    {"noise", "-seed 7 -size 9x7 plasma:fractal"},
    {"check", "-size 7x5 pattern:checkerboard -fill '#30c050' -draw 'point 3,1'"},
    {"dot", "-size 1x1 xc:'#8040c0'"},
    {"row", "-size 13x1 gradient:'#000000-#ffffff' -rotate 90"},
    {"column", "-size 1x13 gradient:'#ff0000-#0000ff'"},
    {"flat", "-size 300x3 xc:'#204080' -fill white -draw 'point 150,1' -draw 'point 299,2'"},
};

struct Variant {
    int bits;
    bool runLength;
    bool id;
    bool topLeft;
};

std::string run(const std::string& command, int* status = nullptr) {
    Bytes out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "";
    char block[65536];
    std::size_t got;
    std::string text;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0)
        text.append(block, got);
    const int result = pclose(pipe);
    if (status)
        *status = result;
    return text;
}

std::string writeOptions(const Variant& v) {
    std::string options = v.bits == 32   ? "-type TrueColorAlpha"
                          : v.bits == 24 ? "-alpha off -type TrueColor"
                                         : "-alpha off -type TrueColor -depth 5";
    if (v.runLength)
        options += " -compress RLE";
    if (v.id)
        options += " -set comment \"oracle image\"";
    if (v.topLeft)
        options += " -orient TopLeft";
    return options;
}

std::string describe(const std::string& source, const Variant& v) {
    return source + " " + std::to_string(v.bits) + " bits" + (v.runLength ? " rle" : " raw") +
           (v.id ? " with id" : "") + (v.topLeft ? " top-left" : " bottom-left");
}

Bytes bottomRowFirst(const Bytes& topRowFirst, std::size_t rowBytes) {
    Bytes out;
    for (std::size_t end = topRowFirst.size(); end >= rowBytes && rowBytes > 0; end -= rowBytes)
        out.insert(out.end(), topRowFirst.begin() + (end - rowBytes), topRowFirst.begin() + end);
    return out;
}

// ImageMagick keeps a TGA's rows in file order and its origin as a mere orientation tag:
// -auto-orient applies the tag (top row first), -flip then puts the bottom row first. One call
// decodes several files of the same channel count, one after the other.
Bytes imageMagickPixels(const std::vector<std::string>& files, int channels) {
    std::string command = "convert";
    for (const std::string& file : files)
        command += " " + file;
    command +=
        std::string(" -auto-orient -flip -depth 8 ") + (channels == 4 ? "rgba" : "rgb") + ":-";
    const std::string text = run(command);
    return Bytes(text.begin(), text.end());
}

// stb_image delivers the top row first.
Bytes stbPixels(const Bytes& file, int channels) {
    int width = 0, height = 0, inFile = 0;
    unsigned char* pixels =
        stbi_load_from_memory(file.data(), int(file.size()), &width, &height, &inFile, channels);
    if (!pixels)
        return {};
    Bytes top(pixels, pixels + std::size_t(width) * height * channels);
    stbi_image_free(pixels);
    return bottomRowFirst(top, std::size_t(width) * channels);
}

Bytes readFile(const std::string& path) {
    Bytes bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    return bytes;
}

// Both oracles widen a 5-bit value v to about v * 255 / 31 (rounded or cut); the game widens
// it to v << 3.
Bytes asGameWidensFiveBits(const Bytes& eightBit) {
    Bytes out;
    for (unsigned char value : eightBit)
        out.push_back(static_cast<unsigned char>(((value * 31 + 127) / 255) << 3));
    return out;
}

struct Written {
    Variant variant;
    std::string path;
};

class TgaOracle : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        int status = -1;
        run("convert -version", &status);
        ASSERT_EQ(status, 0) << "ImageMagick's convert is needed (Debian package imagemagick)";
    }

    // One ImageMagick call draws the source (with a varying alpha, so 32-bit files carry more
    // than an opaque channel) and writes every kind of file from it.
    std::vector<Written> writeEveryKind(const Source& source) {
        std::vector<Written> written;
        std::string command = std::string("convert ") + source.recipe +
                              " -alpha set -channel A -fx '(i+2*j)%5/4' +channel"
                              " -respect-parentheses";
        for (int bits : {16, 24, 32})
            for (bool runLength : {false, true})
                for (bool id : {false, true})
                    for (bool topLeft : {false, true}) {
                        const Variant v{bits, runLength, id, topLeft};
                        const std::string path =
                            (dir.path / (std::string(source.name) + "-" +
                                         std::to_string(written.size()) + ".tga"))
                                .string();
                        command +=
                            " \\( +clone " + writeOptions(v) + " -write " + path + " +delete \\)";
                        written.push_back({v, path});
                    }
        command += " null:";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return written;
    }

    Scratch dir;
};

// The file really is the kind the case is about.
void expectKind(const Bytes& bytes, const Variant& v) {
    ASSERT_GE(bytes.size(), 18u);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], v.runLength ? 10 : 2);
    EXPECT_EQ(bytes[16], v.bits);
    EXPECT_EQ(bytes[0] > 0, v.id);
    EXPECT_EQ((bytes[17] & tgaFiles::topLeft) != 0, v.topLeft);
}

} // namespace

TEST_F(TgaOracle, decodedPixelsEqualImageMagicksAndStbsForEveryKindOfTrueColourFile) {
    int checked = 0;
    for (const Source& source : sources) {
        const std::vector<Written> written = writeEveryKind(source);
        std::vector<std::string> rgbFiles, rgbaFiles;
        for (const Written& w : written)
            (w.variant.bits == 32 ? rgbaFiles : rgbFiles).push_back(w.path);
        const Bytes magickRgb = imageMagickPixels(rgbFiles, 3);
        const Bytes magickRgba = imageMagickPixels(rgbaFiles, 4);
        std::size_t rgbAt = 0, rgbaAt = 0;

        for (const Written& w : written) {
            const Variant& v = w.variant;
            SCOPED_TRACE(describe(source.name, v));
            const Bytes bytes = readFile(w.path);
            expectKind(bytes, v);
            const char* reason = "";
            TGA_Image* image = Decode_TGA(bytes.data(), bytes.size(), &reason);
            ASSERT_NE(image, nullptr) << reason;
            const int channels = v.bits == 32 ? 4 : 3;
            const std::size_t size = std::size_t(image->width) * image->height * image->channels;
            const Bytes ours(image->data, image->data + size);
            EXPECT_EQ(image->channels, channels);
            EXPECT_EQ(image->width, bytes[12] | bytes[13] << 8);
            EXPECT_EQ(image->height, bytes[14] | bytes[15] << 8);
            Free_TGA(image);

            const Bytes& magickAll = channels == 4 ? magickRgba : magickRgb;
            std::size_t& at = channels == 4 ? rgbaAt : rgbAt;
            ASSERT_LE(at + size, magickAll.size());
            Bytes magick(magickAll.begin() + at, magickAll.begin() + at + size);
            at += size;
            Bytes stb = stbPixels(bytes, channels);
            if (v.bits == 16) {
                magick = asGameWidensFiveBits(magick);
                stb = asGameWidensFiveBits(stb);
            }
            EXPECT_EQ(ours, magick) << "ImageMagick disagrees";
            EXPECT_EQ(ours, stb) << "stb_image disagrees";
            ++checked;
        }
        EXPECT_EQ(rgbAt, magickRgb.size());
        EXPECT_EQ(rgbaAt, magickRgba.size());
    }
    EXPECT_EQ(checked, 6 * 3 * 2 * 2 * 2);
}

TEST_F(TgaOracle, imageMagicksColourMappedAndGreyFilesGiveNoImage) {
    const std::string tga = (dir.path / "refused.tga").string();
    for (const char* options : {"-type Palette", "-type Palette -compress RLE", "-type Grayscale",
                                "-type Grayscale -compress RLE"}) {
        SCOPED_TRACE(options);
        const std::string command =
            std::string("convert ") + sources[1].recipe + " " + options + " " + tga;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Bytes bytes = readFile(tga);
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_TRUE(bytes[1] == 1 || bytes[16] == 8); // mapped, or 8-bit grey
        const char* reason = nullptr;
        EXPECT_EQ(Decode_TGA(bytes.data(), bytes.size(), &reason), nullptr);
        EXPECT_NE(reason, nullptr);
    }
}
