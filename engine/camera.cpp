// Camera: projection and view matrices, setter clamps and the navigation steps.
#include "engine/camera.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

constexpr float cInfinitePerspectiveEpsilon = 0.0001f;

} // namespace

TGLCamera::TGLCamera() {
    Direction().SetVector(0, 0, -1);
}

TGLCamera::~TGLCamera() {
    if (targetObject_ != nullptr) {
        RemoveFreeNotification(targetObject_);
        targetObject_ = nullptr;
    }
}

void TGLCamera::SetFocalLength(float value) {
    if (value <= 0) {
        value = 1;
    }
    if (value == focalLength_) {
        return;
    }
    focalLength_ = value;
    if (!IsLoading()) {
        NotifyTransformChanged();
    }
}

void TGLCamera::SetDepthOfView(float value) {
    if (value == depthOfView_) {
        return;
    }
    depthOfView_ = value;
    if (!IsLoading()) {
        NotifyTransformChanged();
    }
}

void TGLCamera::SetNearPlaneBias(float value) {
    if (value <= 0) {
        value = 1;
    }
    if (value != nearPlaneBias_) {
        nearPlaneBias_ = value;
        NotifyChange(this);
    }
}

void TGLCamera::SetSceneScale(float value) {
    if (value == 0) {
        value = 1;
    }
    if (value != sceneScale_) {
        sceneScale_ = value;
        NotifyChange(this);
    }
}

void TGLCamera::SetCameraStyle(TGLCameraStyle value) {
    if (value != cameraStyle_) {
        cameraStyle_ = value;
        NotifyChange(this);
    }
}

void TGLCamera::SetTargetObject(TGLBaseSceneObject* target) {
    if (target == targetObject_ || target == this) {
        return;
    }
    if (targetObject_ != nullptr) {
        RemoveFreeNotification(targetObject_);
    }
    targetObject_ = target;
    if (targetObject_ != nullptr) {
        FreeNotification(targetObject_);
    }
    if (!IsLoading()) {
        NotifyTransformChanged();
    }
}

void TGLCamera::Notification(TGLComponent* component, TOperation operation) {
    if (operation == opRemove && component == targetObject_) {
        // The target is going away: forget it without touching it.
        targetObject_ = nullptr;
        NotifyTransformChanged();
    }
    TGLImmaterialSceneObject::Notification(component, operation);
}

TVector TGLCamera::AbsoluteViewDirection() {
    if (targetObject_ != nullptr) {
        return VectorNormalize(VectorSubtract(targetObject_->WorldPosition(), WorldPosition()));
    }
    return WorldDirection();
}

float TGLCamera::TargetDistance() {
    if (targetObject_ == nullptr) {
        return 1;
    }
    return VectorLength(VectorSubtract(WorldPosition(), targetObject_->WorldPosition()));
}

float TGLCamera::FieldOfViewFor(float size) const {
    if (focalLength_ == 0) {
        return 0;
    }
    return float(RadToDeg(2 * std::atan2(double(size) * 0.5, double(focalLength_))));
}

void TGLCamera::SetFieldOfViewFor(float size, float fieldOfView) {
    double t = std::tan(DegToRad(fieldOfView) * 0.5);
    // A zero or straight angle has no finite focal length; SetFocalLength clamps what is left.
    SetFocalLength(t == 0 ? 0.0f : float(double(size) / (2 * t)));
}

void TGLCamera::OrbitTarget(float pitchDelta, float turnDelta) {
    if (targetObject_ != nullptr) {
        OrbitAround(targetObject_, pitchDelta, turnDelta);
    }
}

void TGLCamera::ScaleTargetDistance(float factor) {
    if (targetObject_ == nullptr) {
        return;
    }
    TAffineVector own = WorldPosition().Affine();
    TAffineVector offset = VectorSubtract(own, targetObject_->WorldPosition().Affine());
    TAffineVector moved = VectorCombine(own, offset, 1, factor - 1);
    if (Parent() != nullptr) {
        moved = Parent()->WorldToObjectPoint(moved);
    }
    Position().SetPoint(moved.x, moved.y, moved.z);
}

void TGLCamera::RotateObjectInView(TGLBaseSceneObject* obj, float pitchDelta, float turnDelta,
                                   float rollDelta) {
    if (obj == nullptr) {
        return;
    }
    TVector up = WorldUp(), v, right;
    if (targetObject_ != nullptr) {
        v = AbsoluteViewDirection();
        right = VectorCrossProduct(v, up);
        up = VectorCrossProduct(right, v);
    } else {
        v = WorldDirection();
        right = VectorCrossProduct(v, up);
    }
    const TVector savedScale = obj->Scale().AsVector();
    const TVector savedPosition = obj->Position().AsVector();
    TMatrix m = obj->ObjectMatrix();
    OrthonormalizeMatrix(m);
    auto turn = [&](const TVector& axis, float degrees) {
        if (degrees != 0) {
            TAffineVector a = obj->WorldToObject(axis).Affine();
            m = MatrixMultiply(RotationMatrix(a, float(DegToRad(degrees))), m);
        }
    };
    turn(v, rollDelta);
    turn(up, turnDelta);
    turn(right, pitchDelta);
    obj->SetMatrix(m);
    obj->SetScale(savedScale);
    obj->SetPosition(savedPosition);
}

