#include "collision/collisionInfos.h"

#include "app/console.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <numeric>
#include <string>
#include <string_view>

namespace {

// The cheap first look widens the squared reach by a thousandth: the float distance of the exact
// test is rounded several times, and the first look must never turn away a pair it accepts.
constexpr double kReachSlack = 1.001;
// A widening by a factor gives no room at all when the reach is 0 (two records of radius 0):
// this floor keeps some there too.
constexpr double kReachFloor = 1e-30;
// The exact test may accept centres a rounding further apart than the reach (its distance is a
// rounded float): grid cells a hundredth wider than the widest reach still hold such centres
// in the same or in neighbouring cells.
constexpr double kCellSlack = 1.01;

// The one overlap rule, shared by testColli and the grid pass so that both decide alike: the
// float distance of the centres, widened, against the double sum of the two float radii.
// Touching counts; a NaN or infinite centre gives a NaN or infinite distance and never counts.
bool spheresOverlap(const Function& function, float ax, float ay, float az, float aRadius, float bx,
                    float by, float bz, float bRadius) {
    float d = function.distance(ax, ay, az, bx, by, bz);
    double r = double(aRadius) + double(bRadius);
    return double(d) <= r;
}

// Cell numbers are clamped to about a million either way of the eye: clamping keeps
// neighbouring cells neighbours and only lumps far-away records into the border cells, where
// the exact test still tells them apart.
constexpr double kCellLimit = double(1 << 20);

std::int32_t cellNumber(float coordinate, double cellsPerUnit) {
    double cell = std::floor(double(coordinate) * cellsPerUnit);
    return std::int32_t(std::min(std::max(cell, -kCellLimit), kCellLimit));
}

// A cheap and generous first look before the exact test: the squared distance of the centres,
// from the same float differences, against the squared reach with room for every rounding of
// the float distance. It only ever turns away pairs that the exact test would turn away.
bool mayOverlap(float ax, float ay, float az, float aRadius, float bx, float by, float bz,
                float bRadius) {
    float dx = ax - bx;
    float dy = ay - by;
    float dz = az - bz;
    double squared = double(dx) * dx + double(dy) * dy + double(dz) * dz;
    double reach = double(aRadius) + double(bRadius);
    return squared <= reach * reach * kReachSlack + kReachFloor;
}

// A frame's registry lines, gathered and written to the console at once. After minutes of held
// fire a frame holds tens of thousands of them, and formatting them through the stream piece by
// piece cost the game as much as all the rest of its own work. The bytes are the stream's: an
// int in decimal, a float as "%g" writes it (six significant digits). The text is gathered in
// the registry's own scratch string, whose room is kept from frame to frame.
class ConsoleText {
  public:
    explicit ConsoleText(std::string& scratch) : text_(scratch) { text_.clear(); }
    ConsoleText& operator<<(std::string_view text) {
        text_.append(text);
        return *this;
    }
    ConsoleText& operator<<(int number) {
        char digits[16];
        return append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    }
    ConsoleText& operator<<(float number) {
        // "%g" in the C locale the game never leaves: the bytes std::to_chars writes in its
        // general format with six digits (the browser's C++ library has no floating-point
        // to_chars). C libraries disagree on the sign of a NaN (MinGW's drops it), so the words
        // for values that are not finite are written here, as glibc writes them.
        if (!std::isfinite(number)) {
            return *this << (std::signbit(number) ? "-" : "")
                         << (std::isnan(number) ? "nan" : "inf");
        }
        char digits[32];
        const int length = std::snprintf(digits, sizeof digits, "%g", double(number));
        return append(digits, digits + std::clamp(length, 0, int(sizeof digits) - 1));
    }
    void write() { std::cout.write(text_.data(), std::streamsize(text_.size())); }

  private:
    ConsoleText& append(const char* first, const char* last) {
        text_.append(first, std::size_t(last - first));
        return *this;
    }
    std::string& text_;
};

bool finite(const CollisionInfo& info) {
    return std::isfinite(info.x) && std::isfinite(info.y) && std::isfinite(info.z);
}

} // namespace

CollisionInfos::CollisionInfos() = default;

int CollisionInfos::addModel() {
    int index = getFirstDispoIndex();
    if (index > highestIndex) {
        highestIndex = index;
        positionOfIndex.resize(std::size_t(index) + 1, -1);
    } else {
        freedIndexes.erase(index);
    }
    positionOfIndex[std::size_t(index)] = int(infos.records.size());
    infos.records.push_back(CollisionInfo(index));
    return index;
}

int CollisionInfos::getFirstDispoIndex() {
    int index = freedIndexes.empty() ? highestIndex + 1 : *freedIndexes.begin();
    if (consoleOn()) {
        std::cout << "\n premier dispo: " << index;
    }
    return index;
}

void CollisionInfos::replace(CollisionInfo info) {
    // A number that no live record holds changes nothing; in particular -1, the mark of
    // erased records, never reaches them and brings none back.
    int position = positionOf(info.index);
    if (position >= 0) {
        infos.records[std::size_t(position)] = info;
    }
}

