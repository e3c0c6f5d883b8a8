#pragma once
// What the game writes to its console when nobody touches a key, from the game's rules alone
// (it shares no code with the game). With no key the view is a pure translation by
// (0, -3, -20), the cockpit stands at (0, 3.2, 15.5), and positions move by fixed steps per
// frame, so the bytes do not depend on timing.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace transcript {

// Kind numbers as the registry's dump writes them.
constexpr int asteroidWithKanone = 4, toutatis = 6, brakiri = 7, golevka = 9, clipper = 10;

inline float radiusOf(int type) {
    switch (type) {
    case asteroidWithKanone: return 2.0f;
    case toutatis: return 1.77f;
    case brakiri: return 5.48f;
    case golevka: return 1.615f;
    case clipper: return 4.975f;
    case 12: return 2.0f;
    case 13: return 2.07f;
    default: return 0.0f;
    }
}

// Squares and their sum in double, from float differences, returned as float.
inline float distance(float x1, float y1, float z1, float x2, float y2, float z2) {
    const double dx = double(x1 - x2), dy = double(y1 - y2), dz = double(z1 - z2);
    return float(std::sqrt(std::pow(dx, 2.0) + std::pow(dy, 2.0) + std::pow(dz, 2.0)));
}

enum class Motion { still, ship, follower };

struct Entity {
    int index;
    int type;
    Motion motion;
    float x, y, z;          // placement in the world
    bool drawn = false;     // the registry holds a measured position
    float ex = 0, ey = 0, ez = 0; // that position, in eye space
};

