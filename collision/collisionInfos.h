#pragma once
// The collision registry: one record per colliding entity, indexes handed out lowest free
// first, positions taken in every frame, and one pairwise overlap test per frame whose marks
// the entities read in the next frame. Records are never removed; erasing frees the index.
//
// Every fired projectile adds a record for good, so the registry keeps side tables (the free
// numbers, where each live number is stored) and finds overlaps through a grid of cells
// instead of trying every pair. The results, console lines included, are those of the plain
// all-pairs walk in storage order.

#include "app/function.h"
#include "collision/collisionInfo.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

// The registry's records in order of addition, read-only to everyone but the registry: a
// record changed from outside would leave the side tables pointing at the wrong place.
class CollisionRecords {
  public:
    using const_iterator = std::vector<CollisionInfo>::const_iterator;

    std::size_t size() const { return records.size(); }
    bool empty() const { return records.empty(); }
    const CollisionInfo& operator[](std::size_t position) const { return records[position]; }
    const_iterator begin() const { return records.begin(); }
    const_iterator end() const { return records.end(); }
    operator const std::vector<CollisionInfo>&() const { return records; }

  private:
    friend class CollisionInfos;
    std::vector<CollisionInfo> records;
};

class CollisionInfos {
  public:
    CollisionInfos();

    int addModel();
    int getFirstDispoIndex();
    void replace(CollisionInfo info);
    bool update();
    bool testColli(CollisionInfo a, CollisionInfo b);
    CollisionInfo getInfoIndex(int index);
    void erase(int index);
    void print();

    Function function;
    CollisionRecords infos; // every record ever added, in order of addition

  private:
    // The centre and radius of one live record with a finite centre, for one test pass.
    struct Sphere {
        float x, y, z, radius;
        std::uint32_t position; // in storage
    };
    // A sphere's grid cell, numbered in the order x, then y, then z.
    struct CellEntry {
        std::uint64_t cell;
        std::uint32_t entry; // in spheres
    };
    // Two storage positions whose spheres overlap, in the order the pair walk meets them.
    struct StoredPair {
        std::uint32_t first, second;
    };

    void fillGrid();
    void collectSpheres();
    void numberCells();
    void sortByCell();
    void findOverlappingPairs();
    void scanRow(std::size_t from, std::size_t entry, std::uint64_t last);
    void sortPairsByPosition(std::uint32_t StoredPair::*position);
    bool replayPairsInStorageOrder();
    int positionOf(int index) const; // storage position of the live record, or -1

    int highestIndex = 0;             // largest number ever handed out
    std::set<int> freedIndexes;       // numbers up to highestIndex that no live record holds
    std::vector<int> positionOfIndex; // by number: storage position of its live record, or -1
    std::ptrdiff_t firstErased = -1;  // storage position of the first erased record, or -1

    // Scratch of the test pass, kept to spare allocations from frame to frame.
    std::vector<Sphere> spheres, sortedSpheres; // in storage order, then in cell order
    std::vector<CellEntry> byCell, sortedByCell;
    std::vector<std::uint64_t> cells;       // of the spheres once in cell order
    std::uint64_t strideX = 0, strideY = 0; // cell number steps of one cell along x and y
    std::vector<StoredPair> pairs, sortedPairs;
    std::vector<std::size_t> positionCounts; // pairs per storage position, then where each goes
    std::string consoleText;                 // the lines of a registry print or of a pass's pairs
};
