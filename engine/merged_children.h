// TGLMergedChildren: draws the plain solids among one object's children together. Their
// geometry, recorded in the parent's space, is kept in one vertex buffer per material and level
// of detail and drawn with one call per material and level, each child culled and at the level
// of detail it would get on its own. This removes the per-object cost of a large drawing (a
// matrix, a material and a draw call per solid) that dominates on a software rasteriser.
//
// A child takes part while it is visible, childless, filled, without effects or axes, and
// records its geometry (TGLBaseSceneObject::RecordsGeometry). Blended children, which must be
// drawn after the opaque ones and sorted by distance, take part only in frames that allow
// unsorted blending (a coarse picture while the view moves). A member that has moved,
// changed shape or material since it was recorded is drawn on its own, as every other child
// is; when many have, or the children themselves changed, the whole set is recorded again.
#pragma once

#include "engine/geometry_recorder.h"
#include "engine/render_context_info.h"
#include "engine/scene_object.h"

#include <array>
#include <cstdint>
#include <vector>

namespace hk {

class TGLCustomSceneObject;

class TGLMergedChildren {
public:
    TGLMergedChildren() = default;
    TGLMergedChildren(const TGLMergedChildren&) = delete;
    TGLMergedChildren& operator=(const TGLMergedChildren&) = delete;
    // Deletes the buffers, as a list handle deletes its list.
    ~TGLMergedChildren();

    // In a rendering walk with `parent`'s matrix current: draws the opaque members of
    // `parent`'s children and marks every member it took care of (drawn, or culled) so that
    // the walk skips it. Blended members are left to the walk, which draws them sorted, except
    // in frames with unsorted blending: they are then marked too, and drawn by DrawBlended.
    // Does nothing in other walks.
    void Draw(TGLBaseSceneObject& parent, TRenderContextInfo& rci);
    // After the walk of `parent`'s other children, with its matrix current: draws the blended
    // members Draw marked, in frames with unsorted blending.
    void DrawBlended(TRenderContextInfo& rci);
    // Frees the buffers (the context they live in must be current); they are recorded again
    // when next drawn.
    void DestroyHandles();

    // Children drawn merged by the last Draw, and the materials they were drawn with.
    int DrawnCount() const { return drawnCount_; }
    int DrawnGroups() const { return drawnGroups_; }

    static constexpr int cLevels = cMaxDetailLevel + 1;

    // What a member's material applies, compared to tell materials apart.
    struct TMaterialKey {
        const void* library = nullptr;
        std::array<float, 36> values{};
        bool operator==(const TMaterialKey&) const = default;
    };

private:
    struct TRange {
        std::uint32_t first = 0;
        std::int32_t count = -1; // -1: not recorded at this level
    };
    struct TMember {
        TGLCustomSceneObject* object = nullptr;
        std::uint64_t version = 0;
        TMatrix matrix;
        int group = 0;
        bool fresh = true; // as recorded
        std::array<TRange, cLevels> ranges{};
    };
    struct TLevel {
        bool recorded = false;
        unsigned vertexBuffer = 0;
        unsigned indexBuffer = 0;
        // This frame's draws.
        std::vector<int> counts;
        std::vector<const void*> offsets;
    };
    struct TGroup {
        TMaterialKey key;
        bool blended = false;
        std::vector<int> members;
        std::array<TLevel, cLevels> levels;
        TGLCustomSceneObject* drawnBy = nullptr; // this frame's material
    };

    bool Supported();
    // Brings the members up to date with the children; true when they can be drawn.
    void Sync(TGLBaseSceneObject& parent);
    void Rebuild(TGLBaseSceneObject& parent);
    bool Fresh(const TMember& member);
    void Record(TGroup& group, int level, TRenderContextInfo& rci);
    void DrawGroups(TRenderContextInfo& rci, bool blended);
    void DeleteBuffers();

    int support_ = -1; // unknown, 0 or 1
    std::vector<TGLBaseSceneObject*> children_;
    std::vector<int> memberOfChild_;
    std::vector<TMember> members_;
    std::vector<TGroup> groups_;
    TGLGeometryRecorder recorder_;
    int drawnCount_ = 0;
    int drawnGroups_ = 0;
};

} // namespace hk
