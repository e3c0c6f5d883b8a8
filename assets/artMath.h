#pragma once
// Small, bit-reproducible maths for the art generator and the game's desktop icon. The generated
// files must be the same bytes on every machine, so nothing here calls the C library's
// transcendental functions (whose last bits differ between library versions): sine and cosine
// are our own polynomials, and only +, -, *, / and sqrt are used, which IEEE 754 rounds the same
// way everywhere. The generator and these sources are compiled with -ffp-contract=off so that no
// fused multiply-add changes a bit.

#include <cmath>
#include <cstdint>

namespace art {

constexpr double pi = 3.14159265358979323846;

// Sine on [-pi/2, pi/2] by its Taylor series up to x^17 (error below 1e-15).
inline double sinNear(double x) {
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 8; ++n) {
        term = -term * x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

inline double dsin(double x) {
    const double turns = std::floor(x / (2.0 * pi) + 0.5);
    double r = x - turns * (2.0 * pi); // now in [-pi, pi]
    if (r > pi / 2) {
        r = pi - r;
    } else if (r < -pi / 2) {
        r = -pi - r;
    }
    return sinNear(r);
}

inline double dcos(double x) { return dsin(x + pi / 2); }

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalize(Vec3 a) {
    const double l = length(a);
    return l > 0 ? a * (1.0 / l) : Vec3{0, 0, 0};
}

// SplitMix64: a fixed, seeded generator, so every run draws the same numbers.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1), from the top 53 bits.
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    Vec3 unitVector() {
        for (;;) {
            Vec3 v{range(-1, 1), range(-1, 1), range(-1, 1)};
            const double l2 = dot(v, v);
            if (l2 > 1e-4 && l2 <= 1.0) {
                return v * (1.0 / std::sqrt(l2));
            }
        }
    }

  private:
    std::uint64_t state;
};

// Smooth 3D value noise in [-1, 1] on an integer lattice hashed with `seed`.
double valueNoise(Vec3 p, std::uint32_t seed);
// Fractal sum of `octaves` value-noise layers, each twice the frequency and `gain` the weight.
double fractalNoise(Vec3 p, std::uint32_t seed, int octaves, double gain = 0.5);

} // namespace art
