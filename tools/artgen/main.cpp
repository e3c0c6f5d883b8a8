// Writes every mesh and image the game loads into the directory given as argument, laid out as
// the game reads them from its working directory: bin/models/*.3ds and *.tga, bin/texture/;
// and the desktop icon beside them at every size, in icon/hicolor/<n>x<n>/apps/, with the same
// picture for Windows in icon/zephrandolinth.ico.
// The output depends on nothing but this program: the same bytes on every run and machine.

#include "artIco.h"
#include "artIcon.h"
#include "artModels.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argc > 0 ? argv[0] : "zephartgen");
        return 2;
    }
    try {
        const std::string root = argv[1];
        bool ok = true;
        for (const auto& [name, bytes] : art::buildAllFiles()) {
            ok = art::writeFile(root + "/" + name, bytes) && ok;
        }
        ok = art::writeIcons(root + "/icon") && ok;
        ok = art::writeIco(root + "/icon/zephrandolinth.ico") && ok;
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
}
