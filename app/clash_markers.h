// TClashMarkers: the two closest points of the selected clash in the 3D view, a small sphere on
// each solid, drawn over everything (the points of a penetration lie inside the solids) in a
// colour that stands out from both highlight colours, at a size that stays the same on screen.
// The spheres hang from the rig beside the model root, so scene builds leave them alone and
// the model's materials are never touched; they follow the model root's position, which
// panning and framing move.
#pragma once

#include "engine/vector_types.h"

#include <array>

namespace hk {

class TGLBaseSceneObject;
class TGLSphere;

// Emission of the markers.
inline constexpr TColorVector cClashMarkerColour{1.0f, 0.95f, 0.1f, 1.0f};
// Radius of a marker in screen pixels.
inline constexpr float cClashMarkerPixels = 5;

class TClashMarkers {
public:
    // Adds the two spheres, hidden, as the last children of rig; modelRoot is the rig's child
    // that holds the built objects. The scene owns the spheres; both objects outlive this.
    TClashMarkers(TGLBaseSceneObject& rig, TGLBaseSceneObject& modelRoot);
    TClashMarkers(const TClashMarkers&) = delete;
    TClashMarkers& operator=(const TClashMarkers&) = delete;

    // Marks a and b, points in the model root's space.
    void Show(const TAffineVector& a, const TAffineVector& b);
    void Hide();
    bool Shown() const { return shown_; }
    // The marked points in the model root's space.
    const std::array<TAffineVector, 2>& Points() const { return points_; }

    // Before each frame: places the spheres on their points as the model root now stands and
    // sizes each to cClashMarkerPixels, given the camera's world position and the world size
    // of a screen pixel at a distance of 1 from it.
    void Fit(const TAffineVector& cameraWorld, float pixelPerDistance);

    TGLSphere& Sphere(int i) { return *spheres_[std::size_t(i)]; }

private:
    TGLBaseSceneObject& rig_;
    TGLBaseSceneObject& modelRoot_;
    std::array<TGLSphere*, 2> spheres_{}; // weak links, owned by the scene
    std::array<TAffineVector, 2> points_{};
    bool shown_ = false;
};

} // namespace hk
