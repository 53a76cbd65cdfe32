// The collision pass's candidate finder: for boxes already sorted by minimum z it yields the
// pairs the z sweep would keep (the later box starts in z no higher than the earlier one ends,
// and the two overlap in x and y, touching included), in the sweep's order. A uniform grid over
// x, y and z finds them, so that drawings whose objects share a few elevations do not degrade
// into testing all pairs. Nothing persists from one call to the next but buffer capacity.
#pragma once

#include "engine/vector_types.h"

#include <vector>

namespace hk {

class TBoxPairFinder {
public:
    // `boxes` sorted by min.z ascending, every coordinate finite, min <= max. Afterwards
    // Pairs() holds each overlapping pair (i, j), i < j, ordered by i, then j.
    void Find(const std::vector<TAABB>& boxes);
    // Gives the buffers that grow with the number of boxes room for `boxes` of them, written
    // once so that their memory is in place before the first Find over that many.
    void Prepare(std::size_t boxes);

    struct TPair {
        int first, second;
    };
    const std::vector<TPair>& Pairs() const { return pairs_; }

    // For boxes sorted as for Find, of which only those at the ranks `moved` may differ from
    // an earlier pass: Pairs() then holds the pairs `kept` (of unmoved boxes, first < second;
    // the caller keeps what it still needs of the earlier pass's pairs) and every overlapping
    // pair with a moved box, in the sweep's order. Each moved box is checked against every
    // box, which is cheaper than the grid while few boxes moved.
    void FindAround(const std::vector<TAABB>& boxes, const std::vector<int>& moved,
                    const std::vector<TPair>& kept);

private:
    // The cells a box covers, lowest and highest per axis.
    struct TCellRange {
        int lo[3], hi[3];
    };
    // A box filed in a cell: its box for the overlap test, its index, and the axes on which
    // the cell is the box's low cell (bit k for axis k).
    struct TCellEntry {
        TAABB box;
        int index;
        unsigned lowAxes;
    };

    // The steps of Find, in order.
    void ChooseGrid(const std::vector<TAABB>& boxes);
    void FileBoxesInCells(const std::vector<TAABB>& boxes);
    void EmitCellPairs();
    void EmitLargeBoxPairs(const std::vector<TAABB>& boxes);
    void SortPairs(int boxCount);

    int CellOf(int axis, float v) const;
    int CellIndex(int x, int y, int z) const { return (z * dims_[1] + y) * dims_[0] + x; }
    int CellCount() const { return dims_[0] * dims_[1] * dims_[2]; }
    TCellRange CellRangeOf(const TAABB& box) const;
    void EmitPairsInCell(int cell);
    void Emit(int i, int j);

    // The grid: its low corner, the inverse of its cell size and its cells per axis.
    float origin_[3] = {0, 0, 0};
    float inverseCell_ = 1;
    int dims_[3] = {1, 1, 1};
    // Per box, the cells it covers; an empty range for a box in largeBoxes_.
    std::vector<TCellRange> cellRanges_;
    // The boxes filed in cell c are cellEntries_[cellStart_[c] ... cellStart_[c + 1]).
    std::vector<int> cellStart_;
    std::vector<TCellEntry> cellEntries_;
    // Boxes covering too many cells to be filed: tested against every box instead, ascending.
    std::vector<int> largeBoxes_;
    // Per rank, whether FindAround's box moved.
    std::vector<unsigned char> moved_;
    // The next free slot of each bucket while a counting sort fills it.
    std::vector<int> nextSlot_;
    // Where each first index's run of sorted pairs starts, and the pairs, as found until they
    // are sorted.
    std::vector<int> pairStart_;
    std::vector<TPair> pairs_;
};

} // namespace hk