bool CollisionInfos::update() {
    for (CollisionInfo& info : infos.records) {
        info.collision = false;
    }
    fillGrid();
    findOverlappingPairs();
    return replayPairsInStorageOrder();
}

bool CollisionInfos::testColli(CollisionInfo a, CollisionInfo b) {
    return spheresOverlap(function, a.x, a.y, a.z, a.getRadius(), b.x, b.y, b.z, b.getRadius());
}

CollisionInfo CollisionInfos::getInfoIndex(int index) {
    // The first record holding -1 is the first erased one.
    int position = index == -1 ? int(firstErased) : positionOf(index);
    return position >= 0 ? infos.records[std::size_t(position)] : CollisionInfo();
}

void CollisionInfos::erase(int index) {
    const bool console = consoleOn();
    if (console) {
        std::cout << "\non esaie d eraser " << index;
    }
    int position = positionOf(index);
    if (position >= 0) {
        infos.records[std::size_t(position)].index = -1;
        positionOfIndex[std::size_t(index)] = -1;
        freedIndexes.insert(index);
        if (firstErased < 0 || position < firstErased) {
            firstErased = position;
        }
    }
    if (console) {
        std::cout << "\non a reussi d eraser " << index;
    }
}

void CollisionInfos::print() {
    if (!consoleOn()) {
        return;
    }
    ConsoleText lines(consoleText);
    lines << "\n on print";
    for (const CollisionInfo& info : infos.records) {
        lines << "\nind: " << info.index;
        if (info.calculated) {
            lines << " x: " << info.x << " y: " << info.y << " z: " << info.z
                  << " typ: " << info.type;
        } else {
            lines << " not calculated";
        }
    }
    lines << "\n fin du print";
    lines.write();
}

int CollisionInfos::positionOf(int index) const {
    if (index < 1 || index > highestIndex) {
        return -1;
    }
    return positionOfIndex[std::size_t(index)];
}

void CollisionInfos::fillGrid() {
    collectSpheres();
    if (spheres.empty()) {
        cells.clear();
        return;
    }
    numberCells();
    sortByCell();
}

void CollisionInfos::collectSpheres() {
    spheres.clear();
    for (std::size_t position = 0; position < infos.records.size(); ++position) {
        const CollisionInfo& info = infos.records[position];
        // Erased records are never tested; a non-finite centre never overlaps anything.
        if (info.index != -1 && finite(info)) {
            spheres.push_back({info.x, info.y, info.z, info.getRadius(), std::uint32_t(position)});
        }
    }
}

void CollisionInfos::numberCells() {
    float low[] = {spheres[0].x, spheres[0].y, spheres[0].z};
    float high[] = {low[0], low[1], low[2]};
    float largestRadius = 0.0f;
    for (const Sphere& sphere : spheres) {
        const float centre[] = {sphere.x, sphere.y, sphere.z};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], centre[axis]);
            high[axis] = std::max(high[axis], centre[axis]);
        }
        largestRadius = std::max(largestRadius, sphere.radius);
    }
    // Any two overlapping centres are less than a cell apart on every axis, even with the
    // rounding of the float distance, so they sit in the same or in neighbouring cells.
    const double cellsPerUnit = 1.0 / std::max(2.0 * double(largestRadius) * kCellSlack, 1.0);
    // Cells are numbered x, then y, then z, from one below the lowest occupied cell to one
    // above the highest, so that a neighbour's number is this one's plus a fixed step and
    // never wraps into another row. Cell numbers grow with the coordinate, so the extreme
    // centres give the extreme cells.
    std::int32_t lowCell[3];
    for (int axis = 0; axis < 3; ++axis) {
        lowCell[axis] = cellNumber(low[axis], cellsPerUnit);
    }
    strideY = std::uint64_t(cellNumber(high[2], cellsPerUnit) - lowCell[2]) + 3;
    strideX = strideY * (std::uint64_t(cellNumber(high[1], cellsPerUnit) - lowCell[1]) + 3);
    byCell.resize(spheres.size());
    for (std::size_t entry = 0; entry < spheres.size(); ++entry) {
        const Sphere& sphere = spheres[entry];
        byCell[entry].cell =
            std::uint64_t(cellNumber(sphere.x, cellsPerUnit) - lowCell[0] + 1) * strideX +
            std::uint64_t(cellNumber(sphere.y, cellsPerUnit) - lowCell[1] + 1) * strideY +
            std::uint64_t(cellNumber(sphere.z, cellsPerUnit) - lowCell[2] + 1);
        byCell[entry].entry = std::uint32_t(entry);
    }
}

