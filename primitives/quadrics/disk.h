// TGLDisk: a flat disk, ring or ring sector in the object's XY plane, facing +Z.
#pragma once

#include "primitives/quadrics/quadric_object.h"

namespace hk {

class TGLDisk : public TGLQuadricObject {
public:
    float InnerRadius() const { return innerRadius_; }
    void SetInnerRadius(float value);
    float OuterRadius() const { return outerRadius_; }
    void SetOuterRadius(float value);
    int Slices() const { return slices_; }
    void SetSlices(int value);
    int Loops() const { return loops_; }
    void SetLoops(int value);
    // Degrees, as GLU's partial disk takes them.
    float StartAngle() const { return startAngle_; }
    void SetStartAngle(float value);
    float SweepAngle() const { return sweepAngle_; }
    void SetSweepAngle(float value);

    // (|OuterRadius|, |OuterRadius|, 0): the inner radius and the sweep do not matter.
    TVector UnscaledBoxExtents() override;
    void Assign(const TGLBaseSceneObject& source) override;
    void EmitGeometry(TRenderContextInfo& rci) override;
    std::optional<TAABB> GeometryBox() override;
    // Coarser levels draw fewer slices and one loop, by the outer radius on screen.
    int DetailLevelFor(float pixelsPerUnit) override;
    bool RecordsGeometry() override { return QuadricStyle().normals; }

private:
    float innerRadius_ = 0.0f;
    float outerRadius_ = 0.5f;
    int slices_ = 16;
    int loops_ = 2;
    float startAngle_ = 0.0f;
    float sweepAngle_ = 360.0f;
};

} // namespace hk
