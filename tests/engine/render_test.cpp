// Engine drawing against a real OpenGL context: the state cache, material apply/unapply and
// the per-object render step of the scene walk.
#include "engine/custom_scene_object.h"
#include "engine/material_library.h"
#include "engine/scene.h"
#include "engine/state_cache.h"
#include "engine/vector_geometry.h"
#include "tests/engine/scene_test_support.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hk {
namespace {

// Draws a quad over [-1, 1] x [-1, 1] at z = 0 and logs every geometry emission.
class RecordingObject : public TGLCustomSceneObject {
public:
    RecordingObject(std::vector<std::string>* log, std::string tag)
        : log_(log), tag_(std::move(tag)) {}
    void EmitGeometry(TRenderContextInfo&) override {
        log_->push_back(tag_);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, 0);
        glVertex3f(1, -1, 0);
        glVertex3f(1, 1, 0);
        glVertex3f(-1, 1, 0);
        glEnd();
    }

private:
    std::vector<std::string>* log_;
    std::string tag_;
};

class GLFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl_.Valid()) {
            GTEST_SKIP() << "no OpenGL context available";
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        rci_.GLStates = &cache_;
        rci_.buffer = &buffer_;
        rci_.objectsSorting = osRenderBlendedLast;
        rci_.visibilityCulling = vcNone;
        rci_.frustum = ExtractFrustumFromModelViewProjection(IdentityHmgMatrix);
        rci_.cameraPosition = PointMake(0, 0, 10);
    }

    std::array<float, 4> PixelAt(int x, int y) {
        std::array<float, 4> p{};
        glFinish();
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, p.data());
        return p;
    }

    test::GLTestContext gl_;
    TGLStateCache cache_;
    test::CountingBuffer buffer_;
    TRenderContextInfo rci_;
};

TEST_F(GLFixture, StateCacheStartsFromTheOpenGLDefaultsAndFiltersRepeats) {
    for (int s = 0; s < cCachedStateCount; ++s) {
        auto state = TGLCachedState(s);
        if (state == stTextureCubeMap || state == stTextureRect || state == stLogicOp) {
            continue; // capabilities a 1.1 context may not know
        }
        EXPECT_EQ(cache_.IsEnabled(state), bool(glIsEnabled(GLCapabilityOf(state)))) << s;
    }
    cache_.Enable(stBlend);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND); // behind the cache's back
    cache_.Enable(stBlend);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "a repeated enable must not reach OpenGL";
    cache_.ForceState(stBlend, true);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    TColorVector red{1, 0, 0, 1};
    cache_.SetGLMaterialColors(cmFront, clrBlack, clrGray20, red, clrBlack, 10);
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 1);
    EXPECT_FLOAT_EQ(diffuse[1], 0);
    TColorVector blue{0, 0, 1, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, &blue.x);
    cache_.SetGLMaterialColors(cmFront, clrBlack, clrGray20, red, clrBlack, 10);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[2], 1) << "an unchanged colour must not be sent again";
    cache_.ResetForWalk();
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.8f);
    EXPECT_FLOAT_EQ(cache_.MaterialColors(cmFront).diffuse.x, 0.8f);
}

TEST_F(GLFixture, NestedNoLightingRestoresLightingOnlyAfterTheOuterMaterial) {
    cache_.Enable(stLighting);
    TGLMaterial outer(nullptr), inner(nullptr);
    outer.SetMaterialOptions({moNoLighting});
    inner.SetMaterialOptions({moNoLighting});
    outer.ApplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    inner.ApplyMaterial(rci_);
    inner.UnapplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "the inner material re-enabled lighting early";
    EXPECT_FALSE(cache_.IsEnabled(stLighting));
    outer.UnapplyMaterial(rci_);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(rci_.lightingDisabledCounter, 0);
}

