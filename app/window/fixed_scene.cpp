// The main window's fixed scene objects.
#include "app/window/fixed_scene.h"

#include "engine/camera.h"
#include "engine/light_source.h"
#include "engine/scene.h"
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

TFixedScene BuildFixedScene(TGLScene& scene) {
    TFixedScene s;
    s.DummyCube1 = scene.Objects().CreateChild<TGLDummyCube>();
    s.DummyCube1->SetName("DummyCube1");
    s.DummyCube1->SetShowAxes(true);
    s.DummyCube1->SetCubeSize(1);
    s.DummyCube1->SetEdgeColor({0.5f, 0.5f, 0.5f, 1});
    s.GLCamera1 = SpareCamera(scene, "GLCamera1");
    s.GLCamera3 = SpareCamera(scene, "GLCamera3");

    s.GLCamera2 = s.DummyCube1->CreateChild<TGLCamera>();
    s.GLCamera2->SetName("GLCamera2");
    s.GLCamera2->Position().SetPoint(15, 10, 15);
    s.GLCamera2->SetTargetObject(s.DummyCube1);
    s.GLCamera2->SetDepthOfView(1000);
    s.GLCamera2->SetFocalLength(400);
    s.GLLightSource3 = s.GLCamera2->CreateChild<TGLLightSource>();
    s.GLLightSource3->SetName("GLLightSource3");
    s.GLLightSource3->SetConstAttenuation(1);
    s.GLLightSource3->SetSpotCutOff(180);

    s.Captions = CreateAxisCaptions(*s.DummyCube1);
    s.GLDummyCube1 = s.DummyCube1->CreateChild<TGLDummyCube>();
    s.GLDummyCube1->SetName("GLDummyCube1");
    s.GLDummyCube1->SetCubeSize(1);
    s.GLSphere1 = s.DummyCube1->CreateChild<TGLSphere>();
    SetUpMarkerSphere(*s.GLSphere1);
    return s;
}

} // namespace hk
