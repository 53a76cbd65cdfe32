// The setter rule of the primitives' shape properties: an unchanged value does nothing; a new
// one is stored and marks the object's structure, so its display list is compiled again.
#pragma once

#include "engine/scene_object.h"

namespace hk {

template <class T> void StoreShapeProperty(TGLBaseSceneObject& obj, T& field, T value) {
    if (value != field) {
        field = value;
        obj.StructureChanged();
    }
}

} // namespace hk
