#pragma once
// Every mesh the game loads, with the texture maps its materials name. Sizes follow the game's
// collision spheres: a kind's mesh radius times its scale and the node's default scale of 1.1
// gives the radius the game tests hits with.

#include "artFiles.h"

#include <string>
#include <utility>
#include <vector>

namespace art {

struct ModelArt {
    std::string file; // under bin/models/
    Mesh3ds mesh;
    std::vector<std::pair<std::string, Image>> maps; // file name beside the mesh, image
};

std::vector<ModelArt> buildModels();
Image buildSky();

// Every file the generator writes, relative to its output directory, with its bytes.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> buildAllFiles();

} // namespace art
