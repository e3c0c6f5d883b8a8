// Textures made from TGA files in a real (headless) OpenGL context: what reaches the GPU, with
// which format and filters, and that a failure leaves the caller's slot and the GPU alone.

#include "assets/textureSlots.h"
#include "assets/tga.h"
#include "support/glContext.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <GL/gl.h>

#include <string>

using namespace tgaFiles;

namespace {

constexpr unsigned int untouched = 0xDEADBEEF;

struct Level {
    GLint width = 0, height = 0, internalFormat = 0, alphaBits = 0;
};

Level boundLevel(int level) {
    Level out;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &out.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &out.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &out.internalFormat);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_ALPHA_SIZE, &out.alphaBits);
    return out;
}

Bytes boundTexels(int channels, int width, int height) {
    Bytes texels(std::size_t(width) * height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                  texels.data());
    return texels;
}

Bytes decoded(const Bytes& bytes) {
    TGA_Image* image = Decode_TGA(bytes.data(), bytes.size());
    EXPECT_NE(image, nullptr);
    if (!image)
        return {};
    Bytes out(image->data,
              image->data + std::size_t(image->width) * image->height * image->channels);
    Free_TGA(image);
    return out;
}

GLint parameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint boundTexture() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

} // namespace

TEST_F(GlTest, rgbImageBecomesAThreeComponentMipmappedTextureLeftBound) {
    // Rows of 2 x 3 bytes are not 4-byte aligned: the upload must not skew them.
    Bytes pixels;
    for (int i = 0; i < 2 * 4 * 3; ++i)
        pixels.push_back(static_cast<unsigned char>(10 * i + 1));
    const Bytes bytes = file(header(trueColour, 2, 4, 24), pixels);
    Scratch dir;
    unsigned int textures[textureSlotCount] = {};
    TGA_Texture(textures, dir.write("rgb.tga", bytes).c_str(), 3);

    ASSERT_NE(textures[3], 0u);
    EXPECT_EQ(boundTexture(), GLint(textures[3]));
    EXPECT_EQ(boundTexels(3, 2, 4), decoded(bytes));
    const Level base = boundLevel(0);
    EXPECT_EQ(base.width, 2);
    EXPECT_EQ(base.height, 4);
    EXPECT_TRUE(base.internalFormat == 3 || base.internalFormat == GL_RGB) << base.internalFormat;
    EXPECT_EQ(base.alphaBits, 0);
    EXPECT_EQ(boundLevel(1).height, 2); // the library built the smaller levels
    EXPECT_EQ(boundLevel(2).height, 1);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4); // the caller's pixel-store state comes back as it was
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, rgbaImageBecomesAFourComponentTextureWithItsAlpha) {
    Bytes pixels;
    for (int i = 0; i < 4 * 4 * 4; ++i)
        pixels.push_back(static_cast<unsigned char>(255 - 3 * i));
    Header shape = header(runLength, 4, 4, 32);
    shape.descriptor = topLeft;
    Bytes packets;
    for (int i = 0; i < 4; ++i) { // one raw packet per row
        packets.push_back(0x03);
        packets.insert(packets.end(), pixels.begin() + 16 * i, pixels.begin() + 16 * (i + 1));
    }
    const Bytes bytes = file(shape, packets);
    Scratch dir;
    unsigned int textures[textureSlotCount] = {};
    TGA_Texture(textures, dir.write("rgba.tga", bytes).c_str(), 0);

    ASSERT_NE(textures[0], 0u);
    EXPECT_EQ(boundTexels(4, 4, 4), decoded(bytes));
    const Level base = boundLevel(0);
    EXPECT_TRUE(base.internalFormat == 4 || base.internalFormat == GL_RGBA) << base.internalFormat;
    EXPECT_GT(base.alphaBits, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, oddSizedImageUploadsWithoutError) {
    Bytes pixels(7 * 5 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 7);
    Scratch dir;
    unsigned int textures[textureSlotCount] = {};
    TGA_Texture(textures, dir.write("odd.tga", file(header(trueColour, 7, 5, 24), pixels)).c_str(),
                1);
    ASSERT_NE(textures[1], 0u);
    EXPECT_GT(boundLevel(0).width, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, failedImageLeavesSlotAndGpuAloneAndSaysWhyOnStderr) {
    Scratch dir;
    const std::string missing = (dir.path / "absent.tga").string();
    const std::string greyName = dir.write("grey.tga", file(header(greyScale, 2, 1, 8), {0, 1}));
    unsigned int textures[textureSlotCount];
    for (unsigned int& t : textures)
        t = untouched;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    TGA_Texture(textures, missing.c_str(), 2);
    TGA_Texture(textures, greyName.c_str(), 4);
    TGA_Texture(textures, nullptr, 5);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    EXPECT_EQ(textures[2], untouched);
    EXPECT_EQ(textures[4], untouched);
    EXPECT_EQ(textures[5], untouched);
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_FALSE(glIsTexture(1));
    EXPECT_EQ(errors, "texture " + missing + ": cannot be opened\n" + "texture " + greyName +
                          ": depth is not 16, 24 or 32 bits\n");
}

TEST_F(GlTest, slotOutsideTheTextureArrayIsRefusedWithoutWriting) {
    Scratch dir;
    const std::string name = dir.write("fine.tga", file(header(trueColour, 1, 1, 24), {1, 2, 3}));
    unsigned int guarded[textureSlotCount + 2];
    for (unsigned int& t : guarded)
        t = untouched;
    unsigned int* textures = guarded + 1; // a word on each side of the game's 20 slots

    testing::internal::CaptureStderr();
    TGA_Texture(textures, name.c_str(), -1);
    TGA_Texture(textures, name.c_str(), textureSlotCount);
    const std::string errors = testing::internal::GetCapturedStderr();

    for (unsigned int t : guarded)
        EXPECT_EQ(t, untouched);
    EXPECT_FALSE(glIsTexture(1));
    EXPECT_EQ(errors, "texture " + name + ": slot -1 is outside the 20 texture slots\n" +
                          "texture " + name + ": slot 20 is outside the 20 texture slots\n");

    TGA_Texture(textures, name.c_str(), textureSlotCount - 1);
    EXPECT_NE(textures[textureSlotCount - 1], untouched);
    EXPECT_EQ(guarded[textureSlotCount + 1], untouched);
}
