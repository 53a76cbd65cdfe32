// The collision pass's candidate finder: for boxes already sorted by minimum z it yields the
// pairs the z sweep would keep (the later box starts in z no higher than the earlier one ends,
// and the two overlap in x and y, touching included), in the sweep's order. A bounding-volume
// tree over the boxes finds them, so that drawings whose objects share a few elevations do not
// degrade into testing all pairs.
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
    struct TNode {
        TAABB box;
        // Children for an inner node; for a leaf, first item and -count.
        int left, right;
    };
    int Build(int begin, int end);
    void Self(int node);
    void Cross(int a, int b);
    void Emit(int i, int j);

    const std::vector<TAABB>* boxes_ = nullptr;
    std::vector<int> items_;
    std::vector<TNode> nodes_;
    std::vector<std::uint64_t> raw_;
    std::vector<TPair> pairs_;
};

} // namespace hk
