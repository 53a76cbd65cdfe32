// TGLQuadricObject: the base of the quadric solids (cylinder, annulus, disk, sphere): the normal
// smoothing and normal direction settings and the tessellation style they imply.
#pragma once

#include "engine/custom_scene_object.h"
#include "primitives/quadrics/quadric_shapes.h"

namespace hk {

enum TNormalSmoothing { nsFlat, nsSmooth, nsNone };
enum TNormalDirection { ndInside, ndOutside };

class TGLQuadricObject : public TGLCustomSceneObject {
public:
    TNormalSmoothing Normals() const { return normals_; }
    void SetNormals(TNormalSmoothing value);
    TNormalDirection NormalDirection() const { return normalDirection_; }
    void SetNormalDirection(TNormalDirection value);

    // From a quadric object: normals and normal direction; then the scene-object part.
    virtual void Assign(const TGLBaseSceneObject& source);

protected:
    // The tessellation style of this object's normals and orientation; `inverted` faces the
    // other way (bottom caps, inner walls).
    TQuadricStyle QuadricStyle(bool inverted = false) const;

private:
    TNormalSmoothing normals_ = nsSmooth;
    TNormalDirection normalDirection_ = ndOutside;
};

} // namespace hk
