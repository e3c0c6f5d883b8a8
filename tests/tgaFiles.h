#pragma once
// TGA files assembled byte by byte for the image tests, and scratch files to read them from.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace tgaFiles {

using Bytes = std::vector<unsigned char>;

enum ImageType : unsigned char { colourMapped = 1, trueColour = 2, greyScale = 3, runLength = 10 };
constexpr unsigned char topLeft = 0x20;

struct Header {
    unsigned char imageType = trueColour;
    unsigned width = 1;
    unsigned height = 1;
    unsigned char bits = 24;
    unsigned char descriptor = 0;
    std::string id;
    unsigned char colourMapType = 0;
};

inline Header header(unsigned char imageType, unsigned width, unsigned height, unsigned char bits) {
    Header h;
    h.imageType = imageType;
    h.width = width;
    h.height = height;
    h.bits = bits;
    return h;
}

inline Bytes file(const Header& h, const Bytes& pixels) {
    Bytes out;
    out.reserve(18 + h.id.size() + pixels.size());
    out.push_back(static_cast<unsigned char>(h.id.size()));
    out.push_back(h.colourMapType);
    out.push_back(h.imageType);
    out.resize(12, 0); // colour map fields and origin
    for (unsigned value : {h.width, h.height}) {
        out.push_back(static_cast<unsigned char>(value & 0xFF));
        out.push_back(static_cast<unsigned char>(value >> 8));
    }
    out.push_back(h.bits);
    out.push_back(h.descriptor);
    for (char c : h.id)
        out.push_back(static_cast<unsigned char>(c));
    for (unsigned char b : pixels)
        out.push_back(b);
    return out;
}

// A directory of its own under the system's temporary directory, removed with the object.
class ScratchDir {
  public:
    ScratchDir() {
        static int serial = 0;
        path = std::filesystem::temp_directory_path() /
               ("zeph_tga_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string write(const std::string& relative, const Bytes& bytes) const {
        std::filesystem::path target = path / relative;
        std::filesystem::create_directories(target.parent_path());
        std::FILE* f = std::fopen(target.c_str(), "wb");
        EXPECT_NE(f, nullptr) << target;
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return target.string();
    }
    std::filesystem::path path;
};

} // namespace tgaFiles
