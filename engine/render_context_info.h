// TRenderContextInfo: the record handed down one scene walk (rendering or picking), with the
// walk's sorting and culling modes, state cache, camera and material switches.
#pragma once

#include "engine/frustum.h"
#include "engine/vector_types.h"

#include <vector>

namespace hk {

class TGLBaseSceneObject;
class TGLGeometrySink;
class TGLScene;
class TGLSceneBufferClient;
class TGLStateCache;

enum TDrawState { dsRendering, dsPicking };

enum TGLObjectsSorting {
    osInherited,
    osNone,
    osRenderFarthestFirst,
    osRenderBlendedLast,
    osRenderNearestFirst
};

enum TGLVisibilityCulling { vcInherited, vcNone, vcObjectBased, vcHierarchical };

struct TRenderContextInfo {
    TGLScene* scene = nullptr;
    TGLSceneBufferClient* buffer = nullptr;
    const TMatrix* modelViewMatrix = nullptr;
    TDrawState drawState = dsRendering;
    TGLObjectsSorting objectsSorting = osNone;
    TGLVisibilityCulling visibilityCulling = vcNone;
    TGLStateCache* GLStates = nullptr;
    TFrustum frustum{};
    int fogDisabledCounter = 0;
    int lightingDisabledCounter = 0;
    bool bufferFaceCull = false;
    bool pushNamesForSubObjects = false;
    bool ignoreMaterials = false;
    bool ignoreBlendingRequests = false;
    bool bypassDisplayLists = false;
    TColorVector sceneAmbientColor{0.2f, 0.2f, 0.2f, 1};
    TGLBaseSceneObject* camera = nullptr;
    TVector cameraPosition{0, 0, 0, 1};
    TVector cameraDirection{0, 0, -1, 0};
    TVector cameraUp{0, 1, 0, 0};
    float viewExtentRatio = 1;
    float farDistance = 100;
    int renderDPI = 96;
    // While rendering: screen pixels per world unit at clip w = 1 (0 draws everything in full
    // detail and culls nothing), and the column of model-view x projection that gives a world
    // point's clip w. An object's size on screen follows from the two.
    float pixelsPerUnit = 0;
    TVector clipW{0, 0, 0, 1};
    // The level of detail of the geometry being drawn or compiled: 0 is the full geometry.
    int detailLevel = 0;
    // A coarse frame (while the view moves): blended solids may be drawn in any order after
    // the opaque ones, which lets them be drawn together.
    bool unsortedBlending = false;
    // Where EmitGeometry sends its triangles; OpenGL when none (see GeometrySinkOf).
    TGLGeometrySink* geometrySink = nullptr;
    // In picking, the object drawn under OpenGL name n (n >= 1) is pickNames[n - 1]; the
    // walk appends each object it names. Name 0 means no object.
    std::vector<TGLBaseSceneObject*>* pickNames = nullptr;
};

} // namespace hk
