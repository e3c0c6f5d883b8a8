#include "artFiles.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace art {

void Image::set(int x, int y, double r, double g, double b, double a) {
    std::uint8_t* p = at(x, y);
    const double values[4] = {r, g, b, a};
    for (int c = 0; c < channels; ++c) {
        p[c] = std::uint8_t(clamp01(values[c]) * 255.0 + 0.5);
    }
}

namespace {

class ByteWriter {
  public:
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        u8(std::uint8_t(v & 0xFF));
        u8(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(std::uint16_t(v & 0xFFFF));
        u16(std::uint16_t(v >> 16));
    }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void text(const std::string& s) {
        for (char c : s) {
            u8(std::uint8_t(c));
        }
        u8(0);
    }
    // Chunks nest: the length of each is patched in when it is closed.
    void open(std::uint16_t id) {
        starts.push_back(bytes.size());
        u16(id);
        u32(0);
    }
    void close() {
        const std::size_t start = starts.back();
        starts.pop_back();
        const auto length = std::uint32_t(bytes.size() - start);
        for (int i = 0; i < 4; ++i) {
            bytes[start + 2 + i] = std::uint8_t(length >> (8 * i));
        }
    }

    std::vector<std::uint8_t> bytes;

  private:
    std::vector<std::size_t> starts;
};

// One pixel in file order: blue, green, red(, alpha).
void putPixel(ByteWriter& out, const std::uint8_t* p, int channels) {
    out.u8(p[2]);
    out.u8(p[1]);
    out.u8(p[0]);
    if (channels == 4) {
        out.u8(p[3]);
    }
}

// Packets never cross a row, as the format recommends, and hold at most 128 pixels.
void putRunLengthRow(ByteWriter& out, const Image& image, int y) {
    const int c = image.channels;
    const std::uint8_t* row = &image.pixels[std::size_t(y) * image.width * c];
    auto same = [&](int a, int b) { return std::memcmp(row + a * c, row + b * c, c) == 0; };
    int x = 0;
    while (x < image.width) {
        int run = 1;
        while (x + run < image.width && run < 128 && same(x, x + run)) {
            ++run;
        }
        if (run >= 2) {
            out.u8(std::uint8_t(0x80 | (run - 1)));
            putPixel(out, row + x * c, c);
            x += run;
            continue;
        }
        int raw = 1;
        while (x + raw < image.width && raw < 128 &&
               !(x + raw + 1 < image.width && same(x + raw, x + raw + 1))) {
            ++raw;
        }
        out.u8(std::uint8_t(raw - 1));
        for (int i = 0; i < raw; ++i) {
            putPixel(out, row + (x + i) * c, c);
        }
        x += raw;
    }
}

void putColour(ByteWriter& out, std::uint16_t id, const std::uint8_t rgb[3]) {
    out.open(id);
    out.open(0x0011); // 24-bit colour
    out.u8(rgb[0]);
    out.u8(rgb[1]);
    out.u8(rgb[2]);
    out.close();
    out.close();
}

void putColour(ByteWriter& out, std::uint16_t id, const float rgb[3]) {
    out.open(id);
    out.open(0x0010); // colour as three floats
    out.f32(rgb[0]);
    out.f32(rgb[1]);
    out.f32(rgb[2]);
    out.close();
    out.close();
}

void putMaterial(ByteWriter& out, const Material3ds& m) {
    out.open(0xAFFF);
    out.open(0xA000);
    out.text(m.name);
    out.close();
    putColour(out, 0xA010, m.ambient);
    putColour(out, 0xA020, m.diffuse);
    if (!m.mapName.empty()) {
        out.open(0xA200);
        out.open(0x0030); // map strength, percent
        out.u16(100);
        out.close();
        out.open(0xA300);
        out.text(m.mapName);
        out.close();
        out.close();
    }
    out.close();
}

void requireCount(std::size_t n, const std::string& what) {
    if (n > 65535) {
        throw std::runtime_error(what + " holds more than 65535 entries");
    }
}

void putObject(ByteWriter& out, const Object3ds& o) {
    requireCount(o.vertices.size(), o.name + " vertex list");
    requireCount(o.triangles.size(), o.name + " face list");
    out.open(0x4000);
    out.text(o.name);
    out.open(0x4100);
    out.open(0x4110);
    out.u16(std::uint16_t(o.vertices.size()));
    for (const Vec3& v : o.vertices) {
        // The reader turns file (x, y, z) into (x, z, -y); this is its inverse.
        out.f32(float(v.x));
        out.f32(float(-v.z));
        out.f32(float(v.y));
    }
    out.close();
    if (!o.texCoords.empty()) {
        out.open(0x4140);
        out.u16(std::uint16_t(o.texCoords.size()));
        for (const auto& uv : o.texCoords) {
            out.f32(uv[0]);
            out.f32(uv[1]);
        }
        out.close();
    }
    out.open(0x4120);
    out.u16(std::uint16_t(o.triangles.size()));
    for (const auto& t : o.triangles) {
        out.u16(t[0]);
        out.u16(t[1]);
        out.u16(t[2]);
        out.u16(0x0007); // all three edges visible
    }
    for (const FaceGroup3ds& g : o.groups) {
        requireCount(g.faces.size(), o.name + " face group");
        out.open(0x4130);
        out.text(g.material);
        out.u16(std::uint16_t(g.faces.size()));
        for (std::uint16_t f : g.faces) {
            out.u16(f);
        }
        out.close();
    }
    out.close();
    out.close();
    out.close();
}

} // namespace

std::vector<std::uint8_t> encodeTga(const Image& image, bool runLength) {
    ByteWriter out;
    out.u8(0);                         // no image ID
    out.u8(0);                         // no colour map
    out.u8(runLength ? 10 : 2);        // true colour, compressed or not
    for (int i = 0; i < 5; ++i) {
        out.u8(0);                     // colour map fields
    }
    out.u16(0);                        // x origin
    out.u16(0);                        // y origin
    out.u16(std::uint16_t(image.width));
    out.u16(std::uint16_t(image.height));
    out.u8(std::uint8_t(image.channels * 8));
    out.u8(image.channels == 4 ? 8 : 0); // alpha bits; origin bottom left
    for (int y = 0; y < image.height; ++y) {
        if (runLength) {
            putRunLengthRow(out, image, y);
        } else {
            for (int x = 0; x < image.width; ++x) {
                putPixel(out, &image.pixels[(std::size_t(y) * image.width + x) * image.channels],
                         image.channels);
            }
        }
    }
    return out.bytes;
}

std::vector<std::uint8_t> encode3ds(const Mesh3ds& mesh) {
    ByteWriter out;
    out.open(0x4D4D);
    out.open(0x0002); // file version
    out.u32(3);
    out.close();
    out.open(0x3D3D);
    out.open(0x3D3E); // mesh version
    out.u32(3);
    out.close();
    for (const Material3ds& m : mesh.materials) {
        putMaterial(out, m);
    }
    out.open(0x0100); // one unit is one unit
    out.f32(1.0f);
    out.close();
    for (const Object3ds& o : mesh.objects) {
        putObject(out, o);
    }
    out.close();
    out.close();
    return out.bytes;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "artgen: cannot create %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    }
    return written && closed;
}

} // namespace art
