// TViewerScene: the main window's non-visual scene parts, kept apart from any window so that
// the batch mode builds and checks the same scene: the scene with its fixed objects, the two
// material libraries and the collision manager. The window and the batch run each own one.
#pragma once

#include "collision/collision_manager.h"
#include "engine/material_library.h"
#include "engine/scene.h"
#include "primitives/text/axis_captions.h"

#include <unordered_set>

namespace hk {

class TGLBaseSceneObject;
class TGLCamera;
class TGLDummyCube;
class TGLLightSource;
class TGLSphere;

class TViewerScene {
public:
    // Builds the fixed scene and fills GLMaterialLibrary1:
    // - at the root DummyCube1 (axes shown, cube size 1, edge colour (0.5, 0.5, 0.5, 1)) and
    //   the spare cameras GLCamera1 and GLCamera3 (depth of view 100, focal length 50);
    // - under DummyCube1: GLCamera2 at (15, 10, 15) looking at DummyCube1 (depth of view 1000,
    //   focal length 400) carrying GLLightSource3 (constant attenuation 1, spot cut-off 180),
    //   the axis captions, the model root GLDummyCube1 (cube size 1) and the marker GLSphere1
    //   (visible; start-up hides it);
    // - GLMaterialLibrary1 with "MatSurface", "MatInner", "LibMaterial", "detailmap", "noise",
    //   "walkway", "rawwall" and "LibMaterial1" in this order; GLMaterialLibrary2 empty.
    TViewerScene();
    TViewerScene(const TViewerScene&) = delete;
    TViewerScene& operator=(const TViewerScene&) = delete;

    // Declared before the scene so that the built objects, which link to them, go first.
    TGLMaterialLibrary GLMaterialLibrary1;
    TGLMaterialLibrary GLMaterialLibrary2;
    TCollisionManager CollisionManager1;
    TGLScene GLScene1;

    // Weak links into GLScene1, which owns the objects.
    TGLDummyCube* DummyCube1 = nullptr;
    TGLCamera* GLCamera1 = nullptr;
    TGLCamera* GLCamera2 = nullptr;
    TGLCamera* GLCamera3 = nullptr;
    TGLLightSource* GLLightSource3 = nullptr;
    TAxisCaptions Captions;
    TGLDummyCube* GLDummyCube1 = nullptr;
    TGLSphere* GLSphere1 = nullptr;

    // The line objects of the dimensions of the last build, whose Tag is the dimension's index
    // in DimensionTable rather than a data-file line. Weak links, refilled by every build.
    std::unordered_set<const TGLBaseSceneObject*> DimensionLines;
};

// Adds the eight materials of the model library to `library`, in order.
void FillModelMaterialLibrary(TGLMaterialLibrary& library);

} // namespace hk
