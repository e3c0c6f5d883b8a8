#include "artIco.h"

#include "artFiles.h"
#include "artIcon.h"

#include <stb/stb_image_write.h> // the implementation comes compiled in Debian's libstb

#include <stdexcept>

namespace art {

namespace {

void appendPng(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> encodeIco() {
    std::vector<std::vector<std::uint8_t>> images;
    for (const int size : kIcoSizes) {
        const std::vector<unsigned char> pixels = iconPixels(size);
        std::vector<std::uint8_t> png;
        if (stbi_write_png_to_func(appendPng, &png, size, size, 4, pixels.data(), size * 4) == 0) {
            throw std::runtime_error("cannot encode the " + std::to_string(size) + " pixel icon");
        }
        images.push_back(std::move(png));
    }
    // The directory: a 6-byte header, then 16 bytes per image; the images follow it.
    std::vector<std::uint8_t> ico;
    put16(ico, 0);
    put16(ico, 1); // an icon, not a cursor
    put16(ico, std::uint32_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int side = kIcoSizes[i] == 256 ? 0 : kIcoSizes[i]; // one byte: 0 stands for 256
        ico.push_back(std::uint8_t(side));
        ico.push_back(std::uint8_t(side));
        ico.push_back(0); // no palette
        ico.push_back(0);
        put16(ico, 1);  // colour planes
        put16(ico, 32); // bits per pixel
        put32(ico, std::uint32_t(images[i].size()));
        put32(ico, offset);
        offset += std::uint32_t(images[i].size());
    }
    for (const std::vector<std::uint8_t>& png : images) {
        ico.insert(ico.end(), png.begin(), png.end());
    }
    return ico;
}

bool writeIco(const std::string& path) { return writeFile(path, encodeIco()); }

} // namespace art
