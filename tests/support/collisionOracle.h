#pragma once
// The registry the plain way (scans, free number tried 1, 2, 3..., every ordered pair tested,
// its own radii and distance), which the game's must match byte for byte. Free of gtest for the
// benchmark.

#include "collision/collisionInfo.h"

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// A record as a draw leaves it: measured, at (x, y, z), of kind `type`.
inline CollisionInfo reported(int index, int type, float x, float y = 0, float z = 0) {
    CollisionInfo info(index);
    info.calculated = true;
    info.x = x, info.y = y, info.z = z, info.type = type;
    return info;
}

class AllPairsRegistry {
  public:
    int addModel() {
        int index = getFirstDispoIndex();
        infos.push_back(CollisionInfo(index));
        return index;
    }
    int getFirstDispoIndex() {
        int candidate = 1;
        while (getInfoIndex(candidate).index == candidate)
            ++candidate;
        std::cout << "\n premier dispo: " << candidate;
        return candidate;
    }
    void replace(CollisionInfo info) {
        for (auto it = infos.rbegin(); info.index != -1 && it != infos.rend(); ++it) {
            if (it->index == info.index) {
                *it = info;
                return;
            }
        }
    }
    bool update() {
        for (CollisionInfo& info : infos)
            info.collision = false;
        bool found = false;
        for (CollisionInfo& a : infos) {
            for (CollisionInfo& b : infos) {
                if (a.index != -1 && b.index != -1 && a.index != b.index && testColli(a, b)) {
                    std::cout << "\n****************! !!! collision entre ind1: " << a.index
                              << " et " << b.index;
                    a.collision = b.collision = found = true;
                    a.collisionType = b.type;
                    b.collisionType = a.type;
                }
            }
        }
        return found;
    }
    // The rules' radii as floats, by kind number: 4 the cannon group, 6 Toutatis, 7 Brakiri,
    // 9 Golevka, 10 Clipper, 12 a rocket, 13 a laser; every other number sits at a point.
    static float radiusOf(int type) {
        const float radii[] = {0,     0, 0,      0,      2.0f, 0,    1.77f,
                               5.48f, 0, 1.615f, 4.975f, 0,    2.0f, 2.07f};
        return type >= 0 && type < 14 ? radii[type] : 0.0f;
    }
    // Touching counts: the float nearest the distance of the float differences against the
    // exact sum of the radii. A NaN distance meets nothing.
    bool testColli(CollisionInfo a, CollisionInfo b) {
        const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
        const float apart = float(std::sqrt(dx * dx + dy * dy + dz * dz));
        return apart <= double(radiusOf(a.type)) + radiusOf(b.type);
    }
    CollisionInfo getInfoIndex(int index) {
        for (const CollisionInfo& info : infos)
            if (info.index == index)
                return info;
        return CollisionInfo();
    }
    void erase(int index) {
        std::cout << "\non esaie d eraser " << index;
        for (CollisionInfo& info : infos)
            info.index = info.index == index ? -1 : info.index;
        std::cout << "\non a reussi d eraser " << index;
    }
    // A float as the game writes it on every system: a NaN keeps its sign, as glibc writes
    // it, where MinGW's stream drops it.
    static std::string shown(float value) {
        if (std::isnan(value)) {
            return std::signbit(value) ? "-nan" : "nan";
        }
        std::ostringstream text;
        text << value;
        return text.str();
    }
    void print() {
        std::cout << "\n on print";
        for (const CollisionInfo& info : infos) {
            std::cout << "\nind: " << info.index;
            if (info.calculated)
                std::cout << " x: " << shown(info.x) << " y: " << shown(info.y)
                          << " z: " << shown(info.z) << " typ: " << info.type;
            else
                std::cout << " not calculated";
        }
        std::cout << "\n fin du print";
    }

    std::vector<CollisionInfo> infos;
};
