#pragma once
// What the game writes to its console when nobody touches a key, from the game's rules alone
// (it shares no code with the game). With no key the view is a pure translation by
// (0, -3, -20), the cockpit stands at (0, 3.2, 15.5), and positions move by fixed steps per
// frame, so the bytes do not depend on timing.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace transcript {

// Kind numbers as the registry's dump writes them; 12 is a rocket, 13 a laser.
constexpr int asteroidWithKanone = 4, toutatis = 6, brakiri = 7, golevka = 9, clipper = 10;

inline float radiusOf(int type) {
    static const float radii[] = {0,     0, 0,      0,      2.0f, 0, 1.77f,
                                  5.48f, 0, 1.615f, 4.975f, 0,    2, 2.07f};
    return type >= 0 && type < 14 ? radii[type] : 0.0f;
}

// Squares and their sum in double, from float differences, returned as float.
inline float distance(float x1, float y1, float z1, float x2, float y2, float z2) {
    const double dx = double(x1 - x2), dy = double(y1 - y2), dz = double(z1 - z2);
    return float(std::sqrt(std::pow(dx, 2.0) + std::pow(dy, 2.0) + std::pow(dz, 2.0)));
}

enum class Motion { still, ship, follower };

struct Entity {
    int index, type;
    Motion motion;
    float x, y, z;                // placement in the world
    bool drawn = false;           // the registry holds a measured position
    float ex = 0, ey = 0, ez = 0; // that position, in eye space
};

inline std::string text(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

struct Model {
    // The test scene in the order of its collision indexes, which is also walk order.
    std::vector<Entity> entities = {
        {1, golevka, Motion::still, -3, 3, 0},   {2, asteroidWithKanone, Motion::still, 3, -3, 0},
        {3, clipper, Motion::ship, -2, -2, -15}, {4, golevka, Motion::follower, -3, 3, -10},
        {5, toutatis, Motion::still, 3, 3, -10}, {6, brakiri, Motion::ship, -3, 3, -15}};
    // The eye at (0, 3, 20) unturned; the cockpit 4.5 ahead (-z) and 0.2 up, the offset formed
    // in double from the unturned axes and added in float.
    float cockpitX = 0.0f, cockpitY = 3.0f + float(0.2), cockpitZ = 20.0f + float(double(-4.5f));

    std::string frame() {
        std::string out = "\n on print"; // the view moves the world by (0, -3, -20) only
        for (Entity& e : entities) {
            // Ships stop within 3 of the cockpit; nothing moves before its position is first
            // measured.
            const float step = e.motion == Motion::ship ? 0.5f : 0.8f;
            const float dx = cockpitX - e.ex, dy = cockpitY - e.ey, dz = cockpitZ - e.ez;
            const float d = distance(cockpitX, cockpitY, cockpitZ, e.ex, e.ey, e.ez);
            if (e.drawn && e.motion != Motion::still && (e.motion != Motion::ship || d > 3.0f)) {
                e.x += float(dx / d * step), e.y += float(dy / d * step),
                    e.z += float(dz / d * step);
            }
            e.drawn = true, e.ex = e.x, e.ey = e.y + -3.0f, e.ez = e.z + -20.0f;
            out += "\nind: " + std::to_string(e.index) + " x: " + text(e.ex) + " y: " + text(e.ey) +
                   " z: " + text(e.ez) + " typ: " + std::to_string(e.type);
        }
        out += "\n fin du print";
        // Every ordered pair, the earlier record first in the outer loop.
        for (const Entity& a : entities) {
            for (const Entity& b : entities) {
                const float d = distance(a.ex, a.ey, a.ez, b.ex, b.ey, b.ez);
                if (a.index != b.index &&
                    double(d) <= double(radiusOf(a.type)) + double(radiusOf(b.type))) {
                    out +=
                        "\n****************! !!! collision entre ind1: " + std::to_string(a.index) +
                        " et " + std::to_string(b.index);
                }
            }
        }
        return out;
    }
};

inline std::string banner() {
    return "**********************************\n"
           "*       Zephrandolinth v0.1      *\n"
           "**********************************\n"
           "\n    Arrow Up:    Turn up\n    Arrow Down:  Turn down\n    Arrow Left:  Turn left"
           "\n    Arrow Right: Turn right\n    Page Up:     Increase speed"
           "\n    Page Down:   Reduce speed\n    F2:          Fire rocket";
}

// The world's start-up: the asset registry's two lines (the cannon's texture count among
// them), then six collision indexes for the six entities and one line per insertion.
inline std::string startUp(int cannonTextures) {
    std::string out = "\n une geometrie est initialisee\n ******* nb nbTextureKan : " +
                      std::to_string(cannonTextures) + "  ******* \n\n premier dispo: 1";
    for (int index = 2; index <= 6; ++index) {
        out += "\n premier dispo: " + std::to_string(index) +
               "\n on a reussi a en faire un vertex ajout\xE9";
    }
    return out + "on a reussi a init la scene";
}

// The texture maps a 3DS file's materials name (one slot each), counted by a walk of the chunks
// that hold them: main, editor, material, and the two kinds of map.
inline int mapNamesIn(const std::vector<unsigned char>& file, std::size_t from, std::size_t end) {
    int maps = 0;
    for (std::size_t length; end - from >= 6; from += length) {
        const auto byte = [&](std::size_t at) { return std::size_t(file[from + at]); };
        const std::size_t id = byte(0) | byte(1) << 8;
        length = byte(2) | byte(3) << 8 | byte(4) << 16 | byte(5) << 24;
        if (length < 6 || length > end - from) {
            break;
        }
        const bool holdsMaps =
            id == 0x4D4D || id == 0x3D3D || id == 0xAFFF || id == 0xA200 || id == 0xA030;
        maps += id == 0xA300 ? 1 : holdsMaps ? mapNamesIn(file, from + 6, from + length) : 0;
    }
    return maps;
}

// An untouched session's console through frame `count`, for the cannon's art as `cannon` holds
// it (its texture count is that of the maps the art names), every line break written as
// `newline`.
inline std::string untouched(const std::vector<unsigned char>& cannon, int count,
                             const std::string& newline = "\n") {
    std::string text = banner() + startUp(mapNamesIn(cannon, 0, cannon.size()));
    for (Model model; count > 0; --count) {
        text += model.frame();
    }
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? newline : std::string(1, c);
    }
    return out;
}

} // namespace transcript
