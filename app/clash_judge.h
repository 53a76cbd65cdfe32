// TClashJudge: the judgement of the pairs a collision pass reports, on the true solids, and the
// pairs closer than the clearance that the pass does not report. Solids and distances are kept
// per object and per pair while the objects read as they did, so a pass over a still drawing,
// or one where a single object moved, measures only what changed.
#pragma once

#include "app/clash_distance.h"
#include "app/clash_type.h"
#include "engine/vector_types.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hk {

class TCollisionManager;
class TGLBaseSceneObject;
struct TDocument;

struct TClashJudgement {
    TClashType type = TClashType::Apart;
    // Signed: the gap, or minus the depth, in data-file units.
    double distance = 0;
    // The closest points of the first and the second object, in data-file coordinates.
    TPoint3D onFirst, onSecond;
};

class TClashJudge {
public:
    // After every scene build: forgets every solid and distance (freed objects' addresses may
    // come back for new ones) and takes the file frame of the build.
    void Reset(const TDocument& doc);

    const TClashSettings& Settings() const { return settings_; }
    // Types follow the new settings at once; distances stay.
    void SetSettings(const TClashSettings& settings) { settings_ = settings; }

    // The judgement of a pair in the given order. An object that is not one of the solid kinds
    // is judged apart at an infinite distance.
    TClashJudgement Judge(TGLBaseSceneObject& first, TGLBaseSceneObject& second);

    // The pairs of the manager's clients whose solids lie closer than the clearance, apart
    // from those in `reported` (in either order); none when the clearance is off. A broad phase
    // of the solids' boxes grown by the clearance finds the candidates.
    std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> ClearancePairs(
        const TCollisionManager& manager,
        const std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>>& reported);

private:
    struct TSolidEntry {
        TMatrix matrix;
        std::unique_ptr<TClashSolid> solid; // none for objects of other kinds
        std::uint32_t version = 0;
    };
    struct TPairEntry {
        std::uint32_t versionLow = 0, versionHigh = 0;
        TClashDistance distance; // with the lower address first
    };
    struct TPairHash {
        std::size_t operator()(const std::pair<const void*, const void*>& p) const {
            return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
        }
    };

    // The solid of an object, rebuilt when the object's matrix no longer reads as recorded.
    TSolidEntry& SolidEntry(TGLBaseSceneObject& object);
    TClashDistance PairDistance(TGLBaseSceneObject& first, TGLBaseSceneObject& second);

    TClashSettings settings_;
    TFileFrame frame_;
    std::uint32_t nextVersion_ = 1;
    std::unordered_map<const TGLBaseSceneObject*, TSolidEntry> solids_;
    std::unordered_map<std::pair<const void*, const void*>, TPairEntry, TPairHash> pairs_;
};

} // namespace hk
