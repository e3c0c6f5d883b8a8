#pragma once
// Test-side helpers for the collision registry: the registry written the plain way (every
// look-up a scan, the free number found by trying 1, 2, 3, ..., every ordered pair tested),
// which the game's registry must match in every returned value, record and console byte; and
// a capture of the console stream. Free of gtest so the benchmark can time it too.

#include "app/function.h"
#include "collision/collisionInfo.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

class AllPairsRegistry {
  public:
    int addModel() {
        int index = getFirstDispoIndex();
        infos.push_back(CollisionInfo(index));
        return index;
    }

    int getFirstDispoIndex() {
        int candidate = 1;
        while (holds(candidate)) {
            ++candidate;
        }
        std::cout << "\n premier dispo: " << candidate;
        return candidate;
    }

    void replace(CollisionInfo info) {
        if (info.index == -1) {
            return; // -1 is no number: erased records stay as they were
        }
        for (auto it = infos.rbegin(); it != infos.rend(); ++it) {
            if (it->index == info.index) {
                *it = info;
                return;
            }
        }
    }

    bool update() {
        for (CollisionInfo& info : infos) {
            info.collision = false;
        }
        bool found = false;
        for (CollisionInfo& a : infos) {
            for (CollisionInfo& b : infos) {
                if (a.index == -1 || b.index == -1 || a.index == b.index) {
                    continue;
                }
                if (testColli(a, b)) {
                    std::cout << "\n****************! !!! collision entre ind1: " << a.index
                              << " et " << b.index;
                    a.collision = true;
                    a.collisionType = b.type;
                    b.collision = true;
                    b.collisionType = a.type;
                    found = true;
                }
            }
        }
        return found;
    }

    bool testColli(CollisionInfo a, CollisionInfo b) {
        float d = function.distance(a.x, a.y, a.z, b.x, b.y, b.z);
        double r = double(a.getRadius()) + double(b.getRadius());
        return double(d) <= r;
    }

    CollisionInfo getInfoIndex(int index) {
        for (const CollisionInfo& info : infos) {
            if (info.index == index) {
                return info;
            }
        }
        return CollisionInfo();
    }

    void erase(int index) {
        std::cout << "\non esaie d eraser " << index;
        for (CollisionInfo& info : infos) {
            if (info.index == index) {
                info.index = -1;
            }
        }
        std::cout << "\non a reussi d eraser " << index;
    }

    void print() {
        std::cout << "\n on print";
        for (const CollisionInfo& info : infos) {
            std::cout << "\nind: " << info.index;
            if (info.calculated) {
                std::cout << " x: " << info.x << " y: " << info.y << " z: " << info.z
                          << " typ: " << info.type;
            } else {
                std::cout << " not calculated";
            }
        }
        std::cout << "\n fin du print";
    }

    Function function;
    std::vector<CollisionInfo> infos;

  private:
    bool holds(int index) const {
        for (const CollisionInfo& info : infos) {
            if (info.index == index) {
                return true;
            }
        }
        return false;
    }
};

// Sends std::cout into a string for the lifetime of the object.
class ConsoleCapture {
  public:
    ConsoleCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(previous); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Everything written since the last take, which empties the capture.
    std::string take() {
        std::string text = buffer.str();
        buffer.str(std::string());
        return text;
    }

  private:
    std::ostringstream buffer;
    std::streambuf* previous;
};
