#pragma once
// TGA images: true-colour files of 16, 24 or 32 bits, uncompressed or run-length encoded,
// become red-green-blue(-alpha) bytes, bottom row first, and then mipmapped textures.
// The reader never trusts the file: every failure gives no image and a short reason.

#include <cstddef>

struct TGA_Image {
    int channels; // bytes per pixel in data: 3 or 4
    int width;
    int height;
    unsigned char* data; // width * height * channels bytes, rows bottom first
};

// The image of file `name` (a backslash counts as a directory separator), or null when it
// cannot be opened or is not a readable image; *reason (when given) then names the fault.
// Release the result with Free_TGA.
TGA_Image* Load_TGA(const char* name, const char** reason = nullptr);
// The same on bytes in memory; when it fails and reason is not null, *reason names the fault.
TGA_Image* Decode_TGA(const unsigned char* bytes, std::size_t size, const char** reason = nullptr);
void Free_TGA(TGA_Image* image);

// Reads `name` and, when it gives an image, makes a mipmapped texture whose id goes into
// textures[slot]; the new texture stays bound. On failure (or a slot outside
// 0..textureSlotCount-1) the slot keeps its value, no texture is made and one stderr line names
// the file and the fault. Needs a current OpenGL context, outside a display list.
void TGA_Texture(unsigned int* textures, const char* name, int slot);
