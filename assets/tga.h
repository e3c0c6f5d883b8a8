#pragma once
// TGA images: uncompressed (16, 24, 32 bits) and run-length encoded (24, 32 bits) true-colour
// files become red-green-blue(-alpha) bytes, bottom row first, and then mipmapped textures.
// The reader never trusts the file: every failure gives no image and a short reason.

#include <cstddef>

struct TGA_Image {
    int channels;        // bytes per pixel in data: 3 or 4
    int width;
    int height;
    unsigned char* data; // width * height * channels bytes, rows bottom first
};

// The image of file `name`, or null when it cannot be opened or is not a readable image.
// Release the result with Free_TGA.
TGA_Image* Load_TGA(const char* name);
// The same on bytes in memory; when it fails and reason is not null, *reason names the fault.
TGA_Image* Decode_TGA(const unsigned char* bytes, std::size_t size, const char** reason = nullptr);
void Free_TGA(TGA_Image* image);

// Reads `name` and, when it gives an image, makes a mipmapped texture whose id goes into
// textures[slot]. On failure the slot keeps its value. Needs a current OpenGL context.
void TGA_Texture(unsigned int* textures, const char* name, int slot);
