// The disk: properties, extents and its GLU partial-disk build.
#include "primitives/quadrics/disk.h"

#include <GL/glu.h>

#include <cmath>

namespace hk {

namespace {

template <class T> void Store(TGLBaseSceneObject& obj, T& field, T value) {
    if (value != field) {
        field = value;
        obj.StructureChanged();
    }
}

} // namespace

void TGLDisk::SetInnerRadius(float value) {
    Store(*this, innerRadius_, value);
}
void TGLDisk::SetOuterRadius(float value) {
    Store(*this, outerRadius_, value);
}
void TGLDisk::SetSlices(int value) {
    Store(*this, slices_, value);
}
void TGLDisk::SetLoops(int value) {
    Store(*this, loops_, value);
}
void TGLDisk::SetStartAngle(float value) {
    Store(*this, startAngle_, value);
}
void TGLDisk::SetSweepAngle(float value) {
    Store(*this, sweepAngle_, value);
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

void TGLDisk::EmitGeometry(TRenderContextInfo&) {
    TGLUQuadricPtr q = NewQuadric();
    if (!q) {
        return;
    }
    gluPartialDisk(q.get(), innerRadius_, outerRadius_, slices_, loops_, startAngle_, sweepAngle_);
}

} // namespace hk
