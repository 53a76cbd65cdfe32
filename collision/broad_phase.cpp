// A uniform grid over x, y and z, filled per call with a counting sort; each pair is reported
// only by the cell that holds the low corner of the two boxes' overlap, so no pair comes twice.
// Boxes that would cover very many cells are tested against all others instead. The pairs are
// then put in sweep order with a counting sort on the first index.
#include "collision/broad_phase.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// Boxes covering more cells than this go to the list tested against everything.
constexpr int cLargeCellCount = 256;

// Evaluated without short cuts: one well-predicted branch instead of six poorly predicted ones.
inline bool Overlap(const TAABB& a, const TAABB& b) {
    return (a.min.x <= b.max.x) & (b.min.x <= a.max.x) & (a.min.y <= b.max.y) &
           (b.min.y <= a.max.y) & (a.min.z <= b.max.z) & (b.min.z <= a.max.z);
}

} // namespace

int TBoxPairFinder::CellOf(int axis, float v) const {
    return std::clamp(int((v - origin_[axis]) * inverseCell_), 0, dims_[axis] - 1);
}

void TBoxPairFinder::Emit(int i, int j) {
    if (i > j) {
        std::swap(i, j);
    }
    raw_.push_back(std::uint64_t(std::uint32_t(i)) << 32 | std::uint32_t(j));
}

void TBoxPairFinder::Find(const std::vector<TAABB>& boxes) {
    pairs_.clear();
    raw_.clear();
    large_.clear();
    const int n = int(boxes.size());
    if (n < 2) {
        return;
    }
    // Grid bounds and a cell about the mean box size, with at most ~4 cells per box.
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
    const double maxCells = 4.0 * n + 16;
    double span[3];
    for (int k = 0; k < 3; ++k) {
        span[k] = std::max(hi[k] - lo[k], 0.0);
    }
    double cell = std::max(extent / (3.0 * n), 1e-30);
    auto cellCount = [&](double c) {
        double total = 1;
        for (double w : span) {
            total *= std::floor(w / c) + 1;
        }
        return total;
    };
    while (cellCount(cell) > maxCells) {
        cell *= 1.5;
    }
    inverseCell_ = float(1.0 / cell);
    for (int k = 0; k < 3; ++k) {
        origin_[k] = float(lo[k]);
        dims_[k] = int(std::floor(span[k] / cell)) + 1;
    }

    const int cells = dims_[0] * dims_[1] * dims_[2];
    cellStart_.assign(std::size_t(cells) + 1, 0);
    ranges_.resize(std::size_t(n));
    auto forCells = [&](const TCellRange& r, auto&& visit) {
        for (int z = r.lo[2]; z <= r.hi[2]; ++z) {
            for (int y = r.lo[1]; y <= r.hi[1]; ++y) {
                for (int x = r.lo[0]; x <= r.hi[0]; ++x) {
                    visit((z * dims_[1] + y) * dims_[0] + x);
                }
            }
        }
    };
    for (int i = 0; i < n; ++i) {
        TCellRange& r = ranges_[std::size_t(i)];
        int covered = 1;
        for (int k = 0; k < 3; ++k) {
            r.lo[k] = CellOf(k, boxes[std::size_t(i)].min[k]);
            r.hi[k] = CellOf(k, boxes[std::size_t(i)].max[k]);
            covered *= r.hi[k] - r.lo[k] + 1;
        }
        if (covered > cLargeCellCount) {
            large_.push_back(i);
            r.hi[0] = r.lo[0] - 1; // covers no cell
            continue;
        }
        forCells(r, [&](int c) { ++cellStart_[std::size_t(c) + 1]; });
    }
    for (int c = 0; c < cells; ++c) {
        cellStart_[std::size_t(c) + 1] += cellStart_[std::size_t(c)];
    }
    cellEntries_.resize(std::size_t(cellStart_[std::size_t(cells)]));
    fill_.assign(cellStart_.begin(), cellStart_.end() - 1);
    for (int i = 0; i < n; ++i) {
        const TCellRange& r = ranges_[std::size_t(i)];
        const TCellEntry entry{boxes[std::size_t(i)], i, {r.lo[0], r.lo[1], r.lo[2]}};
        forCells(r, [&](int c) { cellEntries_[std::size_t(fill_[std::size_t(c)]++)] = entry; });
    }

    // Cell indices grow with the cell's position on each axis, so the cell of the overlap's
    // low corner is, per axis, the larger of the two boxes' low cells; only that cell reports
    // the pair.
    int c = 0;
    for (int cz = 0; cz < dims_[2]; ++cz) {
        for (int cy = 0; cy < dims_[1]; ++cy) {
            for (int cx = 0; cx < dims_[0]; ++cx, ++c) {
                const int first = cellStart_[std::size_t(c)], last = cellStart_[std::size_t(c) + 1];
                for (int a = first; a < last; ++a) {
                    const TCellEntry& ea = cellEntries_[std::size_t(a)];
                    for (int b = a + 1; b < last; ++b) {
                        const TCellEntry& eb = cellEntries_[std::size_t(b)];
                        if (Overlap(ea.box, eb.box) && std::max(ea.low[0], eb.low[0]) == cx &&
                            std::max(ea.low[1], eb.low[1]) == cy &&
                            std::max(ea.low[2], eb.low[2]) == cz) {
                            Emit(ea.index, eb.index);
                        }
                    }
                }
            }
        }
    }
    for (std::size_t l = 0; l < large_.size(); ++l) {
        int i = large_[l];
        for (int j = 0; j < n; ++j) {
            bool otherLarge = std::binary_search(large_.begin(), large_.end(), j);
            if (j != i && (!otherLarge || j > i) &&
                Overlap(boxes[std::size_t(i)], boxes[std::size_t(j)])) {
                Emit(i, j);
            }
        }
    }
    SortPairs(n);
}

void TBoxPairFinder::SortPairs(int n) {
    std::vector<int>& start = pairStart_;
    start.assign(std::size_t(n) + 1, 0);
    for (std::uint64_t p : raw_) {
        ++start[std::size_t(p >> 32) + 1];
    }
    for (int i = 0; i < n; ++i) {
        start[std::size_t(i) + 1] += start[std::size_t(i)];
    }
    pairs_.resize(raw_.size());
    fill_.assign(start.begin(), start.end() - 1);
    for (std::uint64_t p : raw_) {
        int i = int(p >> 32);
        pairs_[std::size_t(fill_[std::size_t(i)]++)] = {i, int(p & 0xffffffffu)};
    }
    for (int i = 0; i < n; ++i) {
        auto b = pairs_.begin() + start[std::size_t(i)];
        auto e = pairs_.begin() + start[std::size_t(i) + 1];
        if (e - b > 1) {
            std::sort(b, e, [](const TPair& x, const TPair& y) { return x.second < y.second; });
        }
    }
}

} // namespace hk
