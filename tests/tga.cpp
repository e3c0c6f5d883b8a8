// TGA files built byte by byte: what each kind decodes to, why a broken one is refused, textures.

#include "assets/tga.h"
#include "assets/textureSlots.h"
#include "support/console.h"
#include "support/feedback.h"
#include "support/glContext.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>

using namespace tgaFiles;

namespace {

using Image = std::unique_ptr<TGA_Image, decltype(&Free_TGA)>;

Bytes pixelsOf(const TGA_Image* image) {
    return image == nullptr ? Bytes()
                            : Bytes(image->data, image->data + std::size_t(image->width) *
                                                                   image->height * image->channels);
}

// The bound texture, its level 0 alpha bits, width and height, level 2 height, filters, wrap
// and unpack alignment.
std::vector<GLint> textureState() {
    GLint v[9] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &v[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &v[1]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &v[2]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &v[3]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT, &v[4]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v[5]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v[6]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v[7]);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &v[8]);
    return {v, v + 9};
}

class TextureGl : public GlTest {};

} // namespace

TEST(TgaDecode, eachKindOfFileGivesItsPixelsBottomRowFirstAsRgb) {
    const Bytes pixels = {0x82, 1, 2, 3, 4, 5, 6, 7, 8}, asRgb = {2, 1, 0x82, 5, 4, 3, 8, 7, 6};
    const std::tuple<const char*, Bytes, Bytes> rows[] = {
        {"16 bits: five per colour, top bit ignored",
         file(header(trueColour, 5, 1, 16), {0xFF, 0x7F, 0, 0x80, 0, 0x7C, 0xE0, 0x03, 0x1F, 0}),
         {248, 248, 248, 0, 0, 0, 248, 0, 0, 0, 248, 0, 0, 0, 248}},
        {"type 3 at 24 bits is plain colour", file(header(greyScale, 3, 1, 24), pixels), asRgb},
        {"type 10 runs", file(header(runLength, 3, 1, 24), pixels), {3, 2, 1, 3, 2, 1, 3, 2, 1}},
        {"a raw packet past the last pixel, after another, stops there",
         file(header(runLength, 3, 1, 24), {0x00, 1, 2, 3, 0x7F, 4, 5, 6, 7, 8, 9}),
         {3, 2, 1, 6, 5, 4, 9, 8, 7}},
        {"the widest image", file(header(trueColour, 16384, 1, 24), Bytes(16384 * 3, 9)),
         Bytes(16384 * 3, 9)}};
    for (const auto& [name, bytes, expected] : rows) {
        SCOPED_TRACE(name);
        Image image(Decode_TGA(bytes.data(), bytes.size()), &Free_TGA);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->channels, 3);
        EXPECT_EQ(pixelsOf(image.get()), expected);
    }
}

TEST(TgaDecode, brokenOrUnreadFilesGiveNoImageAndTheReason) {
    const Bytes whole = file(header(trueColour, 2, 2, 24), Bytes(12, 7));
    Header withId = header(trueColour, 1, 1, 24);
    withId.id = std::string(200, 'x');
    Bytes idPastEnd = file(withId, {1, 2, 3});
    idPastEnd.resize(100);
    Header mapped = header(colourMapped, 2, 1, 8), mappedRuns = header(9, 2, 1, 8),
           colourWithMap = header(trueColour, 1, 1, 24);
    mapped.colourMapType = mappedRuns.colourMapType = colourWithMap.colourMapType = 1;
    const std::pair<const char*, Bytes> rows[] = {
        {"file shorter than its header", {}},
        {"file shorter than its header", Bytes(whole.begin(), whole.begin() + 17)},
        {"truncated pixel data", Bytes(whole.begin(), whole.end() - 1)},
        {"truncated pixel data", idPastEnd},
        {"truncated pixel data", file(header(runLength, 4, 1, 24), {0x81, 1, 2, 3, 0x01, 4, 5, 6})},
        {"truncated pixel data", file(header(runLength, 4, 1, 24), {0x83, 1, 2})},
        {"truncated pixel data", file(header(runLength, 4, 1, 24), {0x81, 1, 2, 3})}, // then none
        // A gigabyte promised by a few bytes is refused before it is allocated.
        {"truncated pixel data", file(header(runLength, 16384, 16384, 32), {0xFF, 1, 2, 3, 4})},
        {"width or height is 0", file(header(trueColour, 0, 4, 24), Bytes(12))},
        {"width or height is 0", file(header(trueColour, 4, 0, 24), Bytes(12))},
        {"image larger than 16384 x 16384",
         file(header(trueColour, 16385, 1, 24), Bytes(16385 * 3))},
        {"image larger than 16384 x 16384",
         file(header(runLength, 65535, 65535, 32), {0xFF, 1, 2, 3, 4})},
        {"colour-mapped images are not read", file(mapped, {0, 1})},
        {"colour-mapped images are not read", file(mappedRuns, {0x81, 0})},
        {"colour-mapped images are not read", file(colourWithMap, {1, 2, 3})},
        {"depth is not 16, 24 or 32 bits", file(header(trueColour, 1, 1, 15), {0, 0})}};
    for (const auto& [expected, bytes] : rows) {
        SCOPED_TRACE(expected);
        const char* reason = nullptr;
        EXPECT_EQ(Decode_TGA(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &reason),
                  nullptr);
        EXPECT_STREQ(reason, expected);
    }
    Free_TGA(nullptr);
}

