// The engine's context class over the test contexts.
#include "tests/support/glx_context.h"

namespace hk::test {

TGLXContext::~TGLXContext() {
    DestroyContext();
}

void TGLXContext::Register() {
    TGLContextManager::Instance().RegisterContextClass(
        [] { return std::make_unique<TGLXContext>(); });
}

void TGLXContext::DoCreateContext(TGLDeviceContext& dc) {
    DoCreateMemoryContext(dc, 64, 64);
}

// The engine makes the context current itself, through DoActivate.
void TGLXContext::DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) {
    if (dynamic_cast<TGLXDevice*>(&dc) == nullptr || !HaveDisplay()) {
        throw EGLContext("Failed to create RenderingContext.");
    }
    auto gl = std::make_unique<GLTestContext>(
        GLContextRequest{.width = width,
                         .height = height,
                         .alphaBits = AlphaBits(),
                         .depthBits = DepthBits(),
                         .stencilBits = StencilBits(),
                         .shareLists = shareFrom_ != nullptr ? shareFrom_->gl_.get() : nullptr,
                         .makeCurrent = false});
    if (!gl->Valid()) {
        throw EGLContext("Failed to create RenderingContext.");
    }
    gl_ = std::move(gl);
}

bool TGLXContext::DoShareLists(TGLContext& other) {
    auto* glx = dynamic_cast<TGLXContext*>(&other);
    return glx != nullptr && (glx->shareFrom_ == this || shareFrom_ == glx);
}

void TGLXContext::DoDestroyContext() {
    gl_.reset();
}

void TGLXContext::DoActivate() {
    gl_->MakeCurrent();
}

void TGLXContext::DoDeactivate() {
    GLTestContext::ReleaseCurrent();
}

} // namespace hk::test
