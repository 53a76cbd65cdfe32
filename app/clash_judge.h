// TClashJudge: the judgement of the pairs a collision pass reports, on the true solids, and the
// pairs closer than the clearance that the pass does not report. Solids are kept per object
// while the object's matrix reads as it did, and distances per pair of solid shapes, so a pass
// over a still drawing, one where a single object moved, or the first pass after a reload that
// left most items as they were measures only what changed.
#pragma once

#include "app/clash_distance.h"
#include "app/clash_type.h"
#include "app/distance_table.h"
#include "engine/vector_types.h"

#include <cstdint>
#include <deque>
#include <optional>
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
    // After every scene build: forgets every solid (freed objects' addresses may come back for
    // new ones) and takes the file frame of the build. The distances of the build before stay
    // for one more build: a pair of solids of the same shapes gets its distance again.
    void Reset(const TDocument& doc);

    const TClashSettings& Settings() const { return settings_; }
    // Types follow the new settings at once; distances stay.
    void SetSettings(const TClashSettings& settings) { settings_ = settings; }

    // The judgement of a pair in the given order. An object that is not one of the solid kinds
    // is judged apart at an infinite distance.
    TClashJudgement Judge(TGLBaseSceneObject& first, TGLBaseSceneObject& second);

    // The box the object's drawing fills (object_box.h), kept with its solid.
    const TAABB& DrawingBox(TGLBaseSceneObject& object) { return SolidEntry(object).drawingBox; }

    // The pairs of the manager's clients whose solids lie closer than the clearance, apart
    // from those in `reported` (in either order); none when the clearance is off. A broad phase
    // of the solids' boxes grown by the clearance finds the candidates.
    std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> ClearancePairs(
        const TCollisionManager& manager,
        const std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>>& reported);

private:
    struct TSolidEntry {
        const TGLBaseSceneObject* object = nullptr;
        TMatrix matrix;
        std::optional<TClashSolid> solid; // none for objects of other kinds
        std::uint64_t shape = 0;          // hash of the solid's every number; 0 without one
        TAABB drawingBox;
    };

    // The solid of an object, rebuilt when the object's matrix no longer reads as recorded.
    TSolidEntry& SolidEntry(TGLBaseSceneObject& object);
    // The slot of solidIndex_ that holds the object's entry, or the free one where it goes.
    std::size_t IndexSlot(const TGLBaseSceneObject* object) const;
    TClashDistance PairDistance(const TSolidEntry& first, const TSolidEntry& second);

    TClashSettings settings_;
    TFileFrame frame_;
    // The objects met since the last build, and their index by address: open addressing, a
    // power of two in size, at most half full, -1 where free.
    std::deque<TSolidEntry> solids_;
    std::vector<int> solidIndex_;
    // By the two shapes, the lower first: the distances measured or met since the last build,
    // and those of the build before.
    TDistanceTable distances_, lastDistances_;
};

} // namespace hk
