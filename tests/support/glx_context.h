// The engine's context class for tests and benchmarks: test contexts (off-screen pbuffers on the
// display named by DISPLAY, Xvfb under ctest) registered as the context class of the manager.
#pragma once

#include "engine/context.h"
#include "tests/support/gl_context.h"

#include <memory>

namespace hk::test {

// The device of a GLX context: the process's display connection (opened once, kept open).
class TGLXDevice : public TGLDeviceContext {
public:
    // False when no display could be opened.
    bool Valid() const { return HaveDisplay(); }
};

class TGLXContext : public TGLContext {
public:
    ~TGLXContext() override;

    // Lists are shared with `other` from creation on (GLX cannot share afterwards).
    void ShareFromCreation(TGLXContext* other) { shareFrom_ = other; }
    // Registers this class with the context manager.
    static void Register();

protected:
    void DoCreateContext(TGLDeviceContext& dc) override;
    void DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) override;
    bool DoShareLists(TGLContext& other) override;
    void DoDestroyContext() override;
    void DoActivate() override;
    void DoDeactivate() override;
    void DoSwapBuffers() override {}

private:
    TGLXContext* shareFrom_ = nullptr;
    std::unique_ptr<GLTestContext> gl_;
};

} // namespace hk::test
