// Normal settings and the GLU quadric set-up of the quadric solids.
#include "primitives/quadrics/quadric_object.h"

#include "primitives/shapes/assign_scene_object.h"

#include <GL/glu.h>

namespace hk {

void TGLUQuadricDeleter::operator()(GLUquadric* q) const {
    gluDeleteQuadric(q);
}

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

TGLUQuadricPtr TGLQuadricObject::NewQuadric() const {
    TGLUQuadricPtr q(gluNewQuadric());
    if (!q) {
        return q;
    }
    gluQuadricDrawStyle(q.get(), GLU_FILL);
    switch (normals_) {
    case nsFlat:
        gluQuadricNormals(q.get(), GLU_FLAT);
        break;
    case nsSmooth:
        gluQuadricNormals(q.get(), GLU_SMOOTH);
        break;
    case nsNone:
        gluQuadricNormals(q.get(), GLU_NONE);
        break;
    }
    gluQuadricOrientation(q.get(), normalDirection_ == ndOutside ? GLU_OUTSIDE : GLU_INSIDE);
    gluQuadricTexture(q.get(), GL_TRUE);
    return q;
}

void TGLQuadricObject::SetInvertedQuadricOrientation(GLUquadric* quadric) const {
    gluQuadricOrientation(quadric, normalDirection_ == ndOutside ? GLU_INSIDE : GLU_OUTSIDE);
}

} // namespace hk
