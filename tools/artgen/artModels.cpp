#include "artModels.h"

#include "artTextures.h"
#include "meshParts.h"

#include <stdexcept>

namespace art {

namespace {

// Scale and collision radius of each kind, as the game draws and tests it.
constexpr double nodeScale = 1.1;
constexpr double golevkaScale = 5.0, golevkaRadius = 1.615;
constexpr double toutatisScale = 1.0, toutatisRadius = 1.77;
constexpr double brakiriScale = 0.02, brakiriRadius = 5.48;
constexpr double clipperScale = 0.05, clipperRadius = 4.975;
constexpr double rocketScale = 0.1, rocketRadius = 2.0;
constexpr double laserScale = 0.1, laserRadius = 2.07;
// The cannon-carrying group: two nested node scales, children at (0, -+0.75, 0).
constexpr double castaliaScale = 3.0, kanoneScale = 0.01, groupRadius = 2.0;
constexpr double groupOffset = 0.75 * nodeScale;
constexpr double groupChildScale = nodeScale * nodeScale;
// The cockpit is drawn 4.5 ahead of the eye and 0.2 above it, at 0.1 times the node scale.
constexpr double cockpitScale = 0.1 * nodeScale;
const Vec3 cockpitOrigin{0, 0.2, -4.5};

// The game scales a mesh with glScalef and never renormalises its normals, so the light a
// surface receives is divided by the total scale it is drawn at (the kind's scale times the node
// scales). A material's diffuse colour is therefore stored multiplied by that scale: `lit` is
// the colour the fully lit surface shows through the game's light of 4.0 at that scale.
constexpr double lightIntensity = 4.0;

Material3ds material(const std::string& name, Rgb lit, double drawnScale, const std::string& map = "",
                     Rgb ambient = {1, 1, 1}) {
    Material3ds m;
    m.name = name;
    auto byte = [](double v) { return std::uint8_t(clamp01(v) * 255.0 + 0.5); };
    // Kept within [0, 1]: a large scale (the small asteroids) just gets the strongest colour.
    const double k = drawnScale / lightIntensity;
    m.diffuse[0] = float(clamp01(lit.r * k));
    m.diffuse[1] = float(clamp01(lit.g * k));
    m.diffuse[2] = float(clamp01(lit.b * k));
    m.ambient[0] = byte(ambient.r);
    m.ambient[1] = byte(ambient.g);
    m.ambient[2] = byte(ambient.b);
    m.mapName = map;
    return m;
}

// Scales every piece of a model about the origin so that its farthest vertex lies at `radius`.
void scaleToRadius(std::vector<ObjectBuilder>& objects, double radius) {
    std::vector<Vec3> all;
    for (const auto& o : objects) {
        for (const auto& piece : o.pieces) {
            all.insert(all.end(), piece.first.positions.begin(), piece.first.positions.end());
        }
    }
    const double k = radius / maxRadius(all);
    for (auto& o : objects) {
        for (auto& piece : o.pieces) {
            scale(piece.first, {k, k, k});
        }
    }
}

Mesh3ds assemble(std::vector<Material3ds> materials, const std::vector<ObjectBuilder>& objects) {
    Mesh3ds mesh;
    mesh.materials = std::move(materials);
    for (const auto& o : objects) {
        mesh.objects.push_back(o.build());
    }
    return mesh;
}

double profileLength(const std::vector<ProfilePoint>& profile) {
    double total = 0;
    for (std::size_t k = 1; k < profile.size(); ++k) {
        const double dr = profile[k].r - profile[k - 1].r, dz = profile[k].z - profile[k - 1].z;
        total += std::sqrt(dr * dr + dz * dz);
    }
    return total;
}

// A solid of revolution whose texture runs `uRepeat` times around and `vRepeat` times from one
// end to the other.
Part spindle(const std::vector<ProfilePoint>& profile, int segments, double uRepeat = 1.0,
             double vRepeat = 1.0) {
    return lathe(profile, segments, uRepeat, vRepeat / profileLength(profile));
}

// ---- Asteroids ------------------------------------------------------------------------------

struct Crater {
    Vec3 centre;
    double size;  // chord length of the bowl's radius on the unit sphere
    double depth; // relative to the asteroid's radius
};

// Bowl below the surface inside the crater, a raised rim around it; -1 at the centre.
double craterProfile(double t) {
    const double s = (t - 1.0) / 0.4;
    const double rim = std::fabs(s) < 1 ? 0.35 * (1 - s * s) * (1 - s * s) : 0.0;
    return (t < 1 ? t * t - 1.0 : 0.0) + rim;
}

struct AsteroidShape {
    std::uint32_t seed;
    std::vector<Crater> craters;
    double lumps;      // amplitude of the large-scale lumps
    double lumpScale;  // frequency of the lumps
    std::function<double(Vec3)> body;

