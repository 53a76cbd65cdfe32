// The broad phase of the collision pass.
//
// The sweep it replaces walks the boxes in order of minimum z and, for each box i, the boxes j
// after it until one starts above i's top; of those it keeps the pairs that overlap in x and y.
// Because the boxes are sorted by minimum z, box j's bottom is never below box i's, so the
// sweep keeps exactly the pairs i < j whose boxes overlap on all three axes (touching counts),
// ordered by i, then j. On a drawing whose objects stand on a few floors the sweep sees a
// whole floor as candidates for every box of it, and the pass degrades into testing all pairs.
//
// The grid finds the same set without that degradation:
// 1. Choose the grid: a uniform grid over the boxes' bounds, its cell about the mean box length
//    so that a box covers few cells, grown until there are at most about four cells per box
//    so that memory stays linear in the boxes.
// 2. File the boxes in the cells they cover, with a counting sort into one array (a count per
//    cell, prefix sums, then the entries), so that no cell owns a container. An entry carries a
//    copy of its box, so the pair loop reads one cell's boxes from contiguous memory. A box
//    that would cover more than a few hundred cells is not filed but kept in a list of large
//    boxes.
// 3. Test the pairs within each cell. Two overlapping boxes share their overlap, a box whose
//    low corner lies in both. The cell of a coordinate never decreases as the coordinate grows,
//    so the low corner's cell is, per axis, the larger of the two boxes' low cells, and both
//    boxes are filed in it (each covers the cells from its low corner's to its high corner's).
//    That cell, and no other, reports the pair: each overlapping pair of filed boxes comes
//    exactly once. Both boxes' low cells are at most that cell's, so per axis one of them is
//    that cell's: an entry carries the axes on which its cell is its box's low cell, and the
//    two entries' axes together must be all three.
// 4. Test each large box against every box; a pair of two large boxes only from the one with
//    the smaller index.
// 5. Put the pairs in the sweep's order: a counting sort on the first index, done in place
//    (each pair is swapped straight into its bucket's next free slot, so that a drawing's
//    million candidate pairs are held once), then a sort of each first index's run by the
//    second (the runs are short).
#include "collision/box_pair_finder.h"

#include "engine/memory_hints.h"
#include "engine/validate.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// Candidate pairs per box that Prepare makes room for.
constexpr std::size_t cPairsPerBoxReserved = 8;
// Cells per box whose entries Prepare writes once (a box is filed in every cell it covers).
constexpr std::size_t cCellsPerBoxPrewritten = 5;
// Up to this many checks in one cell, the pair list is given room for all of them at once.
constexpr std::size_t cCellChecksAtOnce = 4096;
// Boxes covering more cells than this go to the list tested against everything.
constexpr int cLargeCellCount = 256;

// Evaluated without short cuts: one well-predicted branch instead of six poorly predicted ones.
inline bool Overlap(const TAABB& a, const TAABB& b) {
    return (a.min.x <= b.max.x) & (b.min.x <= a.max.x) & (a.min.y <= b.max.y) &
           (b.min.y <= a.max.y) & (a.min.z <= b.max.z) & (b.min.z <= a.max.z);
}

int CellsCovered(const int (&lo)[3], const int (&hi)[3]) {
    return (hi[0] - lo[0] + 1) * (hi[1] - lo[1] + 1) * (hi[2] - lo[2] + 1);
}

// Turns counts per bucket, held one place up (counts[b + 1]), into each bucket's start.
void PrefixSums(std::vector<int>& counts) {
    for (std::size_t b = 1; b < counts.size(); ++b) {
        counts[b] += counts[b - 1];
    }
}

#if defined(HK_VALIDATE)
// The pairs of the plain sweep over `boxes`, sorted by minimum z.
std::vector<TBoxPairFinder::TPair> SweepPairs(const std::vector<TAABB>& boxes) {
    std::vector<TBoxPairFinder::TPair> pairs;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const TAABB& a = boxes[i];
        for (std::size_t j = i + 1; j < boxes.size() && boxes[j].min.z <= a.max.z; ++j) {
            const TAABB& b = boxes[j];
            if (a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y &&
                b.min.y <= a.max.y) {
                pairs.push_back({int(i), int(j)});
            }
        }
    }
    return pairs;
}

bool Before(const TBoxPairFinder::TPair& a, const TBoxPairFinder::TPair& b) {
    return a.first < b.first || (a.first == b.first && a.second < b.second);
}

void ValidatePairs(const std::vector<TAABB>& boxes,
                   const std::vector<TBoxPairFinder::TPair>& pairs) {
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        HK_VALIDATE_CHECK(boxes[i - 1].min.z <= boxes[i].min.z,
                          "broad-phase boxes come sorted by minimum z");
    }
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        HK_VALIDATE_CHECK(pairs[k].first < pairs[k].second, "broad-phase pair has i < j");
        HK_VALIDATE_CHECK(k == 0 || Before(pairs[k - 1], pairs[k]),
                          "broad-phase pairs ordered by i, then j, each once");
    }
    const std::vector<TBoxPairFinder::TPair> sweep = SweepPairs(boxes);
    const auto same = [](const TBoxPairFinder::TPair& a, const TBoxPairFinder::TPair& b) {
        return a.first == b.first && a.second == b.second;
    };
    HK_VALIDATE_CHECK(std::equal(pairs.begin(), pairs.end(), sweep.begin(), sweep.end(), same),
                      "broad-phase pairs equal the plain sweep's");
}
#endif

} // namespace

