// Normal settings of the quadric solids and the tessellation style they imply.
#include "primitives/quadrics/quadric_object.h"

#include "primitives/shapes/assign_scene_object.h"

namespace hk {

void TGLQuadricObject::SetNormals(TNormalSmoothing value) {
    if (value != normals_) {
        normals_ = value;
        StructureChanged();
    }
}

void TGLQuadricObject::SetNormalDirection(TNormalDirection value) {
    if (value != normalDirection_) {
        normalDirection_ = value;
        StructureChanged();
    }
}

void TGLQuadricObject::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLQuadricObject*>(&source)) {
        SetNormals(src->normals_);
        SetNormalDirection(src->normalDirection_);
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

TQuadricStyle TGLQuadricObject::QuadricStyle(bool inverted) const {
    TQuadricStyle style;
    style.normals = normals_ != nsNone;
    style.flat = normals_ == nsFlat;
    style.outside = (normalDirection_ == ndOutside) != inverted;
    return style;
}

} // namespace hk
