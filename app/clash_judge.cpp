// Cached judgement of reported pairs and the clearance broad phase.
#include "app/clash_judge.h"

#include "app/clash_mesh.h"
#include "app/document.h"
#include "app/object_box.h"
#include "collision/collision_behaviour.h"
#include "collision/collision_manager.h"
#include "engine/scene_object.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace hk {
namespace {

TClashDistance Swapped(const TClashDistance& d) {
    return {d.distance, d.onSecond, d.onFirst};
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    // splitmix64 finaliser over h combined with v.
    std::uint64_t x = h ^ (v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2));
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t Mix(std::uint64_t h, double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return Mix(h, bits);
}

std::uint64_t Mix(std::uint64_t h, const TPoint3D& p) {
    return Mix(Mix(Mix(h, p.x), p.y), p.z);
}

// A hash of every number the distance of a solid depends on, never 0: solids of equal shape
// hash alike whichever object or build they come from.
std::uint64_t ShapeOf(const TClashSolid& solid) {
    std::uint64_t h = Mix(0x5a17d5ull, std::uint64_t(solid.kind));
    for (const TClashPiece& p : solid.pieces)
        h = Mix(Mix(Mix(Mix(h, p.a), p.b), p.radius), std::uint64_t(p.rounded));
    if (solid.mesh)
        for (const TPoint3D& c : solid.mesh->Corners())
            h = Mix(h, c);
    return h != 0 ? h : 1;
}

} // namespace

void TClashJudge::Reset(const TDocument& doc) {
    frame_ = FileFrameOf(doc);
    solids_.clear();
    std::fill(solidIndex_.begin(), solidIndex_.end(), -1);
    std::swap(lastDistances_, distances_);
    distances_.Clear();
}

TClashJudge::TSolidEntry& TClashJudge::SolidEntry(TGLBaseSceneObject& object) {
    if ((solids_.size() + 1) * 2 > solidIndex_.size()) {
        solidIndex_.assign(std::max<std::size_t>(64, solidIndex_.size() * 2), -1);
        for (int i = 0; i < int(solids_.size()); ++i)
            solidIndex_[IndexSlot(solids_[std::size_t(i)].object)] = i;
    }
    int& index = solidIndex_[IndexSlot(&object)];
    const bool added = index < 0;
    if (added) {
        index = int(solids_.size());
        solids_.emplace_back().object = &object;
    }
    TSolidEntry& entry = solids_[std::size_t(index)];
    const TMatrix& matrix = object.ObjectMatrix();
    if (added || std::memcmp(&entry.matrix, &matrix, sizeof(TMatrix)) != 0) {
        entry.matrix = matrix;
        entry.solid = ClashSolidOf(object, frame_);
        entry.shape = entry.solid ? ShapeOf(*entry.solid) : 0;
        entry.drawingBox = ObjectBox(object);
    }
    return entry;
}

std::size_t TClashJudge::IndexSlot(const TGLBaseSceneObject* object) const {
    const std::size_t mask = solidIndex_.size() - 1;
    std::size_t i =
        std::size_t(Mix(0, std::uint64_t(reinterpret_cast<std::uintptr_t>(object)))) & mask;
    while (solidIndex_[i] >= 0 && solids_[std::size_t(solidIndex_[i])].object != object)
        i = (i + 1) & mask;
    return i;
}

TClashDistance TClashJudge::PairDistance(const TSolidEntry& first, const TSolidEntry& second) {
    if (!first.solid || !second.solid)
        return {HUGE_VAL, {}, {}};
    const bool inOrder = first.shape <= second.shape;
    const TSolidEntry& low = inOrder ? first : second;
    const TSolidEntry& high = inOrder ? second : first;
    const TDistanceTable::TKey key(low.shape, high.shape);
    const TClashDistance* known = distances_.Find(key);
    if (!known) {
        const TClashDistance* last = lastDistances_.Find(key);
        known = &distances_.Insert(key, last ? *last : SolidDistance(*low.solid, *high.solid));
    }
    return inOrder ? *known : Swapped(*known);
}

TClashJudgement TClashJudge::Judge(TGLBaseSceneObject& first, TGLBaseSceneObject& second) {
    const TSolidEntry& firstEntry = SolidEntry(first);
    const TSolidEntry& secondEntry = SolidEntry(second);
    const TClashDistance d = PairDistance(firstEntry, secondEntry);
    const TClashSolid* a = firstEntry.solid ? &*firstEntry.solid : nullptr;
    const TClashSolid* b = secondEntry.solid ? &*secondEntry.solid : nullptr;
    const TClashType type =
        a && b ? ClassifyClash(*a, *b, d.distance, settings_) : TClashType::Apart;
    return {type, d.distance, d.onFirst, d.onSecond};
}

std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> TClashJudge::ClearancePairs(
    const TCollisionManager& manager,
    const std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>>& reported) {
    std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> found;
    const double c = settings_.clearance;
    if (!(c > 0))
        return found;
    struct TCandidate {
        TGLBaseSceneObject* object;
        const TSolidEntry* entry;
        const TClashSolid* solid;
        std::int32_t group;
    };
    std::vector<TCandidate> candidates;
    for (int i = 0; i < manager.ClientCount(); ++i) {
        const TGLBCollision* client = manager.Client(i);
        TGLBaseSceneObject* object = client ? client->OwnerBaseSceneObject() : nullptr;
        if (!object || client->GroupIndex() < 0)
            continue;
        if (const TSolidEntry& entry = SolidEntry(*object); entry.solid)
            candidates.push_back({object, &entry, &*entry.solid, client->GroupIndex()});
    }
    std::sort(candidates.begin(), candidates.end(), [](const TCandidate& x, const TCandidate& y) {
        return x.solid->boxMin.x < y.solid->boxMin.x;
    });
    auto key = [](const void* x, const void* y) {
        return std::pair<const void*, const void*>(std::min(x, y), std::max(x, y));
    };
    struct TObjectPairHash {
        std::size_t operator()(const std::pair<const void*, const void*>& p) const {
            return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
        }
    };
    std::unordered_set<std::pair<const void*, const void*>, TObjectPairHash> known;
    for (const auto& [x, y] : reported)
        known.insert(key(x, y));
    // Two boxes, each grown by the clearance, meet on every axis.
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const TClashSolid& a = *candidates[i].solid;
        for (std::size_t j = i + 1; j < candidates.size(); ++j) {
            const TClashSolid& b = *candidates[j].solid;
            if (b.boxMin.x > a.boxMax.x + c)
                break;
            if (b.boxMin.y > a.boxMax.y + c || a.boxMin.y > b.boxMax.y + c ||
                b.boxMin.z > a.boxMax.z + c || a.boxMin.z > b.boxMax.z + c)
                continue;
            const std::int32_t ga = candidates[i].group, gb = candidates[j].group;
            if (ga != 0 && ga == gb)
                continue;
            TGLBaseSceneObject* x = candidates[i].object;
            TGLBaseSceneObject* y = candidates[j].object;
            if (known.count(key(x, y)) != 0)
                continue;
            if (PairDistance(*candidates[i].entry, *candidates[j].entry).distance < c)
                found.emplace_back(x, y);
        }
    }
    return found;
}

} // namespace hk
