// Context bookkeeping against a recording platform (activation nesting, misuse messages, share
// groups, handle hand-over), the buffer's context failures, and the pick list's sort modes.
#include "engine/camera.h"
#include "engine/context.h"
#include "engine/picking.h"
#include "engine/scene.h"
#include "engine/scene_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace hk {
namespace {

class TRecordingDevice : public TGLDeviceContext {};

struct Calls {
    int activate = 0, deactivate = 0, destroy = 0, freedHandles = 0;
};

class TRecordingContext : public TGLContext {
public:
    explicit TRecordingContext(Calls* calls, bool canShare = true)
        : calls_(calls), canShare_(canShare) {}
    ~TRecordingContext() override { DestroyContext(); }

protected:
    void DoCreateContext(TGLDeviceContext& dc) override {
        if (dynamic_cast<TRecordingDevice*>(&dc) == nullptr) {
            throw EGLContext("Failed to create RenderingContext.");
        }
    }
    void DoCreateMemoryContext(TGLDeviceContext& dc, int, int) override { DoCreateContext(dc); }
    bool DoShareLists(TGLContext&) override { return canShare_; }
    void DoDestroyContext() override { ++calls_->destroy; }
    void DoActivate() override { ++calls_->activate; }
    void DoDeactivate() override { ++calls_->deactivate; }
    void DoSwapBuffers() override {}

private:
    Calls* calls_;
    bool canShare_;
};

class TRecordingHandle : public TGLContextHandle {
public:
    explicit TRecordingHandle(Calls* calls) : calls_(calls) {}
    ~TRecordingHandle() override { ReleaseInDestructor(); }

protected:
    unsigned DoAllocateHandle() override { return 7; }
    void DoDestroyHandle(unsigned) override { ++calls_->freedHandles; }

private:
    Calls* calls_;
};

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EGLContext& e) {
        return e.what();
    }
    return "no error";
}

TEST(ContextActivation, NestsAndReportsMisuse) {
    Calls calls;
    TRecordingContext ctx(&calls);
    TRecordingDevice dc;
    EXPECT_EQ(MessageOf([&] { ctx.Activate(); }), "Context not created");
    ctx.CreateContext(dc);
    EXPECT_EQ(MessageOf([&] { ctx.CreateContext(dc); }), "Context already created");
    ctx.Activate();
    ctx.Activate();
    EXPECT_EQ(calls.activate, 1);
    EXPECT_EQ(TGLContext::CurrentContext(), &ctx);
    EXPECT_EQ(MessageOf([&] { ctx.SetDepthBits(16); }), "Cannot alter an active context");
    ctx.Deactivate();
    EXPECT_EQ(calls.deactivate, 0);
    ctx.Deactivate();
    EXPECT_EQ(calls.deactivate, 1);
    EXPECT_EQ(TGLContext::CurrentContext(), nullptr);
    EXPECT_EQ(MessageOf([&] { ctx.Deactivate(); }), "Unbalanced context activations");
    ctx.SetDepthBits(16); // allowed again once inactive
    EXPECT_EQ(ctx.DepthBits(), 16);
}

TEST(ContextActivation, ManagerKnowsCreatedContextsOnly) {
    Calls calls;
    TRecordingDevice dc;
    auto ctx = std::make_unique<TRecordingContext>(&calls);
    auto& all = TGLContextManager::Instance().Contexts();
    EXPECT_EQ(std::count(all.begin(), all.end(), ctx.get()), 0);
    ctx->CreateContext(dc);
    EXPECT_EQ(std::count(all.begin(), all.end(), ctx.get()), 1);
    TGLContext* raw = ctx.get();
    ctx.reset();
    EXPECT_EQ(std::count(all.begin(), all.end(), raw), 0);
    EXPECT_EQ(calls.destroy, 1);
}

TEST(ContextShareGroups, JoinAndHandOverHandles) {
    Calls calls;
    TRecordingDevice dc;
    TRecordingContext a(&calls), b(&calls), c(&calls);
    EXPECT_EQ(MessageOf([&] { a.ShareLists(b); }), "Context not created");
    a.CreateContext(dc);
    b.CreateContext(dc);
    c.CreateContext(dc);
    a.ShareLists(b);
    b.ShareLists(c);
    EXPECT_EQ(a.ShareGroup().size(), 3u);
    EXPECT_EQ(&a.ShareGroup(), &c.ShareGroup()); // one list for the whole group

    TRecordingHandle handle(&calls);
    EXPECT_EQ(handle.AllocateHandle(), 0u); // nothing is current
    a.Activate();
    EXPECT_EQ(handle.AllocateHandle(), 7u);
    a.Deactivate();
    EXPECT_EQ(handle.RenderingContext(), &a);
    a.DestroyContext();
    EXPECT_EQ(calls.freedHandles, 0);
    EXPECT_NE(handle.RenderingContext(), &a);
    EXPECT_EQ(b.ShareGroup().size(), 2u);
    b.DestroyContext();
    c.DestroyContext();
    EXPECT_EQ(calls.freedHandles, 1); // the last member frees it
    EXPECT_EQ(handle.Handle(), 0u);
}

TEST(ContextShareGroups, APlatformThatCannotShareSaysSo) {
    Calls calls;
    TRecordingDevice dc;
    TRecordingContext a(&calls, false), b(&calls, false);
    a.CreateContext(dc);
    b.CreateContext(dc);
    EXPECT_NE(MessageOf([&] { a.ShareLists(b); }), "no error");
    EXPECT_EQ(a.ShareGroup().size(), 1u);
}

