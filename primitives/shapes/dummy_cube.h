// TGLCameraInvariantObject and TGLDummyCube: an invisible grouping node (the model root, the
// camera target) that can show a dashed wireframe box and compile its children together.
#pragma once

#include "engine/color.h"
#include "engine/list_handle.h"
#include "engine/scene_object.h"

#include <functional>

namespace hk {

enum TGLCameraInvarianceMode { cimNone, cimPosition, cimOrientation };

// With cimPosition the object is drawn as if it sat at the eye (the view's translation is
// dropped); with cimOrientation it keeps its place but faces the eye unrotated. cimNone draws
// like any scene object.
class TGLCameraInvariantObject : public TGLImmaterialSceneObject {
public:
    TGLCameraInvarianceMode CamInvarianceMode() const { return camInvarianceMode_; }
    void SetCamInvarianceMode(TGLCameraInvarianceMode value);

    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;

protected:
    // The step every mode ends in: the object and its children as usual.
    virtual void DrawInvariant(TRenderContextInfo& rci, bool renderSelf, bool renderChildren);

private:
    TGLCameraInvarianceMode camInvarianceMode_ = cimNone;
};

class TGLDummyCube : public TGLCameraInvariantObject {
public:
    using TVisibilityEvent = std::function<bool(TGLDummyCube* sender, TRenderContextInfo& rci)>;

    // Direct drawing.
    TGLDummyCube();

    float CubeSize() const { return cubeSize_; }
    void SetCubeSize(float value);
    TGLColor& EdgeColor() { return edgeColor_; }
    const TGLColor& EdgeColor() const { return edgeColor_; }
    void SetEdgeColor(const TColorVector& value) { edgeColor_.SetColor(value); }
    bool VisibleAtRunTime() const { return visibleAtRunTime_; }
    void SetVisibleAtRunTime(bool value);
    // Children compiled into one list of the cube's, rebuilt after StructureChanged().
    bool Amalgamate() const { return amalgamate_; }
    void SetAmalgamate(bool value);
    // When set and answering false, neither the cube nor its children are drawn.
    TVisibilityEvent OnVisibilityDetermination;

    // (|CubeSize|/2, same, same).
    TVector UnscaledBoxExtents() override;
    // Never hit.
    bool RayHit(const TVector& rayStart, const TVector& rayVector, TVector* hitPoint = nullptr,
                TVector* hitNormal = nullptr) override;
    // Mean of the children's barycentres; the own position without children.
    TVector BarycenterPosition() override;
    virtual void Assign(const TGLBaseSceneObject& source);
    // The dashed wireframe box when VisibleAtRunTime; nothing otherwise.
    void EmitGeometry(TRenderContextInfo& rci) override;
    void DestroyHandles() override;

protected:
    void DrawInvariant(TRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;

private:
    float cubeSize_ = 1.0f;
    TGLColor edgeColor_;
    bool visibleAtRunTime_ = false;
    bool amalgamate_ = false;
    TGLListHandle amalgamatedList_;
    bool amalgamatedValid_ = false;
};

} // namespace hk
