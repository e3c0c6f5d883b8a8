#include "artTextures.h"

#include "meshParts.h"

#include <cmath>

namespace art {

namespace {

Rgb mix(Rgb a, Rgb b, double t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }
Rgb times(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }

void put(Image& image, int x, int y, Rgb c) { image.set(x, y, c.r, c.g, c.b); }

// Value noise on a torus: the lattice wraps every `period` cells, so a map tiles seamlessly.
double tileNoise(double x, double y, int period, std::uint32_t seed) {
    auto lattice = [&](int i, int j) {
        i = ((i % period) + period) % period;
        j = ((j % period) + period) % period;
        return valueNoise({double(i), double(j), 0.0}, seed);
    };
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = smoothstep(0, 1, x - fx), ty = smoothstep(0, 1, y - fy);
    return lerp(lerp(lattice(ix, iy), lattice(ix + 1, iy), tx),
                lerp(lattice(ix, iy + 1), lattice(ix + 1, iy + 1), tx), ty);
}

double tileFractal(double u, double v, int period, std::uint32_t seed, int octaves) {
    double sum = 0, weight = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const int p = period << o;
        sum += weight * tileNoise(u * p, v * p, p, seed + std::uint32_t(o) * 31u);
        norm += weight;
        weight *= 0.5;
    }
    return sum / norm;
}

// Distance in texels from (x, y) to the nearest line of a grid of `cell` texels.
double gridDistance(double x, double y, double cell) {
    const double fx = x - std::floor(x / cell) * cell, fy = y - std::floor(y / cell) * cell;
    return std::min(std::min(fx, cell - fx), std::min(fy, cell - fy));
}

} // namespace

Image rockTexture(int width, int height, std::uint32_t seed, Rgb light, Rgb dark,
                  const CraterField& craters) {
    Image image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vec3 d = unitDirection((x + 0.5) / width, (y + 0.5) / height);
            const double broad = fractalNoise(d * 3.0, seed, 4);
            const double grain = fractalNoise(d * 40.0, seed + 5, 3);
            const double crater = craters(d);
            double t = clamp01(0.55 + 0.7 * broad + 0.35 * grain);
            t = clamp01(t + (crater < 0 ? 0.45 * crater : 0.5 * crater));
            Rgb c = mix(dark, light, t);
            const double speck = valueNoise(d * 180.0, seed + 9);
            if (speck > 0.8) {
                c = times(c, 1.25);
            }
            put(image, x, y, c);
        }
    }
    return image;
}

Image panelTexture(int size, std::uint32_t seed, Rgb base, Rgb accent) {
    Image image(size, size, 3);
    const double cell = size / 8.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            // Panels: cells of the grid, every other row split in two, each its own shade.
            const int cx = int(x / cell), cy = int(y / cell);
            const bool split = (cy % 2) == 1;
            const int half = split && (x - cx * cell) > cell / 2 ? 1 : 0;
            const double shade = 0.85 + 0.2 * (0.5 + 0.5 * valueNoise({cx * 3.1 + half, cy * 1.7, 0.5}, seed));
            Rgb c = times(base, shade);
            if ((cx + 2 * cy) % 7 == 3) {
                c = mix(c, accent, 0.75);
            }
            const double grime = tileFractal(u, v, 4, seed + 1, 4);
            c = times(c, 0.92 + 0.16 * grime);
            double seam = gridDistance(x + 0.5, y + 0.5, cell);
            if (split) {
                seam = std::min(seam, std::fabs((x + 0.5) - (cx * cell + cell / 2)));
            }
            if (seam < 1.0) {
                c = times(c, 0.45);
            } else if (seam < 2.0) {
                c = times(c, 1.15);
            }
            // Rivets near panel corners.
            const double rx = x + 0.5 - (cx * cell + 4.0), ry = y + 0.5 - (cy * cell + 4.0);
            if (rx * rx + ry * ry < 2.0) {
                c = times(c, 0.6);
            }
            put(image, x, y, c);
        }
    }
    return image;
}

namespace {

// Around: four quarters alternately dark and light; along: the nose is red, the middle carries a
// red band.
Rgb rocketBodyColour(double u, double v) {
    const int quarter = int(u * 4.0);
    const bool darkQuarter = (quarter % 2) == (v > 0.55 ? 1 : 0);
    Rgb c = darkQuarter ? Rgb{0.12, 0.12, 0.14} : Rgb{0.95, 0.95, 0.92};
    if (v < 0.22) {
        c = {0.9, 0.12, 0.08};
    } else if (v > 0.42 && v < 0.47) {
        c = {0.9, 0.12, 0.08};
    }
    const double ring = std::fabs(v * 16.0 - std::floor(v * 16.0 + 0.5));
    if (ring < 0.03) {
        c = times(c, 0.6);
    }
    return times(c, 0.95 + 0.1 * tileFractal(u, v, 8, 77, 3));
}

// Warning stripes, with the warm tint the fins' paint has.
Rgb rocketFinColour(double u, double v) {
    const bool stripe = int(std::floor((u + v) * 6.0)) % 2 == 0;
    const Rgb c = times(stripe ? Rgb{0.95, 0.75, 0.1} : Rgb{0.1, 0.1, 0.1},
                        0.9 + 0.2 * tileFractal(u, v, 4, 91, 3));
    return {c.r, c.g * 0.95, c.b * 0.9};
}

} // namespace

