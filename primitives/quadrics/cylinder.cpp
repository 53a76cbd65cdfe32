// Cylinder base, cylinder and annulus: properties, extents and their quadric builds.
#include "primitives/quadrics/cylinder.h"
#include "primitives/detail_level.h"
#include "primitives/shape_property.h"

#include <algorithm>
#include <cmath>

namespace hk {

// ---- base --------------------------------------------------------------------------------

void TGLCylinderBase::SetBottomRadius(float value) {
    StoreShapeProperty(*this, bottomRadius_, value);
}
void TGLCylinderBase::SetHeight(float value) {
    StoreShapeProperty(*this, height_, value);
}
void TGLCylinderBase::SetSlices(int value) {
    StoreShapeProperty(*this, slices_, value);
}
void TGLCylinderBase::SetStacks(int value) {
    StoreShapeProperty(*this, stacks_, value);
}
void TGLCylinderBase::SetLoops(int value) {
    if (value > 0) {
        StoreShapeProperty(*this, loops_, value);
    }
}

TVector TGLCylinderBase::UnscaledBoxExtents() {
    const float m = MaxRadius();
    return {m, height_ * 0.5f, m, 0};
}

float TGLCylinderBase::MaxRadius() const {
    return std::max(std::fabs(TopRadiusOf()), std::fabs(bottomRadius_));
}

int TGLCylinderBase::DetailLevelFor(float pixelsPerUnit) {
    return RoundDetailLevel(MaxRadius() * pixelsPerUnit);
}

int TGLCylinderBase::SlicesAt(int level) const {
    return SegmentsAtLevel(slices_, level);
}

void TGLCylinderBase::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLCylinderBase*>(&source)) {
        SetBottomRadius(src->bottomRadius_);
        SetHeight(src->height_);
        SetSlices(src->slices_);
        SetStacks(src->stacks_);
        SetLoops(src->loops_);
    }
    TGLQuadricObject::Assign(source);
    EndUpdate();
}

// ---- cylinder ----------------------------------------------------------------------------

void TGLCylinder::SetTopRadius(float value) {
    StoreShapeProperty(*this, topRadius_, value);
}
void TGLCylinder::SetParts(TCylinderParts value) {
    StoreShapeProperty(*this, parts_, value);
}
void TGLCylinder::SetAlignment(TCylinderAlignment value) {
    StoreShapeProperty(*this, alignment_, value);
}

void TGLCylinder::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLCylinder*>(&source)) {
        SetTopRadius(src->topRadius_);
        SetParts(src->parts_);
        SetAlignment(src->alignment_);
    }
    TGLCylinderBase::Assign(source);
    EndUpdate();
}

std::optional<TAABB> TGLCylinder::GeometryBox() {
    const float m = MaxRadius();
    const float h = Height();
    float low = -h * 0.5f, high = h * 0.5f;
    if (alignment_ == caTop) {
        low = -h;
        high = 0;
    } else if (alignment_ == caBottom) {
        low = 0;
        high = h;
    }
    return TAABB{{-m, std::min(low, high), -m}, {m, std::max(low, high), m}};
}

void TGLCylinder::EmitGeometry(TRenderContextInfo& rci) {
    const int level = rci.detailLevel;
    TGLGeometrySink& sink = GeometrySinkOf(rci);
    sink.PushMatrix();
    // The quadric's +Z axis becomes the object's +Y axis.
    sink.Rotate(-90, 1, 0, 0);
    switch (alignment_) {
    case caCenter:
        sink.Translate(0, 0, -Height() * 0.5f);
        break;
    case caTop:
        sink.Translate(0, 0, -Height());
        break;
    case caBottom:
        break;
    }
    if (parts_.Contains(cySides)) {
        EmitQuadricCylinder(sink, QuadricStyle(), BottomRadius(), topRadius_, Height(),
                            SlicesAt(level), StacksAt(level));
    }
    if (parts_.Contains(cyTop)) {
        sink.PushMatrix();
        sink.Translate(0, 0, Height());
        EmitQuadricDisk(sink, QuadricStyle(), 0, topRadius_, SlicesAt(level), LoopsAt(level));
        sink.PopMatrix();
    }
    if (parts_.Contains(cyBottom)) {
        EmitQuadricDisk(sink, QuadricStyle(true), 0, BottomRadius(), SlicesAt(level),
                        LoopsAt(level));
    }
    sink.PopMatrix();
}

// ---- annulus -----------------------------------------------------------------------------

void TGLAnnulus::SetBottomInnerRadius(float value) {
    StoreShapeProperty(*this, bottomInnerRadius_, value);
}
void TGLAnnulus::SetTopInnerRadius(float value) {
    StoreShapeProperty(*this, topInnerRadius_, value);
}
void TGLAnnulus::SetTopRadius(float value) {
    StoreShapeProperty(*this, topRadius_, value);
}
void TGLAnnulus::SetParts(TAnnulusParts value) {
    StoreShapeProperty(*this, parts_, value);
}

void TGLAnnulus::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLAnnulus*>(&source)) {
        SetBottomInnerRadius(src->bottomInnerRadius_);
        SetTopInnerRadius(src->topInnerRadius_);
        SetTopRadius(src->topRadius_);
        SetParts(src->parts_);
    }
    TGLCylinderBase::Assign(source);
    EndUpdate();
}

std::optional<TAABB> TGLAnnulus::GeometryBox() {
    const float m =
        std::max({MaxRadius(), std::fabs(bottomInnerRadius_), std::fabs(topInnerRadius_)});
    const float h = std::fabs(Height()) * 0.5f;
    return TAABB{{-m, -h, -m}, {m, h, m}};
}

void TGLAnnulus::EmitGeometry(TRenderContextInfo& rci) {
    const int level = rci.detailLevel;
    TGLGeometrySink& sink = GeometrySinkOf(rci);
    sink.PushMatrix();
    sink.Rotate(-90, 1, 0, 0);
    sink.Translate(0, 0, -Height() * 0.5f);
    if (parts_.Contains(anOuterSides)) {
        EmitQuadricCylinder(sink, QuadricStyle(), BottomRadius(), topRadius_, Height(),
                            SlicesAt(level), StacksAt(level));
    }
    if (parts_.Contains(anTop)) {
        sink.PushMatrix();
        sink.Translate(0, 0, Height());
        EmitQuadricDisk(sink, QuadricStyle(), topInnerRadius_, topRadius_, SlicesAt(level),
                        LoopsAt(level));
        sink.PopMatrix();
    }
    if (parts_.Contains(anBottom)) {
        EmitQuadricDisk(sink, QuadricStyle(true), bottomInnerRadius_, BottomRadius(),
                        SlicesAt(level), LoopsAt(level));
    }
    if (parts_.Contains(anInnerSides)) {
        // Facing the axis.
        EmitQuadricCylinder(sink, QuadricStyle(true), bottomInnerRadius_, topInnerRadius_, Height(),
                            SlicesAt(level), StacksAt(level));
    }
    sink.PopMatrix();
}

} // namespace hk