void TBoxPairFinder::Find(const std::vector<TAABB>& boxes) {
    pairs_.clear();
    largeBoxes_.clear();
    if (boxes.size() < 2) {
        return;
    }
    ChooseGrid(boxes);
    FileBoxesInCells(boxes);
    EmitCellPairs();
    EmitLargeBoxPairs(boxes);
    SortPairs(int(boxes.size()));
#if defined(HK_VALIDATE)
    ValidatePairs(boxes, pairs_);
#endif
}

void TBoxPairFinder::FindAround(const std::vector<TAABB>& boxes, const std::vector<int>& moved,
                                const std::vector<TPair>& kept) {
    pairs_.assign(kept.begin(), kept.end());
    const int n = int(boxes.size());
    moved_.assign(boxes.size(), 0);
    for (int c : moved) {
        moved_[std::size_t(c)] = 1;
    }
    for (int c : moved) {
        const TAABB& a = boxes[std::size_t(c)];
        // A pair of two moved boxes is emitted from the lower rank. Boxes after c start no
        // lower than c; past the first that starts above c's top none can reach it.
        for (int r = 0; r < c; ++r) {
            if (!moved_[std::size_t(r)] && Overlap(a, boxes[std::size_t(r)])) {
                Emit(r, c);
            }
        }
        for (int r = c + 1; r < n && boxes[std::size_t(r)].min.z <= a.max.z; ++r) {
            if (Overlap(a, boxes[std::size_t(r)])) {
                Emit(c, r);
            }
        }
    }
    SortPairs(n);
}

void TBoxPairFinder::Prepare(std::size_t boxes) {
    const std::size_t cells = 4 * boxes + 16;
    Prewrite(cellStart_, cells + 1);
    Prewrite(nextSlot_, cells);
    Prewrite(cellRanges_, boxes);
    Prewrite(cellEntries_, cCellsPerBoxPrewritten * boxes);
    Prewrite(pairStart_, boxes + 1);
    // Room for a few candidate pairs per box, so that a pass does not grow the list through
    // a chain of doublings, each leaving a freed block behind in the heap.
    Prewrite(pairs_, cPairsPerBoxReserved * boxes);
}

// The cell size starts at the mean over the boxes of the sum of their three extents, and grows
// by half until the grid has at most 4n + 16 cells. For the long, thin boxes of pipes that sum
// is about a segment's length, so that a segment covers one or two cells along its run; a
// smaller cell would file each box in many cells, a larger one would put many boxes that do
// not meet in one cell.
void TBoxPairFinder::ChooseGrid(const std::vector<TAABB>& boxes) {
    const double n = double(boxes.size());
    double lo[3], hi[3], extent = 0;
    for (int k = 0; k < 3; ++k) {
        lo[k] = boxes[0].min[k];
        hi[k] = boxes[0].max[k];
    }
    for (const TAABB& b : boxes) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], double(b.min[k]));
            hi[k] = std::max(hi[k], double(b.max[k]));
            extent += double(b.max[k]) - double(b.min[k]);
        }
    }
    double span[3];
    for (int k = 0; k < 3; ++k) {
        span[k] = std::max(hi[k] - lo[k], 0.0);
    }
    const auto cellCount = [&span](double cell) {
        double total = 1;
        for (double w : span) {
            total *= std::floor(w / cell) + 1;
        }
        return total;
    };
    const double maxCells = 4.0 * n + 16;
    double cell = std::max(extent / n, 1e-30);
    while (cellCount(cell) > maxCells) {
        cell *= 1.5;
    }
    inverseCell_ = float(1.0 / cell);
    for (int k = 0; k < 3; ++k) {
        origin_[k] = float(lo[k]);
        dims_[k] = int(std::floor(span[k] / cell)) + 1;
    }
}

int TBoxPairFinder::CellOf(int axis, float v) const {
    return std::clamp(int((v - origin_[axis]) * inverseCell_), 0, dims_[axis] - 1);
}

TBoxPairFinder::TCellRange TBoxPairFinder::CellRangeOf(const TAABB& box) const {
    TCellRange r;
    for (int k = 0; k < 3; ++k) {
        r.lo[k] = CellOf(k, box.min[k]);
        r.hi[k] = CellOf(k, box.max[k]);
    }
    return r;
}