TEST(ContextHandles, FreeingUnderAnUnrelatedContextSwitchesForTheDeletion) {
    Calls calls;
    TRecordingDevice dc;
    TRecordingContext a(&calls), b(&calls);
    a.CreateContext(dc);
    b.CreateContext(dc);
    auto handle = std::make_unique<TRecordingHandle>(&calls);
    a.Activate();
    handle->AllocateHandle();
    a.Deactivate();
    b.Activate();
    const int before = calls.activate;
    handle.reset();
    EXPECT_EQ(calls.freedHandles, 1);
    EXPECT_EQ(calls.activate, before + 2); // a for the deletion, then b again
    EXPECT_EQ(TGLContext::CurrentContext(), &b);
    b.Deactivate();
}

TEST(BufferContext, WithoutAPlatformClassCreationFailsCleanly) {
    TGLContextManager::Instance().RegisterContextClass({});
    TGLSceneBuffer buffer;
    TRecordingDevice dc;
    try {
        buffer.CreateContext(dc, false);
        FAIL() << "no exception";
    } catch (const EGLContext& e) {
        EXPECT_STREQ(e.what(), "Failed to create RenderingContext.");
    }
    EXPECT_EQ(buffer.RenderingContext(), nullptr);
    EXPECT_FALSE(buffer.Rendering());
    buffer.RenderFrame(); // no context: the frame is skipped
    EXPECT_EQ(buffer.FrameCount(), 0);
}

TEST(BufferContext, PlatformFailureLeavesNoContext) {
    Calls calls;
    TGLContextManager::Instance().RegisterContextClass(
        [&calls] { return std::make_unique<TRecordingContext>(&calls); });
    TGLSceneBuffer buffer;
    TGLDeviceContext wrongKind;
    EXPECT_EQ(MessageOf([&] { buffer.CreateContext(wrongKind, false); }),
              "Failed to create RenderingContext.");
    EXPECT_EQ(buffer.RenderingContext(), nullptr);
    EXPECT_FALSE(buffer.Rendering());
    TGLContextManager::Instance().RegisterContextClass({});
}

TEST(BufferProperties, StructuralOptionsAskForANewContext) {
    TGLSceneBuffer buffer;
    int changes = 0, structural = 0;
    buffer.OnChange = [&](TGLSceneBuffer*) { ++changes; };
    buffer.OnStructuralChange = [&](TGLSceneBuffer*) { ++structural; };
    buffer.SetDepthTest(true); // unchanged
    EXPECT_EQ(changes, 0);
    buffer.SetBackgroundColor(8404992);
    buffer.SetFaceCulling(false);
    EXPECT_EQ(changes, 2);
    buffer.SetContextOptions({roDoubleBuffer});
    buffer.SetDepthPrecision(dp16bits);
    EXPECT_EQ(structural, 2);
    EXPECT_EQ(changes, 2);
    buffer.SetViewportSize(0, -5);
    EXPECT_EQ(buffer.Width(), 1);
    EXPECT_EQ(buffer.Height(), 1);
}

TEST(BufferProperties, CameraLinkFollowsTheCameraAndItsScene) {
    TGLScene scene;
    TGLSceneBuffer buffer;
    auto* camera = scene.Objects().CreateChild<TGLCamera>();
    buffer.SetCamera(camera);
    ASSERT_EQ(scene.Buffers().size(), 1u);
    std::unique_ptr<TGLBaseSceneObject> gone = scene.Objects().RemoveChild(camera, false);
    gone.reset();
    EXPECT_EQ(buffer.Camera(), nullptr);
    EXPECT_TRUE(scene.Buffers().empty());
}

TEST(PickList, SortModesOrderTheHits) {
    TGLImmaterialSceneObject a, b, c;
    a.SetName("beta");
    b.SetName("Alpha");
    c.SetName("gamma");
    TGLPickList byMin(psMinDepth), byMax(psMaxDepth), byName(psName), unsorted(psDefault);
    for (TGLPickList* l : {&byMin, &byMax, &byName, &unsorted}) {
        l->AddHit(&a, {}, 0.5f, 0.6f);
        l->AddHit(&b, {3, 4}, 0.2f, 0.9f);
        l->AddHit(&c, {}, 0.7f, 0.4f);
    }
    EXPECT_EQ(byMin.Hit(0), &b);
    EXPECT_EQ(byMin.Hit(2), &c);
    EXPECT_EQ(byMax.Hit(0), &c);
    EXPECT_EQ(byMax.Hit(2), &b);
    EXPECT_EQ(byName.Hit(0), &b); // case-insensitive: Alpha < beta
    EXPECT_EQ(byName.Hit(1), &a);
    EXPECT_EQ(unsorted.Hit(0), &a);
    EXPECT_EQ(unsorted.Record(0).ZMin, 0.5f);
    EXPECT_EQ(byMin.Record(0).SubObjects, (TPickSubObjects{3, 4}));
    EXPECT_EQ(byMin.Hit(3), nullptr);
    EXPECT_EQ(byMin.Hit(-1), nullptr);
}

TEST(PickList, EqualDepthsKeepTheirArrivalOrder) {
    TGLImmaterialSceneObject a, b;
    TGLPickList list(psMinDepth);
    list.AddHit(&a, {}, 0.5f, 0.5f);
    list.AddHit(&b, {}, 0.5f, 0.5f);
    EXPECT_EQ(list.Hit(0), &a);
    EXPECT_EQ(list.Hit(1), &b);
}

} // namespace
} // namespace hk
