// The flat distance table.
#include "app/distance_table.h"

#include <algorithm>

namespace hk {
namespace {

std::size_t HashOf(const TDistanceTable::TKey& key) {
    std::uint64_t x = key.first ^ (key.second * 0x9e3779b97f4a7c15ull);
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return std::size_t(x ^ (x >> 31));
}

} // namespace

std::size_t TDistanceTable::SlotOf(const TKey& key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = HashOf(key) & mask;
    while (slots_[i].index >= 0 && slots_[i].key != key)
        i = (i + 1) & mask;
    return i;
}

const TClashDistance* TDistanceTable::Find(const TKey& key) const {
    if (slots_.empty())
        return nullptr;
    const TSlot& slot = slots_[SlotOf(key)];
    return slot.index >= 0 ? &distances_[std::size_t(slot.index)] : nullptr;
}

const TClashDistance& TDistanceTable::Insert(const TKey& key, const TClashDistance& value) {
    if ((distances_.size() + 1) * 2 > slots_.size())
        Grow();
    slots_[SlotOf(key)] = {key, int(distances_.size())};
    distances_.push_back(value);
    return distances_.back();
}

void TDistanceTable::Clear() {
    for (TSlot& slot : slots_)
        slot.index = -1;
    distances_.clear();
}

void TDistanceTable::Grow() {
    std::vector<TSlot> old(std::max<std::size_t>(64, slots_.size() * 2));
    old.swap(slots_);
    for (const TSlot& slot : old)
        if (slot.index >= 0)
            slots_[SlotOf(slot.key)] = slot;
}

} // namespace hk