void TBoxPairFinder::FileBoxesInCells(const std::vector<TAABB>& boxes) {
    const int cellCount = CellCount();
    // Visits each cell of the range with the axes on which it is the range's low cell.
    const auto forEachCell = [this](const TCellRange& r, auto&& visit) {
        for (int z = r.lo[2]; z <= r.hi[2]; ++z) {
            for (int y = r.lo[1]; y <= r.hi[1]; ++y) {
                for (int x = r.lo[0]; x <= r.hi[0]; ++x) {
                    visit(CellIndex(x, y, z), unsigned(x == r.lo[0]) | unsigned(y == r.lo[1]) << 1 |
                                                  unsigned(z == r.lo[2]) << 2);
                }
            }
        }
    };
    // Count the entries of each cell, one place up, and set the large boxes aside.
    cellStart_.assign(std::size_t(cellCount) + 1, 0);
    cellRanges_.resize(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        TCellRange& r = cellRanges_[i];
        r = CellRangeOf(boxes[i]);
        if (CellsCovered(r.lo, r.hi) > cLargeCellCount) {
            largeBoxes_.push_back(int(i));
            r.hi[0] = r.lo[0] - 1; // covers no cell
            continue;
        }
        forEachCell(r, [this](int cell, unsigned) { ++cellStart_[std::size_t(cell) + 1]; });
    }
    PrefixSums(cellStart_);
    // File each box in its cells, in box order.
    cellEntries_.resize(std::size_t(cellStart_.back()));
    nextSlot_.assign(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const TCellRange& r = cellRanges_[i];
        forEachCell(r, [&](int cell, unsigned lowAxes) {
            cellEntries_[std::size_t(nextSlot_[cell]++)] = {boxes[i], int(i), lowAxes};
        });
    }
}

void TBoxPairFinder::EmitCellPairs() {
    const int cellCount = CellCount();
    for (int cell = 0; cell < cellCount; ++cell) {
        EmitPairsInCell(cell);
    }
}

// Only the cell of the overlap's low corner reports the pair.
void TBoxPairFinder::EmitPairsInCell(int cell) {
    const TCellEntry* first = cellEntries_.data() + cellStart_[std::size_t(cell)];
    const TCellEntry* last = cellEntries_.data() + cellStart_[std::size_t(cell) + 1];
    const auto k = std::size_t(last - first);
    if (k < 2) {
        return;
    }
    // Every check writes its pair and keeps it only when the check holds, so that the loop
    // does not branch on an outcome that is as good as random. Room is made for all the
    // cell's checks at once, or in a crowded cell for one box's at a time, so that a cell of
    // many boxes that do not meet does not grow the list by all its checks. A cell's entries
    // are in box order, so each pair comes with its lower index first.
    const bool roomPerBox = k * (k - 1) / 2 > cCellChecksAtOnce;
    std::size_t count = pairs_.size();
    pairs_.resize(count + (roomPerBox ? k - 1 : k * (k - 1) / 2));
    for (const TCellEntry* a = first; a < last; ++a) {
        if (roomPerBox) {
            pairs_.resize(count + std::size_t(last - a - 1));
        }
        TPair* out = pairs_.data();
        for (const TCellEntry* b = a + 1; b < last; ++b) {
            const bool keep = Overlap(a->box, b->box) & ((a->lowAxes | b->lowAxes) == 7);
            out[count] = {a->index, b->index};
            count += std::size_t(keep);
        }
    }
    pairs_.resize(count);
}

void TBoxPairFinder::EmitLargeBoxPairs(const std::vector<TAABB>& boxes) {
    const auto isLarge = [this](int i) {
        const TCellRange& r = cellRanges_[std::size_t(i)];
        return r.hi[0] < r.lo[0];
    };
    for (int i : largeBoxes_) {
        for (int j = 0; j < int(boxes.size()); ++j) {
            if (j != i && (!isLarge(j) || j > i) &&
                Overlap(boxes[std::size_t(i)], boxes[std::size_t(j)])) {
                Emit(i, j);
            }
        }
    }
}

void TBoxPairFinder::Emit(int i, int j) {
    if (i > j) {
        std::swap(i, j);
    }
    pairs_.push_back({i, j});
}

void TBoxPairFinder::SortPairs(int boxCount) {
    pairStart_.assign(std::size_t(boxCount) + 1, 0);
    for (const TPair& p : pairs_) {
        ++pairStart_[std::size_t(p.first) + 1];
    }
    PrefixSums(pairStart_);
    // Bucket b's slots below nextSlot_[b] hold its pairs; the pair met at a bucket's next slot
    // is swapped along into the buckets it belongs to until one that belongs here comes back.
    nextSlot_.assign(pairStart_.begin(), pairStart_.end() - 1);
    for (int b = 0; b < boxCount; ++b) {
        const int end = pairStart_[std::size_t(b) + 1];
        for (int& slot = nextSlot_[std::size_t(b)]; slot < end; ++slot) {
            TPair p = pairs_[std::size_t(slot)];
            while (p.first != b) {
                std::swap(p, pairs_[std::size_t(nextSlot_[std::size_t(p.first)]++)]);
            }
            pairs_[std::size_t(slot)] = p;
        }
    }
    for (int i = 0; i < boxCount; ++i) {
        const auto runBegin = pairs_.begin() + pairStart_[std::size_t(i)];
        const auto runEnd = pairs_.begin() + pairStart_[std::size_t(i) + 1];
        if (runEnd - runBegin > 1) {
            std::sort(runBegin, runEnd,
                      [](const TPair& a, const TPair& b) { return a.second < b.second; });
        }
    }
}

} // namespace hk
