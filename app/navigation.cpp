// Mouse, wheel and key navigation of the 3D view and its view controls.
#include "app/navigation.h"

#include "engine/camera.h"
#include "engine/custom_scene_object.h"
#include "engine/material_library.h"
#include "engine/vector_geometry.h"

#include <cmath>

namespace hk {

namespace {

// Scene units per pixel of target distance over focal length: the pan step and the drag step.
constexpr float cPanRatio = 0.12f;
constexpr float cDragRatio = 0.132f;
constexpr float cKeyTurnDegrees = 15;
constexpr float cWheelNotch = 120;
constexpr float cWheelStep = 1.1f;

} // namespace

TDragAction DragActionFor(TShiftState shift, bool pickMode, bool hasPicked) {
    if (shift.Contains(ssLeft)) {
        if (shift.Contains(ssShift)) {
            return hasPicked ? TDragAction::daRotatePicked : TDragAction::daNone;
        }
        return TDragAction::daOrbit;
    }
    if (shift == TShiftState{ssRight}) {
        if (pickMode) {
            return hasPicked ? TDragAction::daDragPicked : TDragAction::daNone;
        }
        return TDragAction::daPan;
    }
    return TDragAction::daNone;
}

bool KeyTurnAngles(char key, TAffineVector& angles) {
    switch (key) {
    case '1':
        angles = {0, 0, -cKeyTurnDegrees};
        return true;
    case '3':
        angles = {0, 0, cKeyTurnDegrees};
        return true;
    case '4':
        angles = {0, -cKeyTurnDegrees, 0};
        return true;
    case '6':
        angles = {0, cKeyTurnDegrees, 0};
        return true;
    case '7':
        angles = {-cKeyTurnDegrees, 0, 0};
        return true;
    case '9':
        angles = {cKeyTurnDegrees, 0, 0};
        return true;
    default:
        return false;
    }
}

float WheelDistanceFactor(int wheelDelta) {
    return std::pow(cWheelStep, static_cast<float>(wheelDelta) / cWheelNotch);
}

TAffineVector ScreenPlaneOffset(const TAffineVector& cameraFromTarget, int dx, int dy,
                                float unitsPerPixel) {
    if (VectorLength(cameraFromTarget) < 1e-6f) {
        return {0, 0, 0};
    }
    const TAffineVector n = VectorNormalize(cameraFromTarget);
    const TAffineVector worldUp{0, 1, 0};
    const TAffineVector upInView = VectorCombine(worldUp, n, 1, -VectorDotProduct(worldUp, n));
    if (VectorLength(upInView) < 1e-6f) {
        return {0, 0, 0};
    }
    const TAffineVector u = VectorNormalize(upInView);
    const TAffineVector r = VectorNormalize(VectorCrossProduct(u, n));
    return VectorCombine(r, u, -static_cast<float>(dx) * unitsPerPixel,
                         static_cast<float>(dy) * unitsPerPixel);
}

TViewNavigator::TViewNavigator(const TNavigationScene& scene) : scene_(scene) {}

TViewNavigator::~TViewNavigator() {
    SetPicked(nullptr);
}

void TViewNavigator::SetPicked(TGLBaseSceneObject* obj) {
    if (picked_ == obj) {
        return;
    }
    if (picked_ != nullptr) {
        RemoveFreeNotification(picked_);
    }
    picked_ = obj;
    if (picked_ != nullptr) {
        FreeNotification(picked_);
    }
}

void TViewNavigator::Notification(TGLComponent* component, TOperation operation) {
    if (operation == opRemove && component == picked_) {
        picked_ = nullptr;
    }
}

bool TViewNavigator::Pickable(const TGLBaseSceneObject* hit) const {
    if (hit == nullptr) {
        return false;
    }
    if (dynamic_cast<const TGLCustomSceneObject*>(hit) != nullptr) {
        return true;
    }
    // Lines and other immaterial objects of the drawing.
    for (const TGLBaseSceneObject* p = hit->Parent(); p != nullptr; p = p->Parent()) {
        if (p == scene_.ModelRoot) {
            return true;
        }
    }
    return false;
}

TGLBaseSceneObject* TViewNavigator::MouseDown(TGLBaseSceneObject* hit, int x, int y) {
    TGLBaseSceneObject* obj = Pickable(hit) ? hit : nullptr;
    if (obj != nullptr) {
        SetPicked(obj);
    }
    lastX_ = x;
    lastY_ = y;
    return obj;
}

TDragAction TViewNavigator::MouseMove(TShiftState shift, int x, int y) {
    const int dx = lastX_ - x;
    const int dy = lastY_ - y;
    lastX_ = x;
    lastY_ = y;
    const TDragAction action = DragActionFor(shift, pickMode_, picked_ != nullptr);
    switch (action) {
    case TDragAction::daRotatePicked:
        scene_.Camera->RotateObjectInView(picked_, static_cast<float>(dy), static_cast<float>(dx),
                                          0);
        break;
    case TDragAction::daOrbit:
        scene_.Camera->OrbitTarget(static_cast<float>(dy), static_cast<float>(dx));
        break;
    case TDragAction::daPan:
        Pan(dx, dy);
        break;
    case TDragAction::daDragPicked:
        DragPicked(dx, dy);
        break;
    case TDragAction::daNone:
        break;
    }
    return action;
}

void TViewNavigator::Pan(int dx, int dy) {
    TGLCamera& camera = *scene_.Camera;
    const float ratio = camera.TargetDistance() * cPanRatio / camera.FocalLength();
    const TVector v = camera.PanVectorXY(dy, dx, ratio);
    scene_.ModelRoot->Position().AddOffset(v.Affine());
    camera.NotifyTransformChanged();
}

void TViewNavigator::DragPicked(int dx, int dy) {
    TGLCamera& camera = *scene_.Camera;
    const float k = camera.TargetDistance() * cDragRatio / camera.FocalLength();
    const TAffineVector inRig = ScreenPlaneOffset(camera.Position().GetXYZ(), dx, dy, k);
    // The offset is a direction in the rig's frame; the object moves in its parent's frame,
    // which is the model root's and so the rig's unless the object sits deeper.
    TAffineVector offset = inRig;
    TGLBaseSceneObject* parent = picked_->Parent();
    if (parent != nullptr && parent != scene_.Rig) {
        const TVector world = scene_.Rig->ObjectToWorld(TVector{inRig.x, inRig.y, inRig.z, 0});
        offset = parent->WorldToObject(world).Affine();
    }
    picked_->Position().AddOffset(offset);
}

void TViewNavigator::MouseWheel(int wheelDelta) {
    scene_.Camera->ScaleTargetDistance(WheelDistanceFactor(wheelDelta));
}

bool TViewNavigator::KeyPress(char key) {
    TAffineVector angles{};
    if (!KeyTurnAngles(key, angles)) {
        return false;
    }
    scene_.Rig->RotateAboutAbsoluteAxes(angles.x, angles.y, angles.z);
    return true;
}

void SetSurfaceTransparency(TGLMaterialLibrary& library, int position) {
    TGLLibMaterial* surface = library.Materials().Items(0);
    if (surface != nullptr) {
        surface->Material().FrontProperties().Diffuse().SetAlpha(static_cast<float>(position) /
                                                                 1000.0f);
    }
}

bool BlinkMarker(TGLCustomSceneObject& marker) {
    if (!marker.Visible()) {
        return false;
    }
    TGLColor& ambient = marker.Material().FrontProperties().Ambient();
    ambient.SetRed(ambient.Red() == 0 ? 1.0f : 0.0f);
    return true;
}

} // namespace hk
