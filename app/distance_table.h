// TDistanceTable: distances of solid pairs by the pair of their shape hashes: the distances in
// one array, found through an index of keys (open addressing, linear probing). No allocation per
// entry, and clearing keeps the storage.
#pragma once

#include "app/piece_distance.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace hk {

class TDistanceTable {
public:
    using TKey = std::pair<std::uint64_t, std::uint64_t>;

    // The distance stored under key, or none; valid until the next Insert.
    const TClashDistance* Find(const TKey& key) const;
    // Stores value under key (which must not be there yet) and returns the stored copy, valid
    // until the next Insert.
    const TClashDistance& Insert(const TKey& key, const TClashDistance& value);
    // Forgets every entry; the storage stays for the next build's entries.
    void Clear();
    int Count() const { return int(distances_.size()); }

private:
    struct TSlot {
        TKey key;
        int index = -1; // in distances_; -1 where free
    };
    std::size_t SlotOf(const TKey& key) const;
    void Grow();

    std::vector<TSlot> slots_; // a power of two in size, at most half full
    std::vector<TClashDistance> distances_;
};

} // namespace hk