TEST_F(GLFixture, NoLightingWhileTheBufferHasLightingOffChangesNothing) {
    TGLMaterial m(nullptr);
    m.SetMaterialOptions({moNoLighting, moIgnoreFog});
    m.ApplyMaterial(rci_);
    EXPECT_EQ(rci_.lightingDisabledCounter, 0);
    EXPECT_EQ(rci_.fogDisabledCounter, 0);
    m.UnapplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "lighting was off before the material";
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(GLFixture, UnlitObjectShowsItsFrontDiffuse) {
    std::vector<std::string> log;
    RecordingObject obj(&log, "quad");
    obj.Material().FrontProperties().Diffuse().SetColor(1, 0.5f, 0, 1);
    obj.Material().FrontProperties().Ambient().SetColor(0, 0, 1, 1);
    obj.RenderObject(rci_);
    auto p = PixelAt(32, 32);
    EXPECT_NEAR(p[0], 1, 0.01);
    EXPECT_NEAR(p[1], 0.5, 0.01);
    EXPECT_NEAR(p[2], 0, 0.01);
}

TEST_F(GLFixture, BlendingModesSetBlendAndAlphaTest) {
    TGLMaterial m(nullptr);
    m.SetBlendingMode(bmTransparency);
    m.ApplyMaterial(rci_);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    m.UnapplyMaterial(rci_);

    m.SetBlendingMode(bmAlphaTest50);
    m.ApplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint func = 0;
    float ref = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_EQ(func, GL_GEQUAL);
    EXPECT_FLOAT_EQ(ref, 0.5f);
    m.UnapplyMaterial(rci_);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_EQ(func, GL_GREATER);
    EXPECT_FLOAT_EQ(ref, 0);

    rci_.ignoreBlendingRequests = true;
    m.SetBlendingMode(bmAdditive);
    m.ApplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(GLFixture, FaceCullingFollowsMaterialAndBuffer) {
    TGLMaterial m(nullptr);
    rci_.bufferFaceCull = true;
    m.ApplyMaterial(rci_);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    m.SetFaceCulling(fcNoCull);
    m.ApplyMaterial(rci_);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(m.HasBackProperties());
    m.SetFaceCulling(fcCull);
    rci_.bufferFaceCull = false;
    m.ApplyMaterial(rci_);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(GLFixture, WalkDrawsBlendedLastAndCompilesListsOnce) {
    std::vector<std::string> log;
    TGLScene scene;
    TGLMaterialLibrary lib;
    TGLLibMaterial* glass = lib.AddMaterial("MatSurface");
    glass->Material().SetBlendingMode(bmTransparency);
    auto* root = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* a = root->CreateChild<RecordingObject>(&log, "blended");
    a->Material().SetMaterialLibrary(&lib);
    a->Material().SetLibMaterialName("MatSurface");
    root->CreateChild<RecordingObject>(&log, "opaque1");
    root->CreateChild<RecordingObject>(&log, "hidden")->SetVisible(false);
    root->CreateChild<RecordingObject>(&log, "opaque2");
    rci_.scene = &scene;
    scene.Objects().RenderObject(rci_);
    EXPECT_EQ(log, (std::vector<std::string>{"opaque1", "opaque2", "blended"}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    log.clear();
    scene.Objects().RenderObject(rci_);
    EXPECT_TRUE(log.empty()) << "display lists are replayed, not rebuilt";
    a->StructureChanged();
    scene.Objects().RenderObject(rci_);
    EXPECT_EQ(log, (std::vector<std::string>{"blended"}));
    log.clear();
    rci_.bypassDisplayLists = true;
    scene.Objects().RenderObject(rci_);
    EXPECT_EQ(log.size(), 3u);
    scene.DestroyHandles();
}

TEST_F(GLFixture, ObjectBasedCullingSkipsObjectsOutsideTheFrustum) {
    std::vector<std::string> log;
    TGLImmaterialSceneObject root;
    root.CreateChild<RecordingObject>(&log, "inside");
    auto* out = root.CreateChild<RecordingObject>(&log, "outside");
    out->Position().SetPoint(5, 0, 0);
    auto* kept = root.CreateChild<RecordingObject>(&log, "unculled");
    kept->Position().SetPoint(-5, 0, 0);
    kept->SetObjectStyle({osNoVisibilityCulling});
    rci_.visibilityCulling = vcObjectBased;
    rci_.bypassDisplayLists = true;
    root.RenderObject(rci_);
    EXPECT_EQ(log, (std::vector<std::string>{"inside", "unculled"}));
    log.clear();
    root.SetVisibilityCulling(vcNone); // overrides the walk for this subtree
    root.RenderObject(rci_);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(rci_.visibilityCulling, vcObjectBased) << "the walk's value is restored";
}

TEST_F(GLFixture, PickingNamesEveryDrawnObjectAndAxesKeepTheCache) {
    std::vector<std::string> log;
    TGLImmaterialSceneObject root;
    root.SetShowAxes(true);
    auto* a = root.CreateChild<RecordingObject>(&log, "a");
    auto* b = root.CreateChild<RecordingObject>(&log, "b");
    std::vector<TGLBaseSceneObject*> names;
    rci_.drawState = dsPicking;
    rci_.pickNames = &names;
    rci_.ignoreMaterials = true;
    cache_.Enable(stLighting);
    GLuint select[64];
    glSelectBuffer(64, select);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    root.RenderObject(rci_);
    GLint hits = glRenderMode(GL_RENDER);
    EXPECT_EQ(names, (std::vector<TGLBaseSceneObject*>{&root, a, b}));
    EXPECT_GE(hits, 1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "the axes must restore lighting";
    EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace hk
