// Pictures of the game's art for people to look at: every mesh lit and textured as the game
// lights it (ambient 0.2, one directional light from the upper left behind the viewer at 4.0),
// the cannon on its asteroid as the game groups them, the cockpit from the player's eye over
// black, and a view of the sky box. Renders headless (EGL, Mesa surfaceless) into PNG files.
// Usage: zephartpreview OUTPUT_DIRECTORY, run from the directory holding bin/.

#include "previewScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <stb/stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool writePng(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    stbi_flip_vertically_on_write(1); // OpenGL reads rows bottom first
    const bool ok = stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
    if (!ok) {
        std::fprintf(stderr, "artpreview: cannot write %s\n", path.c_str());
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argc > 0 ? argv[0] : "zephartpreview");
        return 2;
    }
    const std::string out = argv[1];
    std::filesystem::create_directories(out);
    preview::Context context(960, 480);
    if (!context.ok()) {
        std::fprintf(stderr, "artpreview: %s\n", context.error().c_str());
        return 1;
    }
    preview::Scene scene;
    bool ok = scene.load();
    for (const preview::Shot& shot : preview::shots()) {
        scene.render(shot);
        ok = writePng(out + "/" + shot.name + ".png", shot.width, shot.height) && ok;
        std::printf("%s/%s.png\n", out.c_str(), shot.name.c_str());
    }
    return ok ? 0 : 1;
}