    double craterField(Vec3 d) const {
        double sum = 0;
        for (const Crater& c : craters) {
            const double t = length(d - c.centre) / c.size;
            if (t < 1.4) {
                sum += craterProfile(t) * c.depth / 0.1;
            }
        }
        return sum;
    }
    double radius(Vec3 d) const {
        double crater = 0;
        for (const Crater& c : craters) {
            const double t = length(d - c.centre) / c.size;
            if (t < 1.4) {
                crater += craterProfile(t) * c.depth;
            }
        }
        const double lump = fractalNoise(d * lumpScale, seed, 4);
        const double bump = fractalNoise(d * 6.0, seed + 3, 3);
        return body(d) * (1.0 + lumps * lump + 0.025 * bump + crater);
    }
};

std::vector<Crater> scatterCraters(std::uint32_t seed, int count, double minSize, double maxSize) {
    Random random(seed);
    std::vector<Crater> craters;
    for (int i = 0; i < count; ++i) {
        const Vec3 c = random.unitVector();
        const double size = random.range(minSize, maxSize);
        craters.push_back({c, size, size * random.range(0.3, 0.45)});
    }
    return craters;
}

Part asteroidPart(const AsteroidShape& shape) {
    return sphere(64, 40, [&](Vec3 d) { return shape.radius(d); });
}

Image asteroidMap(const AsteroidShape& shape, Rgb light, Rgb dark) {
    return rockTexture(256, 128, shape.seed + 100, light, dark,
                       [&](Vec3 d) { return shape.craterField(d); });
}

ModelArt asteroid(const std::string& file, const std::string& name, const std::string& map,
                  const AsteroidShape& shape, Rgb lit, double drawnScale, Rgb light, Rgb dark,
                  double radius,
                  const std::function<Vec3(Vec3)>& deform = nullptr) {
    std::vector<ObjectBuilder> objects(1);
    objects[0].name = name;
    Part part = asteroidPart(shape);
    if (deform) {
        transform(part, deform);
    }
    objects[0].add(std::move(part), name + "Rock");
    scaleToRadius(objects, radius);
    ModelArt art;
    art.file = file;
    art.mesh = assemble({material(name + "Rock", lit, drawnScale, map)}, objects);
    art.maps.emplace_back(map, asteroidMap(shape, light, dark));
    return art;
}

ModelArt golevka() {
    AsteroidShape shape{901, scatterCraters(911, 14, 0.22, 0.55), 0.22, 1.3,
                        [](Vec3) { return 1.0; }};
    return asteroid("golevka.3ds", "Golevka", "golrock.tga", shape, {1, 1, 1}, golevkaScale * nodeScale,
                    {0.78, 0.72, 0.64}, {0.25, 0.22, 0.2}, golevkaRadius / (golevkaScale * nodeScale));
}

ModelArt toutatis() {
    // Long and bent: an ellipsoid along X whose ends droop.
    AsteroidShape shape{702, scatterCraters(712, 10, 0.15, 0.4), 0.14, 1.8, [](Vec3 d) {
                            const double a = 1.0, b = 0.45, c = 0.52;
                            const double k = 1.0 / std::sqrt((d.x * d.x) / (a * a) +
                                                             (d.y * d.y) / (b * b) +
                                                             (d.z * d.z) / (c * c));
                            return k;
                        }};
    return asteroid("toutatis.3ds", "Toutatis", "toutrock.tga", shape, {1.0, 0.9, 0.8},
                    toutatisScale * nodeScale,
                    {0.72, 0.58, 0.46}, {0.22, 0.16, 0.13},
                    toutatisRadius / (toutatisScale * nodeScale),
                    [](Vec3 p) { return Vec3{p.x, p.y - 0.22 * p.x * p.x, p.z}; });
}

// Two lobes joined by a waist (a Cassini oval turned about the long X axis).
double peanut(Vec3 d) {
    const double c = 1.0, a = 1.22;
    const double cos2 = 2.0 * d.x * d.x - 1.0;
    const double r2 = c * c * cos2 + std::sqrt(c * c * c * c * cos2 * cos2 + a * a * a * a - c * c * c * c);
    return std::sqrt(r2);
}

// Largest scale at which every point, placed in the group, stays inside the group's sphere.
double fitInGroup(const std::vector<Vec3>& points, double offsetY, double childScale, double limit) {
    auto reach = [&](double s) {
        double r = 0;
        for (const Vec3& p : points) {
            r = std::max(r, length(Vec3{0, offsetY, 0} + p * (s * childScale)));
        }
        return r;
    };
    double lo = 0, hi = 1;
    while (reach(hi) < limit) {
        hi *= 2;
    }
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (reach(mid) < limit ? lo : hi) = mid;
    }
    return lo;
}

constexpr double groupMargin = 0.97; // keeps float rounding well inside the sphere

// The cannon's base. Returns, in `saddleTop`, the height in group units of its surface
// straight below the cannon.
ModelArt castalia(double& saddleTop) {
    AsteroidShape shape{503, scatterCraters(513, 9, 0.12, 0.3), 0.08, 1.6, peanut};
    Part part = asteroidPart(shape);
    const double k = fitInGroup(part.positions, -groupOffset, castaliaScale * groupChildScale,
                                groupRadius * groupMargin);
    scale(part, {k, k, k});
    saddleTop = -groupOffset + shape.radius({0, 1, 0}) * k * castaliaScale * groupChildScale;
    std::vector<ObjectBuilder> objects(1);
    objects[0].name = "Castalia";
    objects[0].add(std::move(part), "CastaliaRock");
    ModelArt art;
    art.file = "castalia.3ds";
    art.mesh = assemble({material("CastaliaRock", {1.0, 0.95, 0.85}, castaliaScale * groupChildScale, "castrock.tga")}, objects);
    art.maps.emplace_back("castrock.tga", asteroidMap(shape, {0.85, 0.8, 0.7}, {0.3, 0.27, 0.22}));
    return art;
}

// ---- Cannon ---------------------------------------------------------------------------------

Part vertical(Part part) {
    rotateX(part, -90); // the lathe's Z axis becomes Y
    return part;
}

// Built in group units around the cannon's own origin, then turned into file units.
ModelArt kanone(double saddleTop) {
    const double bottom = saddleTop - groupOffset - 0.08; // sunk a little into the rock
    const double deck = -0.3;                             // top of the pedestal
    ObjectBuilder body{"Kanone", true, {}};
    body.add(vertical(spindle({{0, bottom}, {0.45, bottom}, {0.45, bottom + 0.1},
                               {0.45, bottom + 0.1}, {0.26, bottom + 0.2}, {0.21, deck - 0.1},
                               {0.21, deck - 0.1}, {0.36, deck - 0.05}, {0.36, deck}, {0, deck}},
                              24, 3)),
             "KanoneMetal");
    Part turret = box({0.3, 0.16, 0.36}, 0.6);
    translate(turret, {0, deck + 0.16, 0.02});
    body.add(std::move(turret), "KanoneMetal");
    Part roof = spindle({{0, -0.3}, {0.22, -0.3}, {0.28, -0.2}, {0.28, 0.3}, {0, 0.3}}, 20, 2);
    scale(roof, {1, 0.5, 1});
    translate(roof, {0, deck + 0.31, 0.05});
    body.add(std::move(roof), "KanoneMetal");
    ObjectBuilder glow{"Muzzles", false, {}};
    for (double side : {-0.12, 0.12}) {
        Part barrel = spindle({{0, -0.34}, {0.06, -0.34}, {0.06, -1.2}, {0.06, -1.2}, {0.085, -1.22},
                               {0.085, -1.4}, {0, -1.4}},
                              16, 1, 3);
        translate(barrel, {side, deck + 0.18, 0});
        body.add(std::move(barrel), "KanoneMetal");
        Part tip = spindle({{0, -1.38}, {0.05, -1.38}, {0.05, -1.41}, {0, -1.41}}, 12);
        translate(tip, {side, deck + 0.18, 0});
        glow.add(std::move(tip), "KanoneGlow");
    }
    std::vector<ObjectBuilder> objects{body, glow};
    const double toFile = 1.0 / (kanoneScale * groupChildScale);
    for (auto& o : objects) {
        for (auto& piece : o.pieces) {
            scale(piece.first, {toFile, toFile, toFile});
        }
    }
    ModelArt art;
    art.file = "kanone.3ds";
    art.mesh = assemble({material("KanoneMetal", {0.85, 0.9, 0.85}, kanoneScale * groupChildScale, "kanmetal.tga"),
                         material("KanoneGlow", {1.0, 0.3, 0.1}, kanoneScale * groupChildScale, "", {1.0, 0.3, 0.1})},
                        objects);
    art.maps.emplace_back("kanmetal.tga", metalTexture(128, 31, {0.5, 0.55, 0.5}));
    return art;
}

// ---- Ships ----------------------------------------------------------------------------------

Part mirrored(Part part) {
    scale(part, {-1, 1, 1});
    return part;
}

// A fin standing up from the XZ plane: the outline's x becomes the height.
Part upright(const std::vector<std::array<double, 2>>& outline, double thickness, double repeat) {
    Part fin = extrude(outline, thickness, repeat);
    rotateZ(fin, 90);
    return fin;
}

// A sleek delta: flattened fuselage, broad swept wings, twin tail fins, two engines.
ModelArt clipper() {
    ObjectBuilder hull{"Clipper", true, {}};
    Part fuselage = spindle({{0, -1.0}, {0.07, -0.88}, {0.13, -0.62}, {0.17, -0.3}, {0.18, 0.3},
                             {0.16, 0.72}, {0.13, 0.86}, {0.13, 0.86}, {0, 0.86}},
                            32, 2, 3);
    scale(fuselage, {1, 0.65, 1});
    hull.add(std::move(fuselage), "ClipperHull");
    const std::vector<std::array<double, 2>> wing{{0.12, -0.35}, {0.9, 0.5}, {0.9, 0.68}, {0.12, 0.74}};
    Part right = extrude(wing, 0.045, 0.5);
    rotateZ(right, -4); // a little anhedral
    hull.add(mirrored(right), "ClipperHull");
    hull.add(std::move(right), "ClipperHull");
    const std::vector<std::array<double, 2>> tail{{0.0, 0.3}, {0.42, 0.62}, {0.42, 0.78}, {0.0, 0.8}};
    for (double side : {-1.0, 1.0}) {
        Part fin = upright(tail, 0.035, 0.5);
        rotateZ(fin, -side * 14);
        translate(fin, {side * 0.26, 0.02, 0});
        hull.add(std::move(fin), "ClipperHull");
        Part engine = spindle({{0, 0.15}, {0.06, 0.2}, {0.085, 0.3}, {0.085, 0.9}, {0.085, 0.9},
                               {0.065, 0.9}, {0.065, 0.9}, {0, 0.88}},
                              20, 2);
        translate(engine, {side * 0.3, -0.03, 0});
        hull.add(std::move(engine), "ClipperHull");
    }
    ObjectBuilder glass{"Canopy", false, {}};
    Part canopy = sphere(20, 12, [](Vec3) { return 1.0; });
    scale(canopy, {0.075, 0.07, 0.22});
    translate(canopy, {0, 0.1, -0.42});
    glass.add(std::move(canopy), "ClipperGlass");
    for (double side : {-1.0, 1.0}) {
        Part flame = spindle({{0, 0.89}, {0.06, 0.89}, {0.035, 1.02}, {0, 1.05}}, 16);
        translate(flame, {side * 0.3, -0.03, 0});
        glass.add(std::move(flame), "ClipperGlow");
    }
    std::vector<ObjectBuilder> objects{hull, glass};
    scaleToRadius(objects, clipperRadius / (clipperScale * nodeScale));
    ModelArt art;
    art.file = "clipper.3ds";
    art.mesh = assemble({material("ClipperHull", {0.8, 0.88, 1.0}, clipperScale * nodeScale, "cliphull.tga"),
                         material("ClipperGlass", {0.2, 0.45, 0.85}, clipperScale * nodeScale, "", {0.1, 0.3, 0.6}),
                         material("ClipperGlow", {1.0, 0.6, 0.15}, clipperScale * nodeScale, "", {1.0, 0.6, 0.2})},
                        objects);
    art.maps.emplace_back("cliphull.tga", panelTexture(256, 61, {0.9, 0.92, 0.95}, {0.15, 0.35, 0.8}));
    return art;
}

// A heavy alien cruiser: a bulbous body between two long forward-reaching pods, a dorsal crest.
ModelArt brakiri() {
    ObjectBuilder hull{"Brakiri", true, {}};
    Part body = spindle({{0, -0.95}, {0.1, -0.9}, {0.2, -0.72}, {0.23, -0.45}, {0.16, -0.15},
                         {0.2, 0.15}, {0.32, 0.45}, {0.3, 0.72}, {0.2, 0.88}, {0, 0.92}},
                        36, 4, 5);
    scale(body, {1.1, 0.75, 1});
    hull.add(std::move(body), "BrakiriHull");
    for (double side : {-1.0, 1.0}) {
        Part pod = spindle({{0, -1.0}, {0.05, -0.95}, {0.09, -0.8}, {0.11, -0.4}, {0.1, 0.3},
                            {0.12, 0.5}, {0.12, 0.5}, {0.07, 0.5}, {0, 0.48}},
                           24, 2, 4);
        rotateY(pod, side * 6);
        translate(pod, {side * 0.72, -0.05, 0.05});
        hull.add(std::move(pod), "BrakiriHull");
        Part arm = beam({side * 0.2, 0, 0.25}, {side * 0.7, -0.04, 0.1}, 0.34, 0.05, {0, 1, 0}, 0.25);
        hull.add(std::move(arm), "BrakiriHull");
        Part fore = beam({side * 0.15, 0, -0.5}, {side * 0.68, -0.04, -0.55}, 0.08, 0.04, {0, 1, 0}, 0.25);
        hull.add(std::move(fore), "BrakiriHull");
    }
    hull.add(upright({{0.0, -0.1}, {0.38, 0.35}, {0.34, 0.7}, {0.0, 0.8}}, 0.05, 0.25), "BrakiriHull");
    ObjectBuilder lights{"Engines", false, {}};
    Part mainGlow = spindle({{0, 0.9}, {0.13, 0.9}, {0.08, 0.98}, {0, 1.0}}, 16);
    lights.add(std::move(mainGlow), "BrakiriGlow");
    for (double side : {-1.0, 1.0}) {
        Part podGlow = spindle({{0, 0.49}, {0.075, 0.49}, {0.045, 0.57}, {0, 0.59}}, 16);
        rotateY(podGlow, side * 6);
        translate(podGlow, {side * 0.72, -0.05, 0.05});
        lights.add(std::move(podGlow), "BrakiriGlow");
    }
    Part eye = sphere(16, 10, [](Vec3) { return 1.0; });
    scale(eye, {0.06, 0.05, 0.06});
    translate(eye, {0, 0.05, -0.88});
    lights.add(std::move(eye), "BrakiriGlow");
    std::vector<ObjectBuilder> objects{hull, lights};
    scaleToRadius(objects, brakiriRadius / (brakiriScale * nodeScale));
    ModelArt art;
    art.file = "brakiri.3ds";
    art.mesh = assemble({material("BrakiriHull", {0.85, 1.0, 0.55}, brakiriScale * nodeScale, "brakhull.tga"),
                         material("BrakiriGlow", {0.9, 0.3, 1.0}, brakiriScale * nodeScale, "", {0.9, 0.3, 1.0})},
                        objects);
    art.maps.emplace_back("brakhull.tga", panelTexture(256, 83, {0.75, 0.7, 0.5}, {0.55, 0.2, 0.6}));
    return art;
}

// ---- Projectiles ----------------------------------------------------------------------------

// The piece's texture, all its height, squeezed into the columns from `left` to `right` of an
// atlas.
void intoColumns(Part& part, double left, double right) {
    for (auto& uv : part.uvs) {
        uv[0] = float(lerp(left, right, uv[0]));
    }
}

ModelArt rocket() {
    ObjectBuilder body{"Rocket", true, {}};
    // Few facets on purpose: a held trigger keeps about a thousand rockets inside the far plane,
    // most a few pixels across, and every facet costs the software rasteriser its share. For the
    // same reason the rocket is one material with one map: one draw and no texture change each.
    Part hull = spindle({{0, -1.0}, {0.115, -0.58}, {0.12, 0.8}, {0, 0.86}}, 6);
    intoColumns(hull, 0.0, 0.5);
    body.add(std::move(hull), "Rocket");
    Part tail = spindle({{0, 0.84}, {0.095, 1.0}, {0, 1.0}}, 6);
    intoColumns(tail, 0.5, 1.0);
    body.add(std::move(tail), "Rocket");
    const std::vector<std::array<double, 2>> finShape{{0.1, 0.35}, {0.34, 0.66}, {0.34, 0.92}, {0.1, 0.86}};
    for (int k = 0; k < 4; ++k) {
        Part fin = plate(finShape, 0.5);
        intoColumns(fin, 0.5, 1.0);
        rotateZ(fin, 45 + 90 * k);
        body.add(std::move(fin), "Rocket");
    }
    std::vector<ObjectBuilder> objects{body};
    scaleToRadius(objects, rocketRadius / (rocketScale * nodeScale));
    ModelArt art;
    art.file = "rocket.3ds";
    art.mesh = assemble({material("Rocket", {1.0, 1.0, 1.0}, rocketScale * nodeScale, "rocket.tga")}, objects);
    art.maps.emplace_back("rocket.tga", rocketTexture(128));
    return art;
}

ModelArt laser() {
    ObjectBuilder bolt{"Laser", true, {}};
    // As few facets as the rocket's, for the same reason.
    bolt.add(spindle({{0, -1.0}, {0.06, -0.8}, {0.08, 0.0}, {0.06, 0.8}, {0, 1.0}}, 6),
             "LaserBolt");
    std::vector<ObjectBuilder> objects{bolt};
    scaleToRadius(objects, laserRadius / (laserScale * nodeScale));
    ModelArt art;
    art.file = "laser.3ds";
    art.mesh = assemble({material("LaserBolt", {4.0, 1.8, 1.4}, laserScale * nodeScale, "laserbol.tga")}, objects);
    art.maps.emplace_back("laserbol.tga", laserTexture(64));
    return art;
}

// ---- Cockpit --------------------------------------------------------------------------------

// Each face of a piece made of quads takes one region of the cockpit atlas, chosen by how the
// face turns to the game's light, so the unlit frame still shows its shape; the face numbered
// `instrumentFace` (if any) shows the instrument panel instead.
void paintFromAtlas(Part& part, int instrumentFace = -1) {
    const Vec3 light = normalize({-1, 1, 1});
    for (std::size_t f = 0; f + 3 < part.positions.size(); f += 4) {
        const auto& t = part.triangles[f / 2]; // the first of the face's two triangles
        const Vec3 a = part.positions[t[0]], b = part.positions[t[1]], c = part.positions[t[2]];
        const double facing = dot(normalize(cross(b - a, c - a)), light);
        double v0, v1;
        if (int(f / 4) == instrumentFace) {
            v0 = 0.6 + 0.004, v1 = 1.0 - 0.004;
        } else {
            const int band = facing > 0.45 ? 2 : (facing > -0.2 ? 1 : 0);
            v0 = band * 0.2 + 0.004, v1 = (band + 1) * 0.2 - 0.004;
        }
        // Face corners run along the piece, then across; the panel's far edge is its top.
        const float corner[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
        for (int k = 0; k < 4; ++k) {
            part.uvs[f + k] = {float(lerp(0.004, 0.996, corner[k][0])), float(lerp(v0, v1, corner[k][1]))};
        }
    }
}

// Pieces are placed in eye space (the eye at the origin looking down -Z, the view 45 degrees
// high and 4:3 wide), then moved into the cockpit's own frame.
ModelArt cockpit() {
    constexpr double halfHeight = 0.41421356; // tan(22.5 degrees) per unit of depth
    constexpr double halfWidth = halfHeight * 4.0 / 3.0;
    // A point at screen fraction (fx, fy), -1 to 1 across the view, at distance `depth`.
    auto onScreen = [&](double fx, double fy, double depth) {
        return Vec3{fx * halfWidth * depth, fy * halfHeight * depth, -depth};
    };
    ObjectBuilder frame{"Cockpit", true, {}};
    auto strut = [&](Vec3 a, Vec3 b, double width, double height) {
        Part p = beam(a, b, width, height, {0, 0, 1}, 1.0);
        paintFromAtlas(p);
        frame.add(std::move(p), "CockpitFrame");
    };
    // Canopy pillars rise from the dashboard's ends and lean in toward the roof bar; short
    // braces cross the upper corners.
    for (double side : {-1.0, 1.0}) {
        strut(onScreen(side * 0.96, -0.7, 1.3), onScreen(side * 0.84, 1.1, 2.4), 0.08, 0.07);
        strut(onScreen(side * 0.86, 0.93, 2.4), onScreen(side * 0.3, 1.02, 2.4), 0.07, 0.06);
        strut(onScreen(side * 0.88, 0.55, 2.3), onScreen(side * 0.6, 0.98, 2.3), 0.05, 0.05);
    }
    strut(onScreen(-0.32, 1.02, 2.4), onScreen(0.32, 1.02, 2.4), 0.07, 0.06);
    // The dashboard: a slab across the bottom of the view whose top, tilted toward the eye,
    // carries the instruments.
    Part dash = box({0.5, 0.03, 0.1}, 1.0);
    rotateX(dash, 58);
    translate(dash, onScreen(0, -0.8, 1.0));
    paintFromAtlas(dash, 3);
    frame.add(std::move(dash), "CockpitFrame");
    Part sill = box({0.62, 0.05, 0.06}, 1.0);
    translate(sill, onScreen(0, -0.98, 1.05));
    paintFromAtlas(sill);
    frame.add(std::move(sill), "CockpitFrame");
    for (auto& piece : frame.pieces) {
        transform(piece.first, [](Vec3 e) { return (e - cockpitOrigin) * (1.0 / cockpitScale); });
    }
    ModelArt art;
    art.file = "cockpit.3ds";
    art.mesh = assemble({material("CockpitFrame", {1.0, 1.0, 1.0}, cockpitScale, "cockpit.tga")}, {frame});
    art.maps.emplace_back("cockpit.tga", cockpitTexture(256));
    return art;
}

} // namespace

std::vector<ModelArt> buildModels() {
    double saddleTop = 0;
    std::vector<ModelArt> models;
    models.push_back(golevka());
    models.push_back(toutatis());
    models.push_back(castalia(saddleTop));
    models.push_back(kanone(saddleTop));
    models.push_back(brakiri());
    models.push_back(clipper());
    models.push_back(rocket());
    models.push_back(laser());
    models.push_back(cockpit());
    return models;
}

Image buildSky() { return skyTexture(512); }

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> buildAllFiles() {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    for (const ModelArt& model : buildModels()) {
        files.emplace_back("bin/models/" + model.file, encode3ds(model.mesh));
        for (const auto& [name, image] : model.maps) {
            // Small maps compress poorly; the large ones are run-length encoded.
            files.emplace_back("bin/models/" + name, encodeTga(image, image.width >= 256));
        }
    }
    files.emplace_back("bin/texture/hubble2min.tga", encodeTga(buildSky(), true));
    return files;
}

} // namespace art