Image rocketTexture(int size) {
    Image image(2 * size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < 2 * size; ++x) {
            const double u = (x % size + 0.5) / size, v = (y + 0.5) / size;
            put(image, x, y, x < size ? rocketBodyColour(u, v) : rocketFinColour(u, v));
        }
    }
    return image;
}

Image laserTexture(int size) {
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            // Brightest along the middle of the bolt, with a faint flicker around it.
            const double along = 1.0 - std::fabs(2.0 * v - 1.0);
            const double flicker = 0.85 + 0.15 * tileNoise(u * 8, v * 8, 8, 5);
            const double core = smoothstep(0.0, 0.6, along) * flicker;
            put(image, x, y, Rgb{1.0, lerp(0.45, 1.0, core), lerp(0.35, 0.95, core)});
        }
    }
    return image;
}

Image metalTexture(int size, std::uint32_t seed, Rgb base) {
    Image image(size, size, 3);
    const double cell = size / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const double brushed = tileNoise(u * 4, v * 64, 4 * 16, seed) * 0.5 +
                                   tileNoise(u * 2, v * 32, 32, seed + 3) * 0.5;
            Rgb c = times(base, 0.9 + 0.2 * brushed);
            const double seam = gridDistance(x + 0.5, y + 0.5, cell);
            if (seam < 1.0) {
                c = times(c, 0.5);
            }
            // A yellow and black warning band across the bottom of each plate.
            const double inCell = (y + 0.5) - std::floor((y + 0.5) / cell) * cell;
            if (inCell > 3 && inCell < 9) {
                const bool band = int(std::floor((x + inCell) / 6.0)) % 2 == 0;
                c = band ? Rgb{0.85, 0.7, 0.1} : Rgb{0.08, 0.08, 0.08};
            }
            put(image, x, y, c);
        }
    }
    return image;
}

namespace {

void paintGauge(Image& image, double cx, double cy, double r, double needle, Rgb face) {
    for (int y = int(cy - r - 2); y <= int(cy + r + 2); ++y) {
        for (int x = int(cx - r - 2); x <= int(cx + r + 2); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > r + 1.5) {
                continue;
            }
            Rgb c = d > r - 1.5 ? Rgb{0.7, 0.7, 0.75} : face;
            // The needle: points within a pixel of the segment from the centre.
            const double nx = dcos(needle), ny = dsin(needle);
            const double along = dx * nx + dy * ny, across = std::fabs(-dx * ny + dy * nx);
            if (along > 0 && along < r - 3 && across < 1.0) {
                c = {1.0, 0.5, 0.1};
            }
            for (int tick = 0; tick < 8; ++tick) {
                const double a = tick * pi / 4;
                const double tx = cx + (r - 4) * dcos(a), ty = cy + (r - 4) * dsin(a);
                if ((x + 0.5 - tx) * (x + 0.5 - tx) + (y + 0.5 - ty) * (y + 0.5 - ty) < 1.5) {
                    c = {0.9, 0.9, 0.9};
                }
            }
            put(image, x, y, c);
        }
    }
}

void paintRect(Image& image, int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            put(image, x, y, c);
        }
    }
}

} // namespace

