// The disk: properties, extents and its partial-disk build.
#include "primitives/quadrics/disk.h"
#include "primitives/detail_level.h"
#include "primitives/shape_property.h"

#include <algorithm>
#include <cmath>

namespace hk {

void TGLDisk::SetInnerRadius(float value) {
    StoreShapeProperty(*this, innerRadius_, value);
}
void TGLDisk::SetOuterRadius(float value) {
    StoreShapeProperty(*this, outerRadius_, value);
}
void TGLDisk::SetSlices(int value) {
    StoreShapeProperty(*this, slices_, value);
}
void TGLDisk::SetLoops(int value) {
    StoreShapeProperty(*this, loops_, value);
}
void TGLDisk::SetStartAngle(float value) {
    StoreShapeProperty(*this, startAngle_, value);
}
void TGLDisk::SetSweepAngle(float value) {
    StoreShapeProperty(*this, sweepAngle_, value);
}

TVector TGLDisk::UnscaledBoxExtents() {
    const float r = std::fabs(outerRadius_);
    return {r, r, 0, 0};
}

void TGLDisk::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLDisk*>(&source)) {
        SetInnerRadius(src->innerRadius_);
        SetOuterRadius(src->outerRadius_);
        SetSlices(src->slices_);
        SetLoops(src->loops_);
        SetStartAngle(src->startAngle_);
        SetSweepAngle(src->sweepAngle_);
    }
    TGLQuadricObject::Assign(source);
    EndUpdate();
}

std::optional<TAABB> TGLDisk::GeometryBox() {
    const float r = std::max(std::fabs(outerRadius_), std::fabs(innerRadius_));
    return TAABB{{-r, -r, 0}, {r, r, 0}};
}

int TGLDisk::DetailLevelFor(float pixelsPerUnit) {
    return RoundDetailLevel(std::fabs(outerRadius_) * pixelsPerUnit);
}

void TGLDisk::EmitGeometry(TRenderContextInfo& rci) {
    const int level = rci.detailLevel;
    EmitQuadricDisk(GeometrySinkOf(rci), QuadricStyle(), innerRadius_, outerRadius_,
                    SegmentsAtLevel(slices_, level), level > 0 ? 1 : loops_, startAngle_,
                    sweepAngle_);
}

} // namespace hk