void CollisionInfos::sortByCell() {
    // A radix sort, eleven bits at a time, skipping digits that all entries share: the cells
    // of a field of the game's size fit in two digits. With 10,000 records std::sort in its
    // place makes the whole frame of registry work about 40% slower (tools/bench/collisionBench).
    constexpr int kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t(1) << kDigitBits;
    std::uint64_t highestCell = 0;
    for (const CellEntry& entry : byCell) {
        highestCell = std::max(highestCell, entry.cell);
    }
    std::vector<std::size_t> counts(kBuckets);
    for (int shift = 0; shift < 64 && (highestCell >> shift) != 0; shift += kDigitBits) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const CellEntry& entry : byCell) {
            ++counts[(entry.cell >> shift) & (kBuckets - 1)];
        }
        if (std::find(counts.begin(), counts.end(), byCell.size()) != counts.end()) {
            continue; // one digit for all
        }
        std::size_t start = 0;
        for (std::size_t& count : counts) {
            std::size_t here = count;
            count = start;
            start += here;
        }
        sortedByCell.resize(byCell.size());
        for (const CellEntry& entry : byCell) {
            sortedByCell[counts[(entry.cell >> shift) & (kBuckets - 1)]++] = entry;
        }
        byCell.swap(sortedByCell);
    }
    // The walk reads cell numbers far more often than centres: keep them apart, in cell order.
    cells.resize(byCell.size());
    sortedSpheres.resize(byCell.size());
    for (std::size_t i = 0; i < byCell.size(); ++i) {
        cells[i] = byCell[i].cell;
        sortedSpheres[i] = spheres[byCell[i].entry];
    }
    spheres.swap(sortedSpheres);
}

void CollisionInfos::findOverlappingPairs() {
    pairs.clear();
    // Each pair of neighbouring cells is visited once, from the lower of the two: the rest of
    // the entry's own row (same x and y, z up to one more), then the rows at y + 1, and at
    // x + 1 with y - 1, y and y + 1, each over z - 1 to z + 1. Those rows start at cells that
    // only grow with the entry's cell, so each keeps a cursor that moves forward only.
    const std::uint64_t rowStarts[] = {strideY - 1, strideX - strideY - 1, strideX - 1,
                                       strideX + strideY - 1};
    std::size_t cursors[] = {0, 0, 0, 0};
    const std::size_t count = spheres.empty() ? 0 : cells.size();
    for (std::size_t entry = 0; entry < count; ++entry) {
        const std::uint64_t cell = cells[entry];
        scanRow(entry + 1, entry, cell + 1);
        for (int row = 0; row < 4; ++row) {
            const std::uint64_t first = cell + rowStarts[row];
            std::size_t cursor = cursors[row];
            while (cursor < count && cells[cursor] < first) {
                ++cursor;
            }
            cursors[row] = cursor;
            if (cursor < count && cells[cursor] <= first + 2) {
                scanRow(cursor, entry, first + 2);
            }
        }
    }
}

void CollisionInfos::scanRow(std::size_t from, std::size_t entry, std::uint64_t last) {
    const Sphere& a = spheres[entry];
    for (std::size_t other = from; other < cells.size() && cells[other] <= last; ++other) {
        const Sphere& b = spheres[other];
        if (mayOverlap(a.x, a.y, a.z, a.radius, b.x, b.y, b.z, b.radius) &&
            spheresOverlap(function, a.x, a.y, a.z, a.radius, b.x, b.y, b.z, b.radius)) {
            pairs.push_back({a.position, b.position});
            pairs.push_back({b.position, a.position});
        }
    }
}

void CollisionInfos::sortPairsByPosition(std::uint32_t StoredPair::*position) {
    // A stable counting sort over storage positions: sorted by the inner record and then by the
    // outer one, the pairs come in the walk's order. After minutes of held fire a frame finds
    // tens of thousands of pairs, and a comparison sort took longer than finding them.
    positionCounts.assign(infos.records.size() + 1, 0);
    for (const StoredPair& pair : pairs) {
        ++positionCounts[pair.*position + 1];
    }
    std::partial_sum(positionCounts.begin(), positionCounts.end(), positionCounts.begin());
    sortedPairs.resize(pairs.size());
    for (const StoredPair& pair : pairs) {
        sortedPairs[positionCounts[pair.*position]++] = pair;
    }
    pairs.swap(sortedPairs);
}

bool CollisionInfos::replayPairsInStorageOrder() {
    // The all-pairs walk meets the pairs by the outer record's storage position, then the
    // inner one's, and prints the lines in that order. Every overlapping pair is held in both
    // orders, so marking the outer record of each marks both; in that order the last mark a
    // record takes is from its partner stored last, as the walk leaves it.
    sortPairsByPosition(&StoredPair::second);
    sortPairsByPosition(&StoredPair::first);
    const bool console = consoleOn();
    ConsoleText lines(consoleText);
    for (const StoredPair& pair : pairs) {
        CollisionInfo& a = infos.records[pair.first];
        const CollisionInfo& b = infos.records[pair.second];
        if (console) {
            lines << "\n****************! !!! collision entre ind1: " << a.index << " et "
                  << b.index;
        }
        a.collision = true;
        a.collisionType = b.type;
    }
    if (console) {
        lines.write();
    }
    return !pairs.empty();
}
