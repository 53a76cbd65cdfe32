// The scene-object part of Assign.
#include "primitives/shapes/assign_scene_object.h"

#include "engine/custom_scene_object.h"

namespace hk {

void AssignSceneObject(TGLBaseSceneObject& target, const TGLBaseSceneObject& source) {
    if (&target == &source) {
        return;
    }
    target.BeginUpdate();
    target.SetPosition(source.Position().AsVector());
    // Up first, then direction: setting the direction re-orthogonalises up against it.
    target.SetUp(source.Up().AsVector());
    target.SetDirection(source.Direction().AsVector());
    target.SetScale(source.Scale().AsVector());
    target.SetVisible(source.Visible());
    target.SetShowAxes(source.ShowAxes());
    target.SetTag(source.Tag());
    auto* dst = dynamic_cast<TGLCustomSceneObject*>(&target);
    auto* src = dynamic_cast<const TGLCustomSceneObject*>(&source);
    if (dst != nullptr && src != nullptr) {
        dst->Material().Assign(src->Material());
    }
    target.EndUpdate();
}

} // namespace hk
