// The box a built object's drawing fills, in its parent's space (for the built objects, the
// model root's): what the clash list points at and the view frames. It differs from the
// collision box for objects drawn through nodes (lines, tubes, faces), whose collision box is
// not centred on their drawing.
#pragma once

#include "engine/vector_geometry.h"
#include "engine/vector_types.h"

namespace hk {

class TGLBaseSceneObject;

// Lines, tubes and faces: the box of their nodes (a tube widened by its radius), carried
// into the parent's space; other objects: their hierarchy box carried into it.
TAABB ObjectBox(TGLBaseSceneObject& object);

// A box holding nothing: min +infinity, max -infinity.
TAABB EmptyBox();

} // namespace hk
