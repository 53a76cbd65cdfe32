// The fixed scene, the material libraries and the collision manager of the viewer.
#include "app/viewer_scene.h"

#include "engine/camera.h"
#include "engine/light_source.h"
#include "engine/texture.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"

namespace hk {
namespace {

TGLCamera* SpareCamera(TGLScene& scene, const char* name) {
    auto* camera = scene.Objects().CreateChild<TGLCamera>();
    camera->SetName(name);
    camera->SetDepthOfView(100);
    camera->SetFocalLength(50);
    return camera;
}

} // namespace

void FillModelMaterialLibrary(TGLMaterialLibrary& library) {
    TGLMaterial& surface = library.AddMaterial("MatSurface")->Material();
    surface.FrontProperties().Ambient().SetColor(0.392f, 0.392f, 0.392f, 1);
    surface.FrontProperties().Diffuse().SetColor(0.365f, 0.388f, 0.404f, 1);
    surface.SetBlendingMode(bmTransparency);

    library.AddMaterial("MatInner")
        ->Material()
        .FrontProperties()
        .Diffuse()
        .SetColor(0.91f, 0.76f, 0.65f, 1);
    // The pictures stored with these two are JPEG images, which load empty here: the
    // materials keep their settings without an image.
    TGLMaterial& lib = library.AddMaterial("LibMaterial")->Material();
    lib.SetBlendingMode(bmAdditive);
    lib.Texture().SetTextureMode(tmModulate);
    library.AddMaterial("detailmap")
        ->Material()
        .FrontProperties()
        .Ambient()
        .SetColor(0.2f, 0.2f, 0.2f, 0.69f);
    // Bitmap-textured materials of the design; their pictures are not part of the program.
    library.AddMaterial("noise");
    library.AddMaterial("walkway");
    library.AddMaterial("rawwall");
    library.AddMaterial("LibMaterial1");
}

TViewerScene::TViewerScene() {
    CollisionManager1.SetName("CollisionManager1");
    GLMaterialLibrary1.SetName("GLMaterialLibrary1");
    GLMaterialLibrary2.SetName("GLMaterialLibrary2");
    FillModelMaterialLibrary(GLMaterialLibrary1);

    DummyCube1 = GLScene1.Objects().CreateChild<TGLDummyCube>();
    DummyCube1->SetName("DummyCube1");
    DummyCube1->SetShowAxes(true);
    DummyCube1->SetCubeSize(1);
    DummyCube1->SetEdgeColor({0.5f, 0.5f, 0.5f, 1});
    GLCamera1 = SpareCamera(GLScene1, "GLCamera1");
    GLCamera3 = SpareCamera(GLScene1, "GLCamera3");

    GLCamera2 = DummyCube1->CreateChild<TGLCamera>();
    GLCamera2->SetName("GLCamera2");
    GLCamera2->Position().SetPoint(15, 10, 15);
    GLCamera2->SetTargetObject(DummyCube1);
    GLCamera2->SetDepthOfView(1000);
    GLCamera2->SetFocalLength(400);
    GLLightSource3 = GLCamera2->CreateChild<TGLLightSource>();
    GLLightSource3->SetName("GLLightSource3");
    GLLightSource3->SetConstAttenuation(1);
    GLLightSource3->SetSpotCutOff(180);

    Captions = CreateAxisCaptions(*DummyCube1);
    GLDummyCube1 = DummyCube1->CreateChild<TGLDummyCube>();
    GLDummyCube1->SetName("GLDummyCube1");
    GLDummyCube1->SetCubeSize(1);
    // A drawing holds thousands of solids in a handful of materials: drawn merged by material.
    GLDummyCube1->SetMergeChildren(true);
    GLSphere1 = DummyCube1->CreateChild<TGLSphere>();
    SetUpMarkerSphere(*GLSphere1);
}

} // namespace hk
