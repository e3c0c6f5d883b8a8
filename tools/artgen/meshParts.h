#pragma once
// Building blocks for the game's meshes: pieces of surface (spheres shaped by a radius
// function, solids of revolution, boxes, beams, extruded outlines) that are moved into place and
// gathered into named objects with one material per piece. Each closed piece is turned so that
// its triangles wind counter-clockwise seen from outside, which gives outward smooth normals.

#include "artFiles.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Part {
    std::vector<Vec3> positions;
    std::vector<std::array<float, 2>> uvs; // one per position
    std::vector<std::array<std::uint32_t, 3>> triangles;

    std::uint32_t add(Vec3 p, double u, double v);
    void triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) { triangles.push_back({a, b, c}); }
    void quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        triangle(a, b, c);
        triangle(a, c, d);
    }
};

// Lat-long sphere: `segments` around, `rings` from pole to pole; the vertex of texture
// coordinates (u, v) lies along unitDirection(u, v) at radius(direction). A piece of texture
// drawn with the same mapping fits the shape exactly.
Vec3 unitDirection(double u, double v);
Part sphere(int segments, int rings, const std::function<double(Vec3)>& radius);

// Solid of revolution about the Z axis. Profile points are (radius, z); a point given twice
// makes a sharp edge there. Texture u goes `uRepeat` times around, v follows the profile.
struct ProfilePoint {
    double r, z;
};
Part lathe(const std::vector<ProfilePoint>& profile, int segments, double uRepeat, double vPerUnit);

// Axis-aligned box centred on the origin, one texture repeat per `unitsPerRepeat`.
Part box(Vec3 half, double unitsPerRepeat);
// Box of cross-section width x height running from a to b; `up` picks its height direction.
Part beam(Vec3 a, Vec3 b, double width, double height, Vec3 up, double unitsPerRepeat);
// Convex outline in the XZ plane (x, z pairs), extruded over `thickness` along Y.
Part extrude(const std::vector<std::array<double, 2>>& outline, double thickness,
             double unitsPerRepeat);
// The same outline as one flat plate at Y = 0: a fin seen from both sides, as faces are not
// culled, for a third of an extruded fin's triangles.
Part plate(const std::vector<std::array<double, 2>>& outline, double unitsPerRepeat);

void transform(Part& part, const std::function<Vec3(Vec3)>& f);
void translate(Part& part, Vec3 offset);
void scale(Part& part, Vec3 factors);
void rotateX(Part& part, double degrees);
void rotateY(Part& part, double degrees);
void rotateZ(Part& part, double degrees);
// Flips the winding of a closed piece whose triangles face inward.
void orientOutward(Part& part);
// Turns every triangle of a convex piece to face away from its centre.
void orientConvex(Part& part);
double maxRadius(const std::vector<Vec3>& points);

struct ObjectBuilder {
    std::string name;
    bool textured = true; // untextured objects carry no texture coordinates at all
    std::vector<std::pair<Part, std::string>> pieces;

    void add(Part part, const std::string& material) { pieces.emplace_back(std::move(part), material); }
    Object3ds build() const;
};

} // namespace art
