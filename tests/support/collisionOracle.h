#pragma once
// The registry the plain way (scans, free number tried 1, 2, 3..., every ordered pair tested),
// which the game's must match byte for byte. Free of gtest for the benchmark.

#include "app/function.h"
#include "collision/collisionInfo.h"

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
    bool testColli(CollisionInfo a, CollisionInfo b) {
        float d = function.distance(a.x, a.y, a.z, b.x, b.y, b.z);
        return double(d) <= double(a.getRadius()) + double(b.getRadius());
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
    void print() {
        std::cout << "\n on print";
        for (const CollisionInfo& info : infos) {
            std::cout << "\nind: " << info.index;
            if (info.calculated)
                std::cout << " x: " << info.x << " y: " << info.y << " z: " << info.z
                          << " typ: " << info.type;
            else
                std::cout << " not calculated";
        }
        std::cout << "\n fin du print";
    }

    Function function;
    std::vector<CollisionInfo> infos;
};

// Sends std::cout into a string for the lifetime of the object.
class ConsoleCapture {
  public:
    ConsoleCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(previous); }
    std::string take() { // everything written since the last take
        std::string text = buffer.str();
        buffer.str(std::string());
        return text;
    }

  private:
    std::ostringstream buffer;
    std::streambuf* previous;
};
