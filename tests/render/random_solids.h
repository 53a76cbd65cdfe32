// Random solids of every kind the viewer draws (cylinder, annulus, torus, tube, disk, box),
// a fraction of a unit to about two units in size, for the render tests' oracles.
#pragma once

#include "engine/custom_scene_object.h"

#include <random>

namespace hk::test {

// A new child of `root` of kind `kind` modulo 6, shaped at random.
TGLCustomSceneObject* AddRandomSolid(TGLBaseSceneObject& root, int kind, std::mt19937& random);

} // namespace hk::test
