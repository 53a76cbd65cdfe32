// TGLCamera: the scene object a buffer looks through. It holds the projection parameters, an
// optional target it always looks at, and the navigation steps the viewer's mouse and wheel
// handlers call (orbit, distance scaling, turning an object in view, panning).
#pragma once

#include "engine/scene_object.h"
#include "engine/viewport.h"

#include <functional>

namespace hk {

enum TGLCameraStyle { csPerspective, csOrthogonal, csOrtho2D, csCustom, csInfinitePerspective };

class TGLCamera : public TGLImmaterialSceneObject {
public:
    // Loads its own projection matrix; may change the view extent ratio.
    using TOnCustomPerspective =
        std::function<void(TGLCamera* sender, const TRectangle& viewport, int width, int height,
                           int dpi, float& viewExtentRatio)>;
    // Replaces the view computation of ApplyViewMatrix when set.
    using TOnDeferredApply = std::function<void(TGLCamera* sender)>;

    // Direction (0, 0, -1), Up (0, 1, 0), FocalLength 50, DepthOfView 100.
    TGLCamera();
    // Drops the target link first.
    ~TGLCamera() override;

    float FocalLength() const { return focalLength_; }
    // A value <= 0 becomes 1.
    void SetFocalLength(float value);
    float DepthOfView() const { return depthOfView_; }
    void SetDepthOfView(float value);
    float NearPlaneBias() const { return nearPlaneBias_; }
    // A value <= 0 becomes 1.
    void SetNearPlaneBias(float value);
    float SceneScale() const { return sceneScale_; }
    // 0 becomes 1.
    void SetSceneScale(float value);
    TGLCameraStyle CameraStyle() const { return cameraStyle_; }
    void SetCameraStyle(TGLCameraStyle value);
    // Weak: cleared when the target is destroyed.
    TGLBaseSceneObject* TargetObject() const { return targetObject_; }
    void SetTargetObject(TGLBaseSceneObject* target);

    // Written by ApplyProjection: the near plane distance (-1 in csOrtho2D) and the
    // half-diagonal of the near-plane window over the near distance.
    float NearPlane() const { return nearPlane_; }
    float ViewExtentRatio() const { return viewExtentRatio_; }
    // The normalised view direction of the last ApplyViewMatrix.
    const TVector& LastDirection() const { return lastDirection_; }

    TOnCustomPerspective OnCustomPerspective;
    TOnDeferredApply DeferredApply;

    // To the target (normalised) with one, else WorldDirection.
    TVector AbsoluteViewDirection();
    // Distance to the target; 1 without one.
    float TargetDistance();
    // Degrees seen over `size` pixels: 2 atan2(size / 2, FocalLength); 0 when FocalLength is 0.
    float FieldOfViewFor(float size) const;
    // FocalLength := size / (2 tan(fov / 2)).
    void SetFieldOfViewFor(float size, float fieldOfView);

    // Orbits the target (degrees); nothing without a target.
    void OrbitTarget(float pitchDelta, float turnDelta);
    // Moves along the line to the target so the distance is multiplied by `factor`.
    void ScaleTargetDistance(float factor);
    // Turns `obj` about the view's roll, turn and pitch axes (degrees, in that order), keeping
    // its position and scale.
    void RotateObjectInView(TGLBaseSceneObject* obj, float pitchDelta, float turnDelta,
                            float rollDelta);
    // A screen drag (d1 vertical, d2 horizontal) as a vector in the world XY plane of length
    // ratio * |(d1, d2)|.
    TVector PanVectorXY(int d1, int d2, float ratio);

    // With the projection stack current: multiplies the camera's projection in. Nothing when
    // width or height is below 1.
    void ApplyProjection(const TRectangle& viewport, int width, int height, int dpi);
    // With the model-view stack current: multiplies the look-at matrix in.
    void ApplyViewMatrix();

    bool IsCamera() const override { return true; }
    // A camera is never hit.
    bool RayHit(const TVector& rayStart, const TVector& rayVector, TVector* hitPoint,
                TVector* hitNormal) override;
    // Draws nothing of its own; only its children, when asked.
    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;

protected:
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    float focalLength_ = 50;
    float depthOfView_ = 100;
    float nearPlane_ = 0;
    float viewExtentRatio_ = 0;
    TVector lastDirection_{0, 0, -1, 0};
    float nearPlaneBias_ = 1;
    TGLCameraStyle cameraStyle_ = csPerspective;
    float sceneScale_ = 1;
    TGLBaseSceneObject* targetObject_ = nullptr;
};

} // namespace hk
