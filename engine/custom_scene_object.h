// TGLCustomSceneObject: a scene object with its own material, applied around its geometry
// during the walk. Every viewer primitive derives from it.
#pragma once

#include "engine/material.h"
#include "engine/scene_object.h"

namespace hk {

class TGLCustomSceneObject : public TGLBaseSceneObject {
public:
    TGLCustomSceneObject() : material_(this) {}

    TGLMaterial& Material() { return material_; }
    const TGLMaterial& Material() const { return material_; }
    // The material's blended test.
    bool IsBlended() override { return material_.IsBlended(); }
    // Material, geometry (again while the material asks for another pass), then children.
    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;

private:
    TGLMaterial material_;
};

} // namespace hk
