#include "meshParts.h"

#include <stdexcept>

namespace art {

std::uint32_t Part::add(Vec3 p, double u, double v) {
    positions.push_back(p);
    uvs.push_back({float(u), float(v)});
    return std::uint32_t(positions.size() - 1);
}

Vec3 unitDirection(double u, double v) {
    const double longitude = 2.0 * pi * u;
    const double latitude = pi * (v - 0.5);
    const double c = dcos(latitude);
    return {c * dcos(longitude), dsin(latitude), -c * dsin(longitude)};
}

Part sphere(int segments, int rings, const std::function<double(Vec3)>& radius) {
    Part part;
    for (int j = 0; j <= rings; ++j) {
        for (int i = 0; i <= segments; ++i) {
            // Pole vertices sit at the middle of their segment so their texture is not torn.
            const bool pole = j == 0 || j == rings;
            const double u = (i + (pole ? 0.5 : 0.0)) / segments;
            const double v = double(j) / rings;
            const Vec3 d = unitDirection(u, v);
            part.add(d * radius(d), u, v);
        }
    }
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j) {
        for (int i = 0; i < segments; ++i) {
            const auto a = std::uint32_t(j * row + i), b = a + 1;
            const auto c = std::uint32_t(b + row), d = std::uint32_t(a + row);
            if (j == 0) {
                part.triangle(a, c, d);
            } else if (j == rings - 1) {
                part.triangle(a, b, d);
            } else {
                part.quad(a, b, c, d);
            }
        }
    }
    orientOutward(part);
    return part;
}

Part lathe(const std::vector<ProfilePoint>& profile, int segments, double uRepeat, double vPerUnit) {
    Part part;
    const int row = segments + 1;
    double along = 0;
    for (std::size_t k = 0; k < profile.size(); ++k) {
        if (k > 0) {
            const double dr = profile[k].r - profile[k - 1].r, dz = profile[k].z - profile[k - 1].z;
            along += std::sqrt(dr * dr + dz * dz);
        }
        for (int i = 0; i <= segments; ++i) {
            const double u = double(i) / segments;
            const double a = 2.0 * pi * u;
            part.add({profile[k].r * dcos(a), profile[k].r * dsin(a), profile[k].z}, u * uRepeat,
                     along * vPerUnit);
        }
    }
    for (std::size_t k = 0; k + 1 < profile.size(); ++k) {
        const bool sameRing = profile[k].r == profile[k + 1].r && profile[k].z == profile[k + 1].z;
        if (sameRing) {
            continue;
        }
        for (int i = 0; i < segments; ++i) {
            const auto a = std::uint32_t(k * row + i), b = a + 1;
            const auto c = std::uint32_t(b + row), d = std::uint32_t(a + row);
            if (profile[k].r == 0) {
                part.triangle(a, c, d);
            } else if (profile[k + 1].r == 0) {
                part.triangle(a, b, d);
            } else {
                part.quad(a, b, c, d);
            }
        }
    }
    orientOutward(part);
    return part;
}

namespace {

// One flat face: corners in order around it, texture planar along its two edges.
void face(Part& part, Vec3 a, Vec3 b, Vec3 c, Vec3 d, double unitsPerRepeat) {
    const double w = length(b - a) / unitsPerRepeat, h = length(d - a) / unitsPerRepeat;
    const auto i = part.add(a, 0, 0);
    part.add(b, w, 0);
    part.add(c, w, h);
    part.add(d, 0, h);
    part.quad(i, i + 1, i + 2, i + 3);
}

} // namespace

Part box(Vec3 h, double unitsPerRepeat) {
    return beam({0, 0, -h.z}, {0, 0, h.z}, 2 * h.x, 2 * h.y, {0, 1, 0}, unitsPerRepeat);
}

Part beam(Vec3 a, Vec3 b, double width, double height, Vec3 up, double unitsPerRepeat) {
    const Vec3 along = normalize(b - a);
    const Vec3 side = normalize(cross(along, up)) * (width / 2);
    const Vec3 top = normalize(cross(side, along)) * (height / 2);
    Vec3 c[8];
    for (int k = 0; k < 8; ++k) {
        const Vec3 base = (k & 4) ? b : a;
        c[k] = base + side * ((k & 1) ? 1.0 : -1.0) + top * ((k & 2) ? 1.0 : -1.0);
    }
    Part part;
    face(part, c[0], c[1], c[3], c[2], unitsPerRepeat); // end at a
    face(part, c[4], c[6], c[7], c[5], unitsPerRepeat); // end at b
    face(part, c[0], c[4], c[5], c[1], unitsPerRepeat); // bottom
    face(part, c[2], c[3], c[7], c[6], unitsPerRepeat); // top
    face(part, c[0], c[2], c[6], c[4], unitsPerRepeat); // one side
    face(part, c[1], c[5], c[7], c[3], unitsPerRepeat); // other side
    orientConvex(part);
    return part;
}

