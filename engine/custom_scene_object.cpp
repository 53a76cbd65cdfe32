// The material-aware draw step of custom scene objects.
#include "engine/custom_scene_object.h"

#include "engine/scene.h"

namespace hk {

void TGLCustomSceneObject::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                               bool renderChildren) {
    if (renderSelf) {
        if (Scene()) {
            Scene()->SetCurrentRenderingObject(this);
        }
        if (rci.ignoreMaterials) {
            DrawGeometry(rci);
        } else {
            material_.ApplyMaterial(rci);
            do {
                DrawGeometry(rci);
            } while (material_.UnapplyMaterial(rci));
        }
    }
    if (renderChildren && Count() > 0) {
        RenderChildRange(0, Count() - 1, rci);
    }
}

} // namespace hk
