// The collision pass's candidate finder: for boxes already sorted by minimum z it yields the
// pairs the z sweep would keep (the later box starts in z no higher than the earlier one ends,
// and the two overlap in x and y, touching included), in the sweep's order. A uniform grid over
// x, y and z finds them, so that drawings whose objects share a few elevations do not degrade
// into testing all pairs. Nothing persists from one call to the next but buffer capacity.
#pragma once

#include "engine/vector_types.h"

#include <cstdint>
#include <vector>

namespace hk {

class TBoxPairFinder {
public:
    // `boxes` sorted by min.z ascending, every coordinate finite, min <= max. Afterwards
    // Pairs() holds each overlapping pair (i, j), i < j, ordered by i, then j.
    void Find(const std::vector<TAABB>& boxes);

    struct TPair {
        int first, second;
    };
    const std::vector<TPair>& Pairs() const { return pairs_; }

private:
    int CellOf(int axis, float v) const;
    void Emit(int i, int j);
    void SortPairs(int count);

    float origin_[3] = {0, 0, 0};
    float inverseCell_ = 1;
    int dims_[3] = {1, 1, 1};
    // The cells a box covers, lowest and highest per axis.
    struct TCellRange {
        int lo[3], hi[3];
    };
    // A box filed in a cell: its box for the overlap test, its index, and its low cell.
    struct TCellEntry {
        TAABB box;
        int index;
        int low[3];
    };
    std::vector<TCellRange> ranges_;
    std::vector<int> cellStart_;
    std::vector<TCellEntry> cellEntries_;
    std::vector<int> large_;
    std::vector<int> fill_;
    std::vector<int> pairStart_;
    std::vector<std::uint64_t> raw_;
    std::vector<TPair> pairs_;
};

} // namespace hk
