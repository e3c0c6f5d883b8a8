#include "collision/collisionInfos.h"

#include <iostream>

CollisionInfos::CollisionInfos() = default;

int CollisionInfos::addModel() {
    int index = getFirstDispoIndex();
    infos.push_back(CollisionInfo(index));
    return index;
}

int CollisionInfos::getFirstDispoIndex() {
    int candidate = 1;
    for (;;) {
        bool taken = false;
        for (const CollisionInfo& info : infos) {
            if (info.index == candidate) {
                taken = true;
                break;
            }
        }
        if (!taken) {
            break;
        }
        ++candidate;
    }
    std::cout << "\n premier dispo: " << candidate;
    return candidate;
}

void CollisionInfos::replace(CollisionInfo info) {
    // An index that no record holds changes nothing (a freed index, or -1 itself, which would
    // otherwise overwrite an erased record and bring it back to life).
    if (info.index == -1) {
        return;
    }
    for (auto it = infos.rbegin(); it != infos.rend(); ++it) {
        if (it->index == info.index) {
            *it = info;
            return;
        }
    }
}

bool CollisionInfos::update() {
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
                std::cout << "\n****************! !!! collision entre ind1: " << a.index << " et "
                          << b.index;
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

bool CollisionInfos::testColli(CollisionInfo a, CollisionInfo b) {
    float d = function.distance(a.x, a.y, a.z, b.x, b.y, b.z);
    double r = double(a.getRadius()) + double(b.getRadius());
    return double(d) <= r;
}

CollisionInfo CollisionInfos::getInfoIndex(int index) {
    for (const CollisionInfo& info : infos) {
        if (info.index == index) {
            return info;
        }
    }
    return CollisionInfo();
}

void CollisionInfos::erase(int index) {
    std::cout << "\non esaie d eraser " << index;
    for (CollisionInfo& info : infos) {
        if (info.index == index) {
            info.index = -1;
        }
    }
    std::cout << "\non a reussi d eraser " << index;
}

void CollisionInfos::print() {
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
