// TGLQuadricObject: the base of the solids drawn through GLU quadrics (and of the sphere): the
// normal smoothing and normal direction settings and the quadric set-up they imply.
#pragma once

#include "engine/custom_scene_object.h"

#include <memory>

struct GLUquadric;

namespace hk {

enum TNormalSmoothing { nsFlat, nsSmooth, nsNone };
enum TNormalDirection { ndInside, ndOutside };

// One GLU quadric for the length of a build; deleted with the holder.
struct TGLUQuadricDeleter {
    void operator()(GLUquadric* q) const;
};
using TGLUQuadricPtr = std::unique_ptr<GLUquadric, TGLUQuadricDeleter>;

class TGLQuadricObject : public TGLCustomSceneObject {
public:
    TNormalSmoothing Normals() const { return normals_; }
    void SetNormals(TNormalSmoothing value);
    TNormalDirection NormalDirection() const { return normalDirection_; }
    void SetNormalDirection(TNormalDirection value);

    // From a quadric object: normals and normal direction; then the scene-object part.
    virtual void Assign(const TGLBaseSceneObject& source);

protected:
    // A new quadric with fill style, the normals and orientation of this object and texture
    // coordinates on; none when GLU cannot make one.
    TGLUQuadricPtr NewQuadric() const;
    // Turns the quadric to face the other way for the rest of the build (bottom caps, inner
    // walls).
    void SetInvertedQuadricOrientation(GLUquadric* quadric) const;

private:
    TNormalSmoothing normals_ = nsSmooth;
    TNormalDirection normalDirection_ = ndOutside;
};

} // namespace hk