inline std::string text(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

struct Model {
    std::vector<Entity> entities;
    float cockpitX, cockpitY, cockpitZ;

    Model() {
        // The test scene in the order of its collision indexes, which is also walk order.
        entities = {
            {1, golevka, Motion::still, -3, 3, 0},
            {2, asteroidWithKanone, Motion::still, 3, -3, 0},
            {3, clipper, Motion::ship, -2, -2, -15},
            {4, golevka, Motion::follower, -3, 3, -10},
            {5, toutatis, Motion::still, 3, 3, -10},
            {6, brakiri, Motion::ship, -3, 3, -15},
        };
        // The eye at (0, 3, 20) unturned; the cockpit 4.5 ahead (-z) and 0.2 up, the offset
        // formed in double from the unturned axes and added in float.
        const double zAxisY = 0.0, zAxisZ = 1.0, yAxisY = 1.0, yAxisZ = 0.0;
        cockpitX = 0.0f;
        cockpitY = 3.0f + float(zAxisY * double(-4.5f) + yAxisY * 0.2);
        cockpitZ = 20.0f + float(zAxisZ * double(-4.5f) + yAxisZ * 0.2);
    }

    void stepToward(Entity& e, float stepLength, bool stopsWithin3) {
        const float dx = cockpitX - e.ex, dy = cockpitY - e.ey, dz = cockpitZ - e.ez;
        const float d = distance(cockpitX, cockpitY, cockpitZ, e.ex, e.ey, e.ez);
        if (stopsWithin3 && !(d > 3.0f)) {
            return;
        }
        e.x += float(dx / d * stepLength);
        e.y += float(dy / d * stepLength);
        e.z += float(dz / d * stepLength);
    }

    void advance() {
        for (Entity& e : entities) {
            if (!e.drawn) {
                continue; // nothing is known of where it is yet
            }
            if (e.motion == Motion::ship) {
                stepToward(e, 0.5f, true);
            } else if (e.motion == Motion::follower) {
                stepToward(e, 0.8f, false);
            }
        }
    }

    // The view moves the world by (0, -3, -20) and turns nothing.
    void draw() {
        for (Entity& e : entities) {
            e.drawn = true;
            e.ex = e.x;
            e.ey = e.y + -3.0f;
            e.ez = e.z + -20.0f;
        }
    }

    std::string dump() const {
        std::string out = "\n on print";
        for (const Entity& e : entities) {
            out += "\nind: " + std::to_string(e.index);
            if (e.drawn) {
                out += " x: " + text(e.ex) + " y: " + text(e.ey) + " z: " + text(e.ez) +
                       " typ: " + std::to_string(e.type);
            } else {
                out += " not calculated";
            }
        }
        return out + "\n fin du print";
    }

    // Every ordered pair, the earlier record first in the outer loop.
    std::string collisions() const {
        std::string out;
        for (const Entity& a : entities) {
            for (const Entity& b : entities) {
                if (a.index == b.index) {
                    continue;
                }
                const float d = distance(a.ex, a.ey, a.ez, b.ex, b.ey, b.ez);
                const double reach = double(radiusOf(a.type)) + double(radiusOf(b.type));
                if (double(d) <= reach) {
                    out += "\n****************! !!! collision entre ind1: " +
                           std::to_string(a.index) + " et " + std::to_string(b.index);
                }
            }
        }
        return out;
    }

    std::string frame() {
        advance();
        draw();
        return dump() + collisions();
    }
};

inline std::string banner() {
    return "**********************************\n"
           "*       Zephrandolinth v0.1      *\n"
           "**********************************\n"
           "\n    Arrow Up:    Turn up"
           "\n    Arrow Down:  Turn down"
           "\n    Arrow Left:  Turn left"
           "\n    Arrow Right: Turn right"
           "\n    Page Up:     Increase speed"
           "\n    Page Down:   Reduce speed"
           "\n    F2:          Fire rocket";
}

// The world's start-up: the asset registry's two lines (the cannon's texture count among
// them), then six collision indexes for the six entities and one line per insertion.
inline std::string startUp(int cannonTextures) {
    std::string out = "\n une geometrie est initialisee";
    out += "\n ******* nb nbTextureKan : " + std::to_string(cannonTextures) + "  ******* \n";
    out += "\n premier dispo: 1";
    for (int index = 2; index <= 6; ++index) {
        out += "\n premier dispo: " + std::to_string(index);
        out += "\n on a reussi a en faire un vertex ajout\xE9";
    }
    return out + "on a reussi a init la scene";
}

inline std::string frames(int count) {
    Model model;
    std::string out;
    for (int frame = 0; frame < count; ++frame) {
        out += model.frame();
    }
    return out;
}

// The number of texture maps a 3DS file names: every map-name chunk (0xA300) under a
// material's texture-map (0xA200) or specular (0xA030) chunk takes one slot. -1 when the
// file cannot be read.
inline int textureMapsNamedIn(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return -1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    auto u16 = [&](std::size_t at) {
        return unsigned(std::uint8_t(bytes[at])) | unsigned(std::uint8_t(bytes[at + 1])) << 8;
    };
    auto u32 = [&](std::size_t at) { return std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16; };
    int maps = 0;
    // Children of the chunk whose data spans [begin, end); `wanted` lists the ids walked into.
    struct Span {
        std::size_t begin, end;
        int level;
    };
    if (bytes.size() < 6) {
        return 0;
    }
    std::vector<Span> pending{{6, std::min<std::size_t>(bytes.size(), u32(2)), 0}};
    const unsigned path3ds[] = {0x3D3D, 0xAFFF, 0, 0xA300};
    while (!pending.empty()) {
        const Span span = pending.back();
        pending.pop_back();
        for (std::size_t at = span.begin; at + 6 <= span.end;) {
            const unsigned id = u16(at);
            const std::size_t length = u32(at + 2);
            if (length < 6) {
                break;
            }
            const std::size_t end = std::min(span.end, at + length);
            const bool mapHolder = span.level == 2 && (id == 0xA200 || id == 0xA030);
            if (span.level == 3 && id == path3ds[3]) {
                ++maps;
            } else if (mapHolder || (span.level < 2 && id == path3ds[span.level])) {
                pending.push_back({at + 6, end, span.level + 1});
            }
            at += length;
        }
    }
    return maps;
}

} // namespace transcript
