// The closest-point markers of the selected clash.
#include "app/clash_markers.h"

#include "engine/material.h"
#include "engine/vector_geometry.h"
#include "primitives/quadrics/sphere.h"

#include <cmath>

namespace hk {

TClashMarkers::TClashMarkers(TGLBaseSceneObject& rig, TGLBaseSceneObject& modelRoot)
    : rig_(rig), modelRoot_(modelRoot) {
    for (TGLSphere*& sphere : spheres_) {
        sphere = rig_.CreateChild<TGLSphere>();
        sphere->SetName("ClashMarker");
        sphere->SetVisible(false);
        sphere->SetSlices(12);
        sphere->SetStacks(8);
        sphere->SetObjectStyle(TGLObjectStyles{osIgnoreDepthBuffer, osNoVisibilityCulling});
        TGLFaceProperties& face = sphere->Material().FrontProperties();
        face.Emission().SetColor(cClashMarkerColour);
        face.Diffuse().SetColor(0.3f, 0.3f, 0.1f, 1);
        face.Ambient().SetColor(0, 0, 0, 1);
    }
}

void TClashMarkers::Show(const TAffineVector& a, const TAffineVector& b) {
    points_ = {a, b};
    shown_ = true;
    for (TGLSphere* sphere : spheres_)
        sphere->SetVisible(true);
}

void TClashMarkers::Hide() {
    shown_ = false;
    for (TGLSphere* sphere : spheres_)
        sphere->SetVisible(false);
}

void TClashMarkers::Fit(const TAffineVector& cameraWorld, float pixelPerDistance) {
    if (!shown_)
        return;
    const TAffineVector root = modelRoot_.Position().GetXYZ();
    for (std::size_t i = 0; i < spheres_.size(); ++i) {
        const TAffineVector inRig = VectorAdd(root, points_[i]);
        spheres_[i]->Position().SetAsAffineVector(inRig);
        const TAffineVector world = AffineTransform(inRig, rig_.WorldMatrix());
        const float distance = std::sqrt(VectorDistance2(world, cameraWorld));
        const float radius = cClashMarkerPixels * pixelPerDistance * distance;
        // A new radius rebuilds the sphere's list: only when it shows.
        if (std::isfinite(radius) && radius > 0 &&
            std::fabs(radius - spheres_[i]->Radius()) > 0.02f * radius)
            spheres_[i]->SetRadius(radius);
    }
}

} // namespace hk
