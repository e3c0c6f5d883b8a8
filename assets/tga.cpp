#include "assets/tga.h"

#include "app/diagnostics.h"
#include "assets/textureSlots.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

// Only true-colour images are read: the game's art is 24 or 32 bits. Colour-mapped and
// 8-bit files give no image, and so does anything the file cannot back with real bytes.

namespace {

constexpr std::size_t headerSize = 18;
constexpr unsigned maxSide = 16384; // larger than any texture the game or a GPU would use
constexpr unsigned topLeftOrigin = 0x20;
constexpr unsigned pixelsPerPacket = 128;

struct TgaHeader {
    unsigned idLength;
    unsigned colourMapType;
    unsigned imageType;
    unsigned width;
    unsigned height;
    unsigned bits;
    unsigned descriptor;
};

unsigned readU16(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

TgaHeader parseHeader(const unsigned char* bytes) {
    return TgaHeader{bytes[0],  bytes[1], bytes[2], readU16(bytes + 12), readU16(bytes + 14),
                     bytes[16], bytes[17]};
}

bool isRunLength(const TgaHeader& header) {
    return header.imageType == 10;
}
bool isColourMapped(const TgaHeader& header) {
    return header.colourMapType == 1 || header.imageType == 1 || header.imageType == 9;
}
unsigned fileBytesPerPixel(const TgaHeader& header) {
    return header.bits / 8;
}
int channelsFor(const TgaHeader& header) {
    return header.bits == 32 ? 4 : 3;
}
std::size_t pixelCount(const TgaHeader& header) {
    return std::size_t(header.width) * header.height;
}

// Why this header cannot give an image, or null when it can.
const char* headerFault(const TgaHeader& header) {
    if (isColourMapped(header))
        return "colour-mapped images are not read";
    if (header.width == 0 || header.height == 0)
        return "width or height is 0";
    if (header.width > maxSide || header.height > maxSide)
        return "image larger than 16384 x 16384";
    if (header.bits != 16 && header.bits != 24 && header.bits != 32)
        return "depth is not 16, 24 or 32 bits";
    return nullptr;
}

// The most pixel bytes a sane file with this header can need: every pixel in its own
// run-length packet costs one header byte more than the pixel itself.
std::size_t maxPixelBytes(const TgaHeader& header) {
    std::size_t perPixel = fileBytesPerPixel(header) + (isRunLength(header) ? 1 : 0);
    return pixelCount(header) * perPixel;
}

// The fewest bytes that can hold the pixels: raw rows, or runs of 128 pixels at best.
std::size_t minPixelBytes(const TgaHeader& header) {
    if (!isRunLength(header))
        return pixelCount(header) * fileBytesPerPixel(header);
    std::size_t packets = (pixelCount(header) + pixelsPerPacket - 1) / pixelsPerPacket;
    return packets * (1 + fileBytesPerPixel(header));
}

// File bytes blue-green-red(-alpha), or a 16-bit x-5-5-5 value, become red-green-blue(-alpha).
void storePixel(const unsigned char* pixel, unsigned bits, unsigned char* out) {
    if (bits == 16) {
        unsigned value = readU16(pixel);
        out[0] = static_cast<unsigned char>(((value >> 10) & 31) << 3);
        out[1] = static_cast<unsigned char>(((value >> 5) & 31) << 3);
        out[2] = static_cast<unsigned char>((value & 31) << 3);
        return;
    }
    out[0] = pixel[2];
    out[1] = pixel[1];
    out[2] = pixel[0];
    if (bits == 32)
        out[3] = pixel[3];
}

void decodeRaw(const TgaHeader& header, const unsigned char* pixels, unsigned char* out) {
    const unsigned stride = fileBytesPerPixel(header);
    const int channels = channelsFor(header);
    for (std::size_t i = 0, count = pixelCount(header); i < count; ++i)
        storePixel(pixels + i * stride, header.bits, out + i * channels);
}

// False when the packets run out of bytes before every pixel is stored. A packet that
// would pass the last pixel stops there.
bool decodeRunLength(const TgaHeader& header, const unsigned char* bytes, std::size_t size,
                     unsigned char* out) {
    const unsigned stride = fileBytesPerPixel(header);
    const int channels = channelsFor(header);
    const std::size_t count = pixelCount(header);
    std::size_t at = 0;
    std::size_t stored = 0;
    while (stored < count) {
        if (at >= size)
            return false;
        const unsigned packet = bytes[at++];
        std::size_t length = (packet & 0x7F) + 1;
        if (length > count - stored)
            length = count - stored;
        const bool run = packet & 0x80;
        const std::size_t needed = run ? stride : length * stride;
        if (size - at < needed)
            return false;
        for (std::size_t i = 0; i < length; ++i, ++stored)
            storePixel(bytes + at + (run ? 0 : i * stride), header.bits, out + stored * channels);
        at += needed;
    }
    return true;
}

// A top-left origin file is stored top row first; OpenGL wants the bottom row first.
void flipRows(TGA_Image& image) {
    const std::size_t row = std::size_t(image.width) * image.channels;
    std::vector<unsigned char> spare(row);
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        unsigned char* a = image.data + top * row;
        unsigned char* b = image.data + bottom * row;
        std::copy(a, a + row, spare.begin());
        std::copy(b, b + row, a);
        std::copy(spare.begin(), spare.end(), b);
    }
}

TGA_Image* fail(const char** reason, const char* why) {
    if (reason)
        *reason = why;
    return nullptr;
}

// The game's paths are written with backslashes; here the separator is '/'.
std::string platformPath(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// Reads at most `limit` bytes, so neither a huge file nor an endless one is taken whole.
void readUpTo(std::FILE* file, std::size_t limit, std::vector<unsigned char>& bytes) {
    constexpr std::size_t block = 1 << 16;
    while (bytes.size() < limit) {
        const std::size_t before = bytes.size();
        const std::size_t want = std::min(block, limit - before);
        bytes.resize(before + want);
        const std::size_t got = std::fread(bytes.data() + before, 1, want, file);
        bytes.resize(before + got);
        if (got < want)
            return;
    }
}

// What a file with this header can usefully hold; pixels past it, and any footer, are not read.
std::size_t readLimit(const std::vector<unsigned char>& headerBytes) {
    if (headerBytes.size() < headerSize)
        return headerBytes.size();
    const TgaHeader header = parseHeader(headerBytes.data());
    const std::size_t front = headerSize + header.idLength;
    return headerFault(header) ? front : front + maxPixelBytes(header);
}

} // namespace

TGA_Image* Decode_TGA(const unsigned char* bytes, std::size_t size, const char** reason) {
    if (!bytes || size < headerSize)
        return fail(reason, "file shorter than its header");
    const TgaHeader header = parseHeader(bytes);
    if (const char* fault = headerFault(header))
        return fail(reason, fault);
    const std::size_t front = headerSize + header.idLength;
    if (size < front || size - front < minPixelBytes(header))
        return fail(reason, "truncated pixel data");

    const int channels = channelsFor(header);
    unsigned char* data = new (std::nothrow) unsigned char[pixelCount(header) * channels];
    if (!data)
        return fail(reason, "out of memory for the pixels");
    if (isRunLength(header)) {
        if (!decodeRunLength(header, bytes + front, size - front, data)) {
            delete[] data;
            return fail(reason, "truncated pixel data");
        }
    } else {
        decodeRaw(header, bytes + front, data);
    }
    TGA_Image* image =
        new (std::nothrow) TGA_Image{channels, int(header.width), int(header.height), data};
    if (!image) {
        delete[] data;
        return fail(reason, "out of memory for the image");
    }
    if (header.descriptor & topLeftOrigin)
        flipRows(*image);
    return image;
}

TGA_Image* Load_TGA(const char* name, const char** reason) {
    if (!name)
        return fail(reason, "no file name");
    std::FILE* file = std::fopen(platformPath(name).c_str(), "rb");
    if (!file)
        return fail(reason, "cannot be opened");
    std::vector<unsigned char> bytes;
    readUpTo(file, headerSize, bytes);
    readUpTo(file, readLimit(bytes), bytes);
    std::fclose(file);
    return Decode_TGA(bytes.data(), bytes.size(), reason);
}

void Free_TGA(TGA_Image* image) {
    if (!image)
        return;
    delete[] image->data;
    delete image;
}

namespace {

void uploadMipmapped(const TGA_Image& image) {
    // Rows of 3-byte pixels are not 4-byte aligned: without this an odd-width image is read
    // skewed and past the end of its buffer.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, image.channels, image.width, image.height,
                      image.channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, image.data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

} // namespace

void TGA_Texture(unsigned int* textures, const char* name, int slot) {
    if (!name)
        return; // no map asked for: nothing to report
    if (slot < 0 || slot >= textureSlotCount) {
        diagnose(std::string("texture ") + name + ": slot " + std::to_string(slot) +
                 " is outside the " + std::to_string(textureSlotCount) + " texture slots\n");
        return;
    }
    const char* reason = "unknown fault";
    errno = 0;
    TGA_Image* image = Load_TGA(name, &reason);
    if (!image) {
        if (!goneWithTheArt(errno)) {
            diagnose(std::string("texture ") + name + ": " + reason + "\n");
        }
        return;
    }
    glGenTextures(1, &textures[slot]);
    glBindTexture(GL_TEXTURE_2D, textures[slot]);
    uploadMipmapped(*image);
    Free_TGA(image);
}