Part extrude(const std::vector<std::array<double, 2>>& outline, double thickness,
             double unitsPerRepeat) {
    Part part;
    const double y0 = -thickness / 2, y1 = thickness / 2;
    const std::size_t n = outline.size();
    for (double y : {y0, y1}) {
        const auto first = std::uint32_t(part.positions.size());
        for (const auto& p : outline) {
            part.add({p[0], y, p[1]}, p[0] / unitsPerRepeat, p[1] / unitsPerRepeat);
        }
        for (std::size_t k = 1; k + 1 < n; ++k) {
            if (y == y0) {
                part.triangle(first, first + std::uint32_t(k + 1), first + std::uint32_t(k));
            } else {
                part.triangle(first, first + std::uint32_t(k), first + std::uint32_t(k + 1));
            }
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        const auto& p = outline[k];
        const auto& q = outline[(k + 1) % n];
        face(part, {p[0], y0, p[1]}, {q[0], y0, q[1]}, {q[0], y1, q[1]}, {p[0], y1, p[1]},
             unitsPerRepeat);
    }
    orientConvex(part);
    return part;
}

Part plate(const std::vector<std::array<double, 2>>& outline, double unitsPerRepeat) {
    Part part;
    for (const auto& p : outline) {
        part.add({p[0], 0, p[1]}, p[0] / unitsPerRepeat, p[1] / unitsPerRepeat);
    }
    for (std::uint32_t k = 1; k + 1 < outline.size(); ++k) {
        part.triangle(0, k, k + 1);
    }
    return part;
}

void transform(Part& part, const std::function<Vec3(Vec3)>& f) {
    for (Vec3& p : part.positions) {
        p = f(p);
    }
}

void translate(Part& part, Vec3 offset) {
    transform(part, [&](Vec3 p) { return p + offset; });
}

void scale(Part& part, Vec3 k) {
    transform(part, [&](Vec3 p) { return Vec3{p.x * k.x, p.y * k.y, p.z * k.z}; });
    // A mirroring scale turns the piece inside out.
    if (k.x * k.y * k.z < 0) {
        for (auto& t : part.triangles) {
            std::swap(t[1], t[2]);
        }
    }
}

void rotateX(Part& part, double degrees) {
    const double c = dcos(degrees * pi / 180), s = dsin(degrees * pi / 180);
    transform(part, [&](Vec3 p) { return Vec3{p.x, c * p.y - s * p.z, s * p.y + c * p.z}; });
}

void rotateY(Part& part, double degrees) {
    const double c = dcos(degrees * pi / 180), s = dsin(degrees * pi / 180);
    transform(part, [&](Vec3 p) { return Vec3{c * p.x + s * p.z, p.y, -s * p.x + c * p.z}; });
}

void rotateZ(Part& part, double degrees) {
    const double c = dcos(degrees * pi / 180), s = dsin(degrees * pi / 180);
    transform(part, [&](Vec3 p) { return Vec3{c * p.x - s * p.y, s * p.x + c * p.y, p.z}; });
}

void orientOutward(Part& part) {
    double volume = 0;
    for (const auto& t : part.triangles) {
        volume += dot(part.positions[t[0]], cross(part.positions[t[1]], part.positions[t[2]]));
    }
    if (volume < 0) {
        for (auto& t : part.triangles) {
            std::swap(t[1], t[2]);
        }
    }
}

void orientConvex(Part& part) {
    Vec3 centre{0, 0, 0};
    for (const Vec3& p : part.positions) {
        centre = centre + p * (1.0 / double(part.positions.size()));
    }
    for (auto& t : part.triangles) {
        const Vec3 a = part.positions[t[0]], b = part.positions[t[1]], c = part.positions[t[2]];
        const Vec3 mid = (a + b + c) * (1.0 / 3.0);
        if (dot(cross(b - a, c - a), mid - centre) < 0) {
            std::swap(t[1], t[2]);
        }
    }
}

double maxRadius(const std::vector<Vec3>& points) {
    double r = 0;
    for (const Vec3& p : points) {
        r = std::max(r, length(p));
    }
    return r;
}

Object3ds ObjectBuilder::build() const {
    Object3ds o;
    o.name = name;
    for (const auto& [part, material] : pieces) {
        const auto base = std::uint32_t(o.vertices.size());
        o.vertices.insert(o.vertices.end(), part.positions.begin(), part.positions.end());
        if (textured) {
            o.texCoords.insert(o.texCoords.end(), part.uvs.begin(), part.uvs.end());
        }
        FaceGroup3ds* group = nullptr;
        for (auto& g : o.groups) {
            if (g.material == material) {
                group = &g;
            }
        }
        if (group == nullptr) {
            o.groups.push_back({material, {}});
            group = &o.groups.back();
        }
        for (const auto& t : part.triangles) {
            group->faces.push_back(std::uint16_t(o.triangles.size()));
            o.triangles.push_back({std::uint16_t(t[0] + base), std::uint16_t(t[1] + base),
                                   std::uint16_t(t[2] + base)});
        }
    }
    if (o.vertices.size() > 65535 || o.triangles.size() > 65535) {
        throw std::runtime_error("object " + name + " is too large for 16-bit indices");
    }
    return o;
}

} // namespace art
