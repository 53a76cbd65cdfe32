// Cached judgement of reported pairs and the clearance broad phase.
#include "app/clash_judge.h"

#include "app/document.h"
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

} // namespace

void TClashJudge::Reset(const TDocument& doc) {
    frame_ = FileFrameOf(doc);
    solids_.clear();
    pairs_.clear();
}

TClashJudge::TSolidEntry& TClashJudge::SolidEntry(TGLBaseSceneObject& object) {
    const TMatrix& matrix = object.ObjectMatrix();
    auto [it, added] = solids_.try_emplace(&object);
    TSolidEntry& entry = it->second;
    if (added || std::memcmp(&entry.matrix, &matrix, sizeof(TMatrix)) != 0) {
        entry.matrix = matrix;
        std::optional<TClashSolid> solid = ClashSolidOf(object, frame_);
        entry.solid = solid ? std::make_unique<TClashSolid>(std::move(*solid)) : nullptr;
        entry.version = nextVersion_++;
    }
    return entry;
}

TClashDistance TClashJudge::PairDistance(TGLBaseSceneObject& first, TGLBaseSceneObject& second) {
    const bool inOrder = &first < &second;
    TGLBaseSceneObject& low = inOrder ? first : second;
    TGLBaseSceneObject& high = inOrder ? second : first;
    const TSolidEntry& a = SolidEntry(low);
    const TSolidEntry& b = SolidEntry(high);
    auto [it, added] = pairs_.try_emplace({&low, &high});
    TPairEntry& entry = it->second;
    if (added || entry.versionLow != a.version || entry.versionHigh != b.version) {
        entry.versionLow = a.version;
        entry.versionHigh = b.version;
        entry.distance = a.solid && b.solid ? SolidDistance(*a.solid, *b.solid)
                                            : TClashDistance{HUGE_VAL, {}, {}};
    }
    return inOrder ? entry.distance : Swapped(entry.distance);
}

TClashJudgement TClashJudge::Judge(TGLBaseSceneObject& first, TGLBaseSceneObject& second) {
    const TClashDistance d = PairDistance(first, second);
    const TClashSolid* a = SolidEntry(first).solid.get();
    const TClashSolid* b = SolidEntry(second).solid.get();
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
        const TClashSolid* solid;
        std::int32_t group;
    };
    std::vector<TCandidate> candidates;
    for (int i = 0; i < manager.ClientCount(); ++i) {
        const TGLBCollision* client = manager.Client(i);
        TGLBaseSceneObject* object = client ? client->OwnerBaseSceneObject() : nullptr;
        if (!object || client->GroupIndex() < 0)
            continue;
        if (const TClashSolid* solid = SolidEntry(*object).solid.get())
            candidates.push_back({object, solid, client->GroupIndex()});
    }
    std::sort(candidates.begin(), candidates.end(), [](const TCandidate& x, const TCandidate& y) {
        return x.solid->boxMin.x < y.solid->boxMin.x;
    });
    auto key = [](const void* x, const void* y) {
        return std::pair<const void*, const void*>(std::min(x, y), std::max(x, y));
    };
    std::unordered_set<std::pair<const void*, const void*>, TPairHash> known;
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
            if (PairDistance(*x, *y).distance < c)
                found.emplace_back(x, y);
        }
    }
    return found;
}

} // namespace hk
