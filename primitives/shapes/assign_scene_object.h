// The scene-object part of a primitive's Assign: placement, visibility, tag and, between two
// material-bearing objects, the material.
#pragma once

#include "engine/scene_object.h"

namespace hk {

// Copies position, direction, up, scale, visibility, axes display and tag of `source` into
// `target`, and the material when both carry one. Children and behaviours are not copied.
void AssignSceneObject(TGLBaseSceneObject& target, const TGLBaseSceneObject& source);

} // namespace hk
