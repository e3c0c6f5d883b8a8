#pragma once
// The game's texture maps and sky, painted from seeded noise. Rock maps use the lat-long mapping
// of art::sphere, so that craters painted here sit on the craters of the mesh.

#include "artFiles.h"

#include <functional>

namespace art {

struct Rgb {
    double r, g, b;
};

// Per direction on the asteroid: 0 plain rock, negative inside a crater bowl, positive on a rim.
using CraterField = std::function<double(Vec3)>;

Image rockTexture(int width, int height, std::uint32_t seed, Rgb light, Rgb dark,
                  const CraterField& craters);
// Hull plating: a grid of panels of slightly different shades, seams and a few details.
Image panelTexture(int size, std::uint32_t seed, Rgb base, Rgb accent);
// Rocket atlas, twice as wide as high: the left half is the body, the right half the fins. One
// map for the whole rocket: the software rasteriser copies its whole state each time the bound
// texture changes, and a held trigger keeps about a thousand rockets in view.
Image rocketTexture(int size);
Image laserTexture(int size);
Image metalTexture(int size, std::uint32_t seed, Rgb base);
// Cockpit atlas: the left half is strut plating, the right half the instrument panel.
Image cockpitTexture(int size);
// Stars and soft nebula; the borders fade to the same dark so the six faces of the sky box
// meet without visible seams.
Image skyTexture(int size);

} // namespace art
