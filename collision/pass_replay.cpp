// Bitwise comparison of what two passes read, and the record of the last one.
//
// The readings compare by their bits, not by their values: the pair tests are deterministic
// functions of those bits, so equal bits promise the same answer, while equal values do not
// (-0 and +0) and a NaN would never equal itself. The recorded events are indexed by their
// first client with a counting sort into one array, so that asking whether a pair was
// reported looks only at the few partners of its first client.
#include "collision/pass_replay.h"

#include "collision/box_geometry.h"
#include "engine/memory_hints.h"
#include "engine/scene_object.h"

#include <algorithm>
#include <cstring>

namespace hk {

namespace {

template <class T> bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Field by field, so that padding never takes part; floats compare by their bits, so a NaN
// equals the same NaN and -0 differs from +0 (a difference only costs a test).
// The object itself is not compared: the tests read only the rest.
bool SameShape(const TPairShape& a, const TPairShape& b) {
    return SameBits(a.world, b.world) && SameBits(a.inverse, b.inverse) &&
           SameBits(a.position, b.position) && SameBits(a.extents, b.extents) &&
           SameBits(a.scale, b.scale) && SameBits(a.box, b.box);
}

// A shape whose octree is still to be looked up, or was: a free-form mesh's.
bool MeshShape(const TPairShape& s) {
    return s.octree || !s.octreeLooked;
}

} // namespace

bool TPassReplay::ReadsAsRecorded(std::size_t k, const TPassEntry& entry, const TAABB& local,
                                  const TVector& extents) const {
    if (!valid_ || k >= entries_.size()) {
        return false;
    }
    const TPassEntry& e = entries_[k];
    const TPairShape& s = shapes_[k];
    if (e.client != entry.client || e.object != entry.object || e.mode != entry.mode ||
        e.group != entry.group || (e.mode == cbmFaces && MeshShape(s))) {
        return false;
    }
    TGLBaseSceneObject& object = *entry.object;
    const TVector scale = object.Scale().AsVector();
    // The position is the world matrix's last row, compared with it.
    return SameBits(s.box, local) && SameBits(s.world, object.WorldMatrix()) &&
           SameBits(s.inverse, object.InverseWorldMatrix()) && SameBits(s.extents, extents) &&
           SameBits(s.scale, scale);
}

void TPassReplay::Prefetch(std::size_t k) const {
    if (!valid_ || k >= entries_.size()) {
        return;
    }
    // A client or object freed since the record costs nothing but the fetch.
    PrefetchBlock(entries_[k].object, sizeof(TGLBaseSceneObject));
    PrefetchBlock(entries_[k].client, 2 * cCacheLineBytes);
}

void TPassReplay::PrefetchMatrices(std::size_t k) const {
    if (valid_ && k < entries_.size()) {
        entries_[k].object->PrefetchWorldMatrices();
    }
}

void TPassReplay::TakeRecorded(std::size_t count, std::vector<TCollisionNode>& nodes,
                               std::vector<TPassEntry>& entries,
                               std::vector<TPairShape>& shapes) const {
    for (std::size_t i = 0; i < count; ++i) {
        nodes.emplace_back(entries_[i].client, BoxTransform(shapes_[i].box, shapes_[i].world));
    }
    entries.insert(entries.end(), entries_.begin(), entries_.begin() + long(count));
    const std::size_t first = shapes.size();
    shapes.insert(shapes.end(), shapes_.begin(), shapes_.begin() + long(count));
    for (std::size_t i = first; i < shapes.size(); ++i) {
        if (shapes[i].octree) {
            shapes[i].octree = nullptr;
            shapes[i].octreeLooked = false;
        }
    }
}

void TPassReplay::Compare(const std::vector<TPassEntry>& entries,
                          const std::vector<TPairShape>& shapes) {
    changedCount_ = 0;
    if (!valid_) {
        return;
    }
    const std::size_t n = entries.size(), m = entries_.size();
    const auto same = [&](std::size_t i, std::size_t k) {
        // Only free-form meshes have an octree still to look up when the pass starts.
        const bool meshInFacesMode = entries[i].mode == cbmFaces && !shapes[i].octreeLooked;
        return !meshInFacesMode && entries[i].mode == entries_[k].mode &&
               entries[i].group == entries_[k].group && SameShape(shapes[i], shapes_[k]);
    };
    changed_.assign(n, 1);
    if (n == m) {
        head_ = n;
        tail_ = 0;
        for (std::size_t i = 0; i < n; ++i) {
            changed_[i] = !same(i, i);
        }
    } else {
        const std::size_t shorter = std::min(n, m);
        head_ = 0;
        while (head_ < shorter && same(head_, head_)) {
            changed_[head_++] = 0;
        }
        tail_ = 0;
        while (head_ + tail_ < shorter && same(n - 1 - tail_, m - 1 - tail_)) {
            changed_[n - 1 - tail_++] = 0;
        }
    }
    for (unsigned char c : changed_) {
        changedCount_ += c;
    }
}

std::size_t TPassReplay::RecordedIndex(int i) const {
    const auto k = std::size_t(i);
    return k < head_ ? k : k + entries_.size() - changed_.size();
}

int TPassReplay::CurrentIndex(int k) const {
    const auto r = std::size_t(k);
    const std::size_t m = entries_.size();
    std::size_t i;
    if (r < head_) {
        i = r;
    } else if (r + tail_ >= m) {
        i = r + changed_.size() - m;
    } else {
        return -1;
    }
    return changed_[i] ? -1 : int(i);
}

bool TPassReplay::WasReported(int first, int second) const {
    const std::size_t a = RecordedIndex(first);
    const int b = int(RecordedIndex(second));
    for (int k = partnerStart_[a]; k < partnerStart_[a + 1]; ++k) {
        if (partners_[std::size_t(k)] == b) {
            return true;
        }
    }
    return false;
}

void TPassReplay::Adopt(std::vector<TPassEntry>& entries, std::vector<TPairShape>& shapes) {
    entries_.swap(entries);
    shapes_.swap(shapes);
    CountMeshesInFacesMode();
}

void TPassReplay::CountMeshesInFacesMode() {
    meshesInFacesMode_ = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        meshesInFacesMode_ += entries_[i].mode == cbmFaces && MeshShape(shapes_[i]);
    }
}

void TPassReplay::Record(std::vector<TPassEntry>& entries, std::vector<TPairShape>& shapes,
                         std::vector<TClientPair>& events) {
    entries_.swap(entries);
    shapes_.swap(shapes);
    events_.swap(events);
    partnerStart_.assign(entries_.size() + 1, 0);
    for (const TClientPair& e : events_) {
        ++partnerStart_[std::size_t(e.first) + 1];
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        partnerStart_[i + 1] += partnerStart_[i];
    }
    partners_.resize(events_.size());
    partnerFill_.assign(partnerStart_.begin(), partnerStart_.end() - 1);
    for (const TClientPair& e : events_) {
        partners_[std::size_t(partnerFill_[std::size_t(e.first)]++)] = e.second;
    }
    CountMeshesInFacesMode();
    valid_ = true;
}

void TPassReplay::Forget() {
    valid_ = false;
}

} // namespace hk