TVector TGLCamera::PanVectorXY(int d1, int d2, float ratio) {
    TVector v = targetObject_ != nullptr
                    ? VectorSubtract(targetObject_->WorldPosition(), WorldPosition())
                    : Direction().AsVector();
    float l = VectorLength(v.x, v.y);
    float s = l <= 1e-10f ? ratio : ratio / l;
    return {v.y * d1 * s + v.x * d2 * s, v.y * d2 * s - v.x * d1 * s, 0, 0};
}

void TGLCamera::ApplyProjection(const TRectangle& viewport, int width, int height, int dpi) {
    if (width < 1 || height < 1) {
        return;
    }
    const double w = width, h = height;
    if (cameraStyle_ == csOrtho2D) {
        gluOrtho2D(0, w, 0, h);
        nearPlane_ = -1;
        viewExtentRatio_ = float(std::sqrt(w * w + h * h) / 2);
        return;
    }
    if (cameraStyle_ == csCustom) {
        viewExtentRatio_ = float(std::sqrt(w * w + h * h) / 2);
        if (OnCustomPerspective) {
            OnCustomPerspective(this, viewport, width, height, dpi, viewExtentRatio_);
        }
        return;
    }
    const double maxDim = std::max(w, h);
    auto factor = [&](double size) {
        if (cameraStyle_ == csOrthogonal) {
            return 100.0 * nearPlaneBias_ / (size * focalLength_ * sceneScale_);
        }
        return double(nearPlaneBias_) / (size * sceneScale_);
    };
    double kx = factor(w), ky = factor(h);
    double right = w * ((2.0 * (viewport.Left + viewport.Width) - w) * kx) / (2 * maxDim);
    double left = -w * ((w - 2.0 * viewport.Left) * kx) / (2 * maxDim);
    double top = h * ((2.0 * (viewport.Top + viewport.Height) - h) * ky) / (2 * maxDim);
    double bottom = -h * ((h - 2.0 * viewport.Top) * ky) / (2 * maxDim);
    double znear = focalLength_ * 2.0 * dpi / (25.4 * maxDim) * nearPlaneBias_;
    double zfar = znear + depthOfView_;
    switch (cameraStyle_) {
    case csOrthogonal:
        glOrtho(left, right, bottom, top, znear, zfar);
        break;
    case csInfinitePerspective: {
        TMatrix m = IdentityHmgMatrix;
        const float e = cInfinitePerspectiveEpsilon;
        m[0][0] = float(2 * znear / (right - left));
        m[1][1] = float(2 * znear / (top - bottom));
        m[2][0] = float((right + left) / (right - left));
        m[2][1] = float((top + bottom) / (top - bottom));
        m[2][2] = e - 1;
        m[2][3] = -1;
        m[3][2] = float((e - 2) * znear);
        m[3][3] = 0;
        glMultMatrixf(m.data());
        break;
    }
    default:
        glFrustum(left, right, bottom, top, znear, zfar);
        break;
    }
    nearPlane_ = float(znear);
    viewExtentRatio_ = float(std::sqrt(top * top + right * right) / znear);
}

void TGLCamera::ApplyViewMatrix() {
    if (DeferredApply) {
        DeferredApply(this);
        return;
    }
    TVector eye = WorldPosition(), centre, up;
    if (targetObject_ != nullptr) {
        centre = targetObject_->WorldPosition();
        lastDirection_ = VectorNormalize(VectorSubtract(centre, eye));
        up = Up().AsVector();
    } else {
        TMatrix parentWorld = IdentityHmgMatrix;
        if (Parent() != nullptr) {
            parentWorld = Parent()->WorldMatrix();
        }
        TVector d = TransformVector(VectorMake(Direction().GetXYZ(), 0), parentWorld);
        up = TransformVector(VectorMake(Up().GetXYZ(), 0), parentWorld);
        lastDirection_ = d;
        centre = VectorAdd(eye, d);
    }
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    ClearStructureChanged();
}

bool TGLCamera::RayHit(const TVector&, const TVector&, TVector*, TVector*) {
    return false;
}

void TGLCamera::DrawSelfAndChildren(TRenderContextInfo& rci, bool, bool renderChildren) {
    if (renderChildren && Count() > 0) {
        RenderChildRange(0, Count() - 1, rci);
    }
}

} // namespace hk
