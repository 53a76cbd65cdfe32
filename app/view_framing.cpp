// Framing the view on a point or on the whole model.
#include "app/view_framing.h"

#include "app/object_box.h"
#include "engine/camera.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"

#include <algorithm>
#include <cmath>

namespace hk {
namespace {

constexpr float cFitAllShare = 0.9f;
constexpr float cMinDistance = 0.01f;
constexpr float cMinRadius = 0.05f;
constexpr float cDepthShare = 0.8f; // the farthest the camera goes, as a share of its depth

} // namespace

// The projection's near plane lies at FocalLength * 2 dpi / (25.4 maxSide) and reaches
// side / (2 maxSide SceneScale) to either side of the centre.
float TanHalfView(const TGLCamera& camera, float sidePixels, int dpi) {
    const double d = 4.0 * camera.FocalLength() * dpi * camera.SceneScale();
    return d > 0 ? float(25.4 * sidePixels / d) : 0;
}

void FramePoint(const TNavigationScene& scene, const TAffineVector& point, float radius,
                float tanHalfView, float share) {
    if (!(radius > 0) || !std::isfinite(radius) || !(tanHalfView > 0) ||
        !std::isfinite(tanHalfView) || !scene.Camera || !scene.ModelRoot)
        return;
    scene.ModelRoot->Position().SetPoint(-point.x, -point.y, -point.z);
    TGLCamera& camera = *scene.Camera;
    float distance = radius / (share * tanHalfView);
    distance = std::clamp(distance, cMinDistance, camera.DepthOfView() * cDepthShare);
    const float now = camera.TargetDistance();
    if (now > 0)
        camera.ScaleTargetDistance(distance / now);
    camera.NotifyTransformChanged();
}

void FrameAll(const TNavigationScene& scene, float tanHalfView) {
    if (!scene.ModelRoot)
        return;
    TAABB box = EmptyBox();
    for (int i = 0; i < scene.ModelRoot->Count(); ++i) {
        TGLBaseSceneObject& object = *scene.ModelRoot->Children(i);
        if (object.Visible())
            box = AABBUnion(box, ObjectBox(object));
    }
    if (!(box.min.x <= box.max.x && box.min.y <= box.max.y && box.min.z <= box.max.z))
        return;
    const TAffineVector centre{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2,
                               (box.min.z + box.max.z) / 2};
    const float radius = VectorLength(VectorSubtract(box.max, box.min)) / 2;
    FramePoint(scene, centre, std::max(radius, cMinRadius), tanHalfView, cFitAllShare);
}

} // namespace hk
