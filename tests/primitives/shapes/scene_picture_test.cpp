// One of each primitive rendered through the scene-object walk into a test context: each
// must cover the pixel where it was placed, and the background must show between them. With
// HK_PRIMITIVES_PICTURE set to a path the frame is also written there as a PPM image.
#include "engine/state_cache.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/disk.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/quadrics/torus.h"
#include "primitives/shapes/cube.h"
#include "primitives/shapes/dummy_cube.h"
#include "primitives/shapes/lines.h"
#include "primitives/shapes/points.h"
#include "primitives/shapes/polygon.h"

#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace hk;

namespace {

constexpr int cWidth = 640, cHeight = 480;
constexpr float cHalfW = 8, cHalfH = 6;
constexpr unsigned char cBackground[3] = {0, 64, 128};

struct Placed {
    std::string name;
    std::unique_ptr<TGLBaseSceneObject> object;
    // A point the object must cover.
    float x, y;
};

template <class T>
T* Place(std::vector<Placed>& scene, const char* name, float x, float y, float px, float py,
         const TColorVector& color) {
    auto obj = std::make_unique<T>();
    obj->Position().SetPoint(x, y, 0);
    if (auto* custom = dynamic_cast<TGLCustomSceneObject*>(obj.get())) {
        custom->Material().FrontProperties().Diffuse().SetColor(color);
        custom->Material().FrontProperties().Ambient().SetColor(color);
    }
    T* raw = obj.get();
    scene.push_back({name, std::move(obj), px, py});
    return raw;
}

bool IsBackground(const unsigned char* p) {
    return std::abs(p[0] - cBackground[0]) < 8 && std::abs(p[1] - cBackground[1]) < 8 &&
           std::abs(p[2] - cBackground[2]) < 8;
}

} // namespace

TEST(ScenePicture, EachPrimitiveLandsWhereItIsPlaced) {
    test::GLTestContext gl(cWidth, cHeight);
    HK_REQUIRE_GL(gl);
    std::vector<Placed> scene;
    auto* pipe = Place<TGLPipe>(scene, "pipe", 0, 0, -5, 4.9f, {0.9f, 0.6f, 0.1f, 1});
    pipe->SetRadius(0.3f);
    pipe->AddNode(-7, 4, 0);
    pipe->AddNode(-5, 5, 0);
    pipe->AddNode(-3, 4, 0);
    auto* cyl = Place<TGLCylinder>(scene, "cylinder", 0, 4.5f, 0, 4.5f, {0.2f, 0.8f, 0.2f, 1});
    cyl->SetHeight(1.5f);
    cyl->SetBottomRadius(0.6f);
    cyl->SetTopRadius(0.3f);
    auto* ann = Place<TGLAnnulus>(scene, "annulus", 4.5f, 4.5f, 4.5f, 5.1f, {0.8f, 0.8f, 0.8f, 1});
    ann->SetHeight(1.5f);
    ann->SetBottomRadius(0.8f);
    ann->SetTopRadius(0.8f);
    auto* disk = Place<TGLDisk>(scene, "disk", -5, 0, -4.5f, -0.5f, {0.9f, 0.2f, 0.2f, 1});
    disk->SetOuterRadius(1.2f);
    disk->SetInnerRadius(0.4f);
    disk->SetSweepAngle(270);
    auto* torus = Place<TGLTorus>(scene, "torus", 0, 0, 1, 0, {0.9f, 0.9f, 0.2f, 1});
    torus->SetMajorRadius(1);
    torus->SetMinorRadius(0.3f);
    auto* sphere = Place<TGLSphere>(scene, "sphere", 4.5f, 0, 4.5f, 0, {0.992f, 0, 0, 1});
    sphere->SetRadius(1);
    auto* cube = Place<TGLCube>(scene, "cube", -5, -4, -5, -4, {0.3f, 0.5f, 1, 1});
    cube->SetCubeWidth(1.5f);
    cube->SetCubeHeight(1.5f);
    cube->SetTurnAngle(30);
    cube->SetPitchAngle(20);
    auto* lines = Place<TGLLines>(scene, "lines", 0, 0, -1.5f, -4, {1, 1, 1, 1});
    lines->SetNodesAspect(lnaInvisible);
    lines->SetLineWidth(3);
    lines->SetLineColor({1, 1, 0.5f, 1});
    lines->AddNode(-2, -5, 0);
    lines->AddNode(-1.5f, -4, 0);
    lines->AddNode(-1, -3, 0);
    auto* points = Place<TGLPoints>(scene, "points", 1.5f, -4, 1.5f, -4, {1, 1, 1, 1});
    points->SetSize(9);
    auto* polygon = Place<TGLPolygon>(scene, "polygon", 0, 0, 5, -4.5f, {0.6f, 0.2f, 0.9f, 1});
    polygon->AddNode(4, -5, 0);
    polygon->AddNode(6, -5, 0);
    polygon->AddNode(5, -3, 0);
    auto* dummy = Place<TGLDummyCube>(scene, "dummy cube", 7, -1, 7.75f, -1, {1, 1, 1, 1});
    dummy->SetVisibleAtRunTime(true);
    dummy->SetCubeSize(1.5f);

    TGLStateCache cache;
    glViewport(0, 0, cWidth, cHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-cHalfW, cHalfW, -cHalfH, cHalfH, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(cBackground[0] / 255.0f, cBackground[1] / 255.0f, cBackground[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    cache.ForceState(stLighting, true);
    glEnable(GL_LIGHT0);
    const float lightDir[4] = {0.3f, 0.5f, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, lightDir);
    TRenderContextInfo rci;
    rci.GLStates = &cache;
    for (auto& p : scene) {
        p.object->RenderObject(rci);
    }
    glFinish();
    std::vector<unsigned char> pixels(std::size_t(cWidth) * cHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, cWidth, cHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    for (auto& p : scene) {
        p.object->DestroyHandles();
    }

    auto at = [&](float x, float y) {
        const int px = int((x + cHalfW) / (2 * cHalfW) * cWidth);
        const int py = int((y + cHalfH) / (2 * cHalfH) * cHeight);
        return &pixels[(std::size_t(py) * cWidth + px) * 3];
    };
    for (const auto& p : scene) {
        EXPECT_FALSE(IsBackground(at(p.x, p.y))) << p.name << " is missing at its place";
    }
    EXPECT_TRUE(IsBackground(at(0, 0))) << "the torus has a hole";
    EXPECT_TRUE(IsBackground(at(-5, 0))) << "the disk is a ring";
    EXPECT_TRUE(IsBackground(at(-5.6f, 0.6f))) << "GLU sweeps clockwise from +Y: no upper left";
    EXPECT_TRUE(IsBackground(at(7, -1))) << "the dummy cube is a wire box";
    EXPECT_TRUE(IsBackground(at(-2, 2))) << "nothing between the objects";

    if (const char* path = std::getenv("HK_PRIMITIVES_PICTURE")) {
        if (std::FILE* f = std::fopen(path, "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", cWidth, cHeight);
            for (int row = cHeight - 1; row >= 0; --row) {
                std::fwrite(&pixels[std::size_t(row) * cWidth * 3], 1, std::size_t(cWidth) * 3, f);
            }
            std::fclose(f);
        }
    }
}
