#include "assets/artMath.h"

namespace art {

namespace {

std::uint32_t hashLattice(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x27D4EB2Du;
    h ^= std::uint32_t(x) * 0x8DA6B343u;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xD8163841u;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(z) * 0xCB1AB31Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double latticeValue(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed) {
    return double(hashLattice(x, y, z, seed)) * (2.0 / 4294967295.0) - 1.0;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

} // namespace

double valueNoise(Vec3 p, std::uint32_t seed) {
    const double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    const auto ix = std::int64_t(fx), iy = std::int64_t(fy), iz = std::int64_t(fz);
    const double tx = fade(p.x - fx), ty = fade(p.y - fy), tz = fade(p.z - fz);
    double corner[2][2][2];
    for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 2; ++b) {
            for (int c = 0; c < 2; ++c) {
                corner[a][b][c] = latticeValue(ix + a, iy + b, iz + c, seed);
            }
        }
    }
    const double x00 = lerp(corner[0][0][0], corner[1][0][0], tx);
    const double x10 = lerp(corner[0][1][0], corner[1][1][0], tx);
    const double x01 = lerp(corner[0][0][1], corner[1][0][1], tx);
    const double x11 = lerp(corner[0][1][1], corner[1][1][1], tx);
    return lerp(lerp(x00, x10, ty), lerp(x01, x11, ty), tz);
}

double fractalNoise(Vec3 p, std::uint32_t seed, int octaves, double gain) {
    double sum = 0, weight = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(p, seed + std::uint32_t(i) * 101u);
        norm += weight;
        weight *= gain;
        p = p * 2.0 + Vec3{17.31, -9.77, 5.13};
    }
    return sum / norm;
}

} // namespace art
