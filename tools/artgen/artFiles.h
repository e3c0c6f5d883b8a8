#pragma once
// Writers for the two file formats the game reads: TGA images (uncompressed or run-length
// encoded, 24 or 32 bits) and 3DS meshes (the chunks our mesh reader acts on, plus a few
// standard ones it skips). Both build the whole file in memory and write it in one go.

#include "assets/artMath.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

// Rows bottom first, as the game uploads them; pixels red, green, blue(, alpha).
struct Image {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(std::size_t(w) * h * c) {}
    std::uint8_t* at(int x, int y) { return &pixels[(std::size_t(y) * width + x) * channels]; }
    // Stores a colour given in [0, 1] per channel, rounded to the nearest byte.
    void set(int x, int y, double r, double g, double b, double a = 1.0);
};

std::vector<std::uint8_t> encodeTga(const Image& image, bool runLength);

struct Material3ds {
    std::string name;
    std::uint8_t ambient[3] = {0, 0, 0}; // written as a 24-bit colour
    float diffuse[3] = {0, 0, 0};        // written as three floats: small values keep precision
    std::string mapName; // empty: no texture map
};

struct FaceGroup3ds {
    std::string material;
    std::vector<std::uint16_t> faces; // triangle numbers in the object's face list
};

// Positions are in the game's frame (up +Y, front -Z); the writer turns them into the file's
// frame so that the reader's axis change gives them back.
struct Object3ds {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<std::array<float, 2>> texCoords; // empty: the object is drawn untextured
    std::vector<std::array<std::uint16_t, 3>> triangles;
    std::vector<FaceGroup3ds> groups;
};

struct Mesh3ds {
    std::vector<Material3ds> materials;
    std::vector<Object3ds> objects;
};

std::vector<std::uint8_t> encode3ds(const Mesh3ds& mesh);

// Writes `bytes` to `path`, creating its directories. Returns false (and says why on stderr)
// when the file cannot be written.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace art