Image cockpitTexture(int size) {
    Image image(size, size, 3);
    const int plating = size * 3 / 5; // rows below are strut plating, rows above instruments
    const int band = plating / 3;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const double grain = tileFractal(u, v, 8, 404, 3);
            if (y >= plating) {
                put(image, x, y, times(Rgb{0.09, 0.10, 0.12}, 0.9 + 0.2 * grain));
                continue;
            }
            // Three bands of plating, dark, mid and light, each a plate with a bevelled
            // border, an orange trim line and a row of rivets.
            const int b = std::min(2, y / band);
            const int y0 = b * band, y1 = (b + 1) * band;
            const double shades[3] = {0.45, 0.75, 1.1};
            Rgb c = times(Rgb{0.36, 0.38, 0.44}, shades[b] * (0.9 + 0.2 * grain));
            const int edge = std::min(std::min(x, size - 1 - x), std::min(y - y0, y1 - 1 - y));
            if (edge < 2) {
                c = times(c, 1.35);
            } else if (edge < 4) {
                c = times(c, 0.55);
            } else if (y - y0 >= 7 && y - y0 < 9) {
                c = times(Rgb{0.9, 0.45, 0.1}, shades[b]);
            }
            const double rx = (x % 24) + 0.5 - 12, ry = y + 0.5 - (y1 - 8);
            if (rx * rx + ry * ry < 3) {
                c = times(c, 0.5);
            }
            put(image, x, y, c);
        }
    }
    // The instrument panel, 2.5 times as wide as high: gauges, a radar, rows of lights.
    const double s = size / 256.0;
    const double y0 = plating;
    paintRect(image, 0, plating, size, plating + int(3 * s), {0.5, 0.52, 0.58});
    paintRect(image, 0, size - int(3 * s), size, size, {0.5, 0.52, 0.58});
    const Rgb face{0.04, 0.05, 0.07};
    paintGauge(image, 28 * s, y0 + 50 * s, 20 * s, 0.6, face);
    paintGauge(image, 74 * s, y0 + 50 * s, 20 * s, 2.2, face);
    paintGauge(image, 182 * s, y0 + 50 * s, 20 * s, -0.9, face);
    paintGauge(image, 228 * s, y0 + 50 * s, 20 * s, 1.4, face);
    for (int y = int(y0 + 18 * s); y < int(y0 + 84 * s); ++y) {
        for (int x = int(100 * s); x < int(156 * s); ++x) {
            const double dx = x + 0.5 - 128 * s, dy = y + 0.5 - (y0 + 51 * s);
            const double d = std::sqrt(dx * dx + dy * dy);
            Rgb c{0.02, 0.12, 0.04};
            if (std::fabs(d - 13 * s) < 0.8 || std::fabs(d - 26 * s) < 0.8 || std::fabs(dx) < 0.6 ||
                std::fabs(dy) < 0.6) {
                c = {0.1, 0.6, 0.2};
            }
            if ((dx - 9 * s) * (dx - 9 * s) + (dy + 7 * s) * (dy + 7 * s) < 5 * s * s) {
                c = {0.6, 1.0, 0.5};
            }
            if (d < 27.5 * s) {
                put(image, x, y, c);
            }
        }
    }
    const Rgb lights[4] = {{0.9, 0.1, 0.1}, {0.1, 0.9, 0.2}, {0.95, 0.7, 0.1}, {0.2, 0.5, 1.0}};
    for (int k = 0; k < 14; ++k) {
        const int x0 = int((12 + k * 17) * s), yl = int(y0 + 84 * s);
        paintRect(image, x0, yl, x0 + int(10 * s), yl + int(6 * s), lights[(k * 3) % 4]);
    }
    paintRect(image, int(12 * s), int(y0 + 6 * s), int(244 * s), int(y0 + 14 * s), {0.05, 0.22, 0.32});
    return image;
}

Image skyTexture(int size) {
    Image image(size, size, 3);
    const Rgb space{0.006, 0.006, 0.02};
    const Rgb violet{0.45, 0.14, 0.6}, blue{0.1, 0.28, 0.7}, rose{0.75, 0.22, 0.35};
    std::vector<Rgb> colour(std::size_t(size) * size, space);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            // Faint everywhere, fading to plain space at the borders so faces meet cleanly.
            const double border = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            const double window = smoothstep(0.02, 0.3, border);
            const Vec3 p{u * 3.0, v * 3.0, 0.37};
            const Vec3 warp{fractalNoise(p, 11, 3), fractalNoise(p + Vec3{5.2, 1.3, 0}, 12, 3), 0};
            const Vec3 q = p + warp * 1.2;
            const double cloud = smoothstep(-0.1, 0.5, fractalNoise(q, 13, 6));
            const double hue = 0.5 + 0.5 * fractalNoise(q * 0.7, 14, 3);
            const double dust = smoothstep(0.1, 0.7, fractalNoise(q * 2.5, 15, 5));
            Rgb neb = mix(mix(blue, violet, smoothstep(0.2, 0.6, hue)), rose,
                          smoothstep(0.55, 0.85, hue));
            const double amount = window * cloud * (0.35 + 0.65 * dust);
            colour[std::size_t(y) * size + x] = mix(space, neb, amount * 0.85);
        }
    }
    Random random(2024);
    auto addLight = [&](int x, int y, Rgb c) {
        Rgb& p = colour[std::size_t(y) * size + x];
        p = {p.r + c.r, p.g + c.g, p.b + c.b};
    };
    const int stars = size * size / 200;
    for (int s = 0; s < stars; ++s) {
        const int x = 4 + int(random.uniform() * (size - 8));
        const int y = 4 + int(random.uniform() * (size - 8));
        const double t = random.uniform();
        const double brightness = 0.2 + 1.1 * t * t * t;
        const double tint = random.uniform();
        const Rgb c = times(mix(Rgb{0.75, 0.85, 1.0}, Rgb{1.0, 0.9, 0.7}, tint), brightness);
        addLight(x, y, c);
        if (brightness > 0.6) {
            // A soft halo and a small cross for the brightest stars.
            for (int dy = -3; dy <= 3; ++dy) {
                for (int dx = -3; dx <= 3; ++dx) {
                    const double d2 = dx * dx + dy * dy;
                    if (d2 == 0) {
                        continue;
                    }
                    double k = 0.35 / (1.0 + 2.5 * d2);
                    if (dx == 0 || dy == 0) {
                        k += 0.25 / (1.0 + d2);
                    }
                    addLight(x + dx, y + dy, times(c, k));
                }
            }
        }
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            put(image, x, y, colour[std::size_t(y) * size + x]);
        }
    }
    return image;
}

} // namespace art
