#include "artIcon.h"

#include <stb/stb_image_write.h> // the implementation comes compiled in Debian's libstb

#include <cstdio>
#include <filesystem>

namespace art {

bool writeIcons(const std::string& root) {
    bool ok = true;
    for (const int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path path = std::filesystem::path(root) / "hicolor" /
                                           (side + "x" + side) / "apps" / "zephrandolinth.png";
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        const std::vector<unsigned char> pixels = iconPixels(size);
        if (stbi_write_png(path.c_str(), size, size, 4, pixels.data(), size * 4) == 0) {
            std::fprintf(stderr, "artgen: cannot write the icon %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

} // namespace art
