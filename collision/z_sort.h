// The collision pass's sort of world boxes by minimum z: a stable radix sort on the bits of
// the float, so that ten thousand boxes sort in a few passes over the data instead of a
// comparison sort's many. Equal minima keep their input order. Nothing persists from one call
// to the next but buffer capacity.
#pragma once

#include "collision/collision_manager.h"

#include <cstdint>
#include <vector>

namespace hk {

class TZSort {
public:
    // Nodes with finite boxes. Afterwards Order()[r] is the index of the node of rank r.
    void Sort(const std::vector<TCollisionNode>& nodes);
    // Writes room for `n` nodes into the buffers once, before the first Sort of that many.
    void Prepare(std::size_t n);
    const std::vector<int>& Order() const { return order_; }

private:
    std::vector<std::uint32_t> keys_, keysSwap_;
    std::vector<int> order_, orderSwap_;
};

} // namespace hk
