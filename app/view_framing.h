// Framing the 3D view: the camera's target onto a point of the model and the camera's distance
// so that a box fills a share of the view. The view looks at the rig, so the model root is
// moved under the target (as panning does) and the camera keeps its direction.
#pragma once

#include "app/navigation.h"

namespace hk {

// Moves the model root so that `point` (model-root space) lies at the rig's origin, where the
// camera looks, and sets the camera's distance so that a sphere of `radius` around it spans
// `share` of the view's smaller side, whose half angle has the tangent `tanHalfView` (from the
// projection of the last frame). The distance stays within the camera's depth of view.
// Nothing for a radius or tangent that is not positive and finite.
void FramePoint(const TNavigationScene& scene, const TAffineVector& point, float radius,
                float tanHalfView, float share = 0.5f);

// "全体表示": frames the box of every visible built object, centred, filling most of the view.
// Nothing when no object is built.
void FrameAll(const TNavigationScene& scene, float tanHalfView);

// The tangent of half the view angle of a perspective camera across `sidePixels` of a view
// drawn at `dpi`, as the camera's projection makes it; 0 for a camera with no focal length.
float TanHalfView(const TGLCamera& camera, float sidePixels, int dpi);

} // namespace hk