TEST(TgaLoad, readsAFileUpToItsPixelsOrSaysWhyNotAndClosesIt) {
    const long files = openFiles();
    Scratch dir;
    Bytes padded = file(header(trueColour, 2, 1, 32), {1, 2, 3, 4, 5, 6, 7, 8});
    padded.resize(padded.size() + 300000, 0xAB);
    Image image(Load_TGA(dir.write("padded.tga", padded).c_str()), &Free_TGA);
    EXPECT_EQ(pixelsOf(image.get()), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
    const std::pair<std::string, const char*> rows[] = {
        {(dir.path / "absent.tga").string(), "cannot be opened"},
        {dir.write("cut.tga", file(header(trueColour, 4, 4, 24), Bytes(40))),
         "truncated pixel data"},
        // Reading stops at what the header can need, so an endless stream ends too.
        {"/dev/zero", "width or height is 0"}};
    const char* reason = nullptr;
    for (const auto& [name, expected] : rows) {
        EXPECT_EQ(Load_TGA(name.c_str(), &reason), nullptr) << name;
        EXPECT_STREQ(reason, expected) << name;
    }
    EXPECT_EQ(Load_TGA(nullptr, &reason), nullptr);
    EXPECT_STREQ(reason, "no file name");
    EXPECT_EQ(Load_TGA(dir.path.c_str(), &reason), nullptr);
    EXPECT_EQ(openFiles(), files);
}

TEST_F(TextureGl, imagesBecomeMipmappedTexturesOfTheirSizeAndChannelsLeftBound) {
    // Rows of 2 x 3 bytes are not 4-byte aligned: the upload must not skew them.
    Bytes rgb, expected;
    for (int i = 0; i < 2 * 4 * 3; ++i) {
        rgb.push_back(static_cast<unsigned char>(10 * i + 1));
    }
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        expected.insert(expected.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
    }
    Header rgba = header(runLength, 1, 2, 32);
    rgba.descriptor = topLeft;
    Scratch dir;
    unsigned int textures[textureSlotCount] = {};
    TGA_Texture(textures, dir.write("rgb.tga", file(header(trueColour, 2, 4, 24), rgb)).c_str(), 3);
    // Two wide and four high: its first mipmap is 1 x 2, the next 1 x 1.
    EXPECT_EQ(textureState(),
              (std::vector<GLint>{GLint(textures[3]), 0, 2, 4, 1, GL_LINEAR_MIPMAP_NEAREST,
                                  GL_LINEAR, GL_REPEAT, 4}));
    EXPECT_EQ(texturePixels(textures[3]), expected);
    // One raw packet of two pixels, stored top row first; the alpha is kept.
    TGA_Texture(textures, dir.write("rgba.tga", file(rgba, {0x01, 1, 2, 3, 4, 5, 6, 7, 8})).c_str(),
                0);
    EXPECT_EQ(texturePixels(textures[0], GL_RGBA), (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureGl, aFailedTextureLeavesEverySlotAndTheGpuAloneAndSaysWhyOnStderr) {
    constexpr unsigned int untouched = 0xDEADBEEF;
    Scratch dir;
    const std::string missing = (dir.path / "absent.tga").string();
    const std::string grey = dir.write("grey.tga", file(header(greyScale, 2, 1, 8), {0, 1}));
    const std::string fine = dir.write("fine.tga", file(header(trueColour, 1, 1, 24), {1, 2, 3}));
    unsigned int guarded[textureSlotCount + 2];
    std::fill(std::begin(guarded), std::end(guarded), untouched);
    unsigned int* textures = guarded + 1; // a word on each side of the game's 20 slots
    std::string said;
    EXPECT_EQ(stderrOf([&] {
                  said = consoleOf([&] {
                      TGA_Texture(textures, missing.c_str(), 2);
                      TGA_Texture(textures, grey.c_str(), 4);
                      TGA_Texture(textures, nullptr, 5);
                      TGA_Texture(textures, fine.c_str(), -1);
                      TGA_Texture(textures, fine.c_str(), textureSlotCount);
                  });
              }),
              "texture " + missing + ": cannot be opened\ntexture " + grey +
                  ": depth is not 16, 24 or 32 bits\ntexture " + fine +
                  ": slot -1 is outside the 20 texture slots\ntexture " + fine +
                  ": slot 20 is outside the 20 texture slots\n");
    EXPECT_EQ(said, "");
    for (unsigned int t : guarded) {
        EXPECT_EQ(t, untouched);
    }
    EXPECT_EQ(textureState()[0], 0);
    EXPECT_FALSE(glIsTexture(1));
    TGA_Texture(textures, fine.c_str(), textureSlotCount - 1);
    EXPECT_EQ(texturePixels(textures[textureSlotCount - 1]), (Bytes{3, 2, 1}));
    EXPECT_EQ(guarded[textureSlotCount + 1], untouched);
}
