// TGLBaseSceneObject: geometry at a level of detail. One display list per level, compiled on
// first use and released with DestroyHandles; the level comes from the object's box as it
// appears on screen this frame.
#include "engine/scene_object.h"

#include "engine/merged_children.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <limits>

namespace hk {

void TGLBaseSceneObject::EmitGeometry(TRenderContextInfo&) {}

TGLListHandle& TGLBaseSceneObject::ListOfLevel(int level) {
    if (level <= 0) {
        return listHandle_;
    }
    if (!coarseLists_) {
        coarseLists_ = std::make_unique<std::array<TGLListHandle, cMaxDetailLevel>>();
    }
    return (*coarseLists_)[std::size_t(std::min(level, cMaxDetailLevel) - 1)];
}

void TGLBaseSceneObject::DestroyLists() {
    listHandle_.DestroyHandle();
    coarseLists_.reset();
    compiledLevels_ = 0;
}

unsigned TGLBaseSceneObject::DisplayListFor(TRenderContextInfo& rci) {
    if (changes_.Contains(ocStructure)) {
        changes_.Exclude(ocStructure);
        compiledLevels_ = 0;
    }
    const int level = std::clamp(rci.detailLevel, 0, cMaxDetailLevel);
    TGLListHandle& handle = ListOfLevel(level);
    const auto bit = std::uint8_t(1u << level);
    if (handle.Handle() != 0 && (compiledLevels_ & bit) != 0) {
        return handle.Handle();
    }
    unsigned list = handle.AllocateHandle();
    if (list == 0) {
        return 0;
    }
    glNewList(list, GL_COMPILE);
    try {
        EmitGeometry(rci);
    } catch (...) {
        glEndList();
        throw;
    }
    glEndList();
    compiledLevels_ |= bit;
    return list;
}

std::optional<TGLBaseSceneObject::TScreenExtent>
TGLBaseSceneObject::ScreenExtent(const TRenderContextInfo& rci) {
    if (rci.drawState != dsRendering || rci.pixelsPerUnit <= 0) {
        return std::nullopt;
    }
    const std::optional<TAABB> box = GeometryBox();
    if (!box) {
        return std::nullopt;
    }
    const TMatrix& m = WorldMatrix();
    const TVector* planes[6] = {&rci.frustum.pLeft,   &rci.frustum.pRight, &rci.frustum.pTop,
                                &rci.frustum.pBottom, &rci.frustum.pNear,  &rci.frustum.pFar};
    unsigned outsideAll = 0x3f;
    float nearestW = std::numeric_limits<float>::max();
    for (int corner = 0; corner < 8; ++corner) {
        const TAffineVector local{corner & 1 ? box->max.x : box->min.x,
                                  corner & 2 ? box->max.y : box->min.y,
                                  corner & 4 ? box->max.z : box->min.z};
        const TAffineVector p = AffineTransform(local, m);
        unsigned outside = 0;
        for (int k = 0; k < 6; ++k) {
            const TVector& q = *planes[k];
            if (q.x * p.x + q.y * p.y + q.z * p.z + q.w < 0) {
                outside |= 1u << k;
            }
        }
        outsideAll &= outside;
        const TVector& c = rci.clipW;
        nearestW = std::min(nearestW, c.x * p.x + c.y * p.y + c.z * p.z + c.w);
    }
    TScreenExtent extent;
    // Every corner beyond one plane: the whole box is.
    extent.outside = outsideAll != 0;
    if (nearestW > 1e-6f) {
        float unit = 0;
        for (int row = 0; row < 3; ++row) {
            unit = std::max(unit, VectorLength(TAffineVector{m[row][0], m[row][1], m[row][2]}));
        }
        extent.pixelsPerUnit = rci.pixelsPerUnit * unit / nearestW;
    }
    return extent;
}

int TGLBaseSceneObject::DetailLevel(const std::optional<TScreenExtent>& extent) {
    if (!extent || extent->pixelsPerUnit <= 0) {
        return 0;
    }
    return std::clamp(DetailLevelFor(extent->pixelsPerUnit), 0, cMaxDetailLevel);
}

void TGLBaseSceneObject::DrawGeometry(TRenderContextInfo& rci) {
    rci.detailLevel = rci.drawState == dsRendering ? frameDetailLevel_ : 0;
    if (objectStyle_.Contains(osDirectDraw) || rci.bypassDisplayLists) {
        changes_.Exclude(ocStructure);
        EmitGeometry(rci);
    } else if (unsigned list = DisplayListFor(rci); list != 0) {
        glCallList(list);
    }
    rci.detailLevel = 0;
}

bool TGLBaseSceneObject::ChooseFrameDetail(const TRenderContextInfo& rci) {
    frameDetailLevel_ = 0;
    if (!PassesVisibilityCulling(rci)) {
        return false;
    }
    const std::optional<TScreenExtent> extent = ScreenExtent(rci);
    frameDetailLevel_ = std::int8_t(DetailLevel(extent));
    return !extent || !extent->outside;
}

void TGLBaseSceneObject::DestroyHandles() {
    DestroyLists();
    if (merged_) {
        merged_->DestroyHandles();
    }
    changes_.Include(ocStructure);
    for (auto& c : children_) {
        c->DestroyHandles();
    }
}

} // namespace hk
