// TGLCylinderBase with its two solids: TGLCylinder (straight or tapered, optional end caps) and
// TGLAnnulus (a thick-walled tube). Both stand along the object's Y axis.
#pragma once

#include "engine/flags.h"
#include "primitives/quadrics/quadric_object.h"

namespace hk {

class TGLCylinderBase : public TGLQuadricObject {
public:
    float BottomRadius() const { return bottomRadius_; }
    void SetBottomRadius(float value);
    float Height() const { return height_; }
    void SetHeight(float value);
    int Slices() const { return slices_; }
    void SetSlices(int value);
    int Stacks() const { return stacks_; }
    void SetStacks(int value);
    int Loops() const { return loops_; }
    // Values of 0 or less are ignored.
    void SetLoops(int value);
    // The radius at the top end, for outline code: BottomRadius here.
    virtual float TopRadiusOf() const { return bottomRadius_; }

    // (m, Height/2, m) with m the larger absolute radius; the alignment does not matter.
    TVector UnscaledBoxExtents() override;
    // Coarser levels draw fewer slices and one stack and loop, by the larger radius on screen.
    int DetailLevelFor(float pixelsPerUnit) override;
    bool RecordsGeometry() override { return QuadricStyle().normals; }

    // From a cylinder base: bottom radius, height, slices, stacks, loops; then the quadric part.
    void Assign(const TGLBaseSceneObject& source) override;

protected:
    // Slices, stacks and loops at a level of detail.
    int SlicesAt(int level) const;
    int StacksAt(int level) const { return level > 0 ? 1 : stacks_; }
    int LoopsAt(int level) const { return level > 0 ? 1 : loops_; }
    // The larger absolute radius, top or bottom.
    float MaxRadius() const;

private:
    float bottomRadius_ = 0.5f;
    float height_ = 1.0f;
    int slices_ = 16;
    int stacks_ = 4;
    int loops_ = 1;
};

enum TCylinderPart { cySides, cyBottom, cyTop };
using TCylinderParts = TFlags<TCylinderPart>;
enum TCylinderAlignment { caCenter, caTop, caBottom };

class TGLCylinder : public TGLCylinderBase {
public:
    float TopRadius() const { return topRadius_; }
    void SetTopRadius(float value);
    TCylinderParts Parts() const { return parts_; }
    void SetParts(TCylinderParts value);
    TCylinderAlignment Alignment() const { return alignment_; }
    void SetAlignment(TCylinderAlignment value);
    float TopRadiusOf() const override { return topRadius_; }

    void Assign(const TGLBaseSceneObject& source) override;
    void EmitGeometry(TRenderContextInfo& rci) override;
    // Along Y where the alignment puts the height.
    std::optional<TAABB> GeometryBox() override;

private:
    float topRadius_ = 0.5f;
    TCylinderParts parts_{cySides, cyBottom, cyTop};
    TCylinderAlignment alignment_ = caCenter;
};

enum TAnnulusPart { anInnerSides, anOuterSides, anBottom, anTop };
using TAnnulusParts = TFlags<TAnnulusPart>;

class TGLAnnulus : public TGLCylinderBase {
public:
    float BottomInnerRadius() const { return bottomInnerRadius_; }
    void SetBottomInnerRadius(float value);
    float TopInnerRadius() const { return topInnerRadius_; }
    void SetTopInnerRadius(float value);
    float TopRadius() const { return topRadius_; }
    void SetTopRadius(float value);
    TAnnulusParts Parts() const { return parts_; }
    void SetParts(TAnnulusParts value);
    float TopRadiusOf() const override { return topRadius_; }

    void Assign(const TGLBaseSceneObject& source) override;
    // Always centred on the origin.
    void EmitGeometry(TRenderContextInfo& rci) override;
    std::optional<TAABB> GeometryBox() override;

private:
    float bottomInnerRadius_ = 0.3f;
    float topInnerRadius_ = 0.3f;
    float topRadius_ = 0.5f;
    TAnnulusParts parts_{anInnerSides, anOuterSides, anBottom, anTop};
};

} // namespace hk
