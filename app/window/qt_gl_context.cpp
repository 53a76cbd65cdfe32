// The Qt platform context.
#include "app/window/qt_gl_context.h"

#include "app/window/scene_viewer.h"
#include "engine/scene_buffer.h"

#include <QOpenGLContext>

#include <memory>

namespace hk {

TQtGLContext::~TQtGLContext() {
    DestroyContext();
}

void TQtGLContext::Register() {
    TGLContextManager::Instance().RegisterContextClass(
        [] { return std::make_unique<TQtGLContext>(); });
}

void TQtGLContext::DoCreateContext(TGLDeviceContext& dc) {
    auto* device = dynamic_cast<TQtGLDevice*>(&dc);
    TGLSceneViewer* view = device != nullptr ? device->View() : nullptr;
    if (view == nullptr || view->GLContext() == nullptr) {
        throw EGLContext("Failed to create RenderingContext.");
    }
    view_ = view;
}

void TQtGLContext::DoCreateMemoryContext(TGLDeviceContext&, int, int) {
    throw EGLContext("Failed to create RenderingContext.");
}

bool TQtGLContext::DoShareLists(TGLContext& other) {
    auto* qt = dynamic_cast<TQtGLContext*>(&other);
    return qt != nullptr && view_ != nullptr && qt->view_ != nullptr &&
           QOpenGLContext::areSharing(view_->GLContext(), qt->view_->GLContext());
}

void TQtGLContext::DoDestroyContext() {
    view_ = nullptr;
}

void TQtGLContext::DoActivate() {
    madeCurrent_ = false;
    if (view_ != nullptr && QOpenGLContext::currentContext() != view_->GLContext()) {
        if (!view_->MakeGLContextCurrent()) {
            throw EGLContext("Failed to activate RenderingContext.");
        }
        madeCurrent_ = true;
    }
}

void TQtGLContext::DoDeactivate() {
    if (madeCurrent_ && view_ != nullptr) {
        view_->GLContext()->doneCurrent();
    }
    madeCurrent_ = false;
}

QSurfaceFormat SurfaceFormatFor(const TGLSceneBuffer& buffer) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(buffer.ContextOptions().Contains(roDoubleBuffer)
                               ? QSurfaceFormat::DoubleBuffer
                               : QSurfaceFormat::SingleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(buffer.ContextOptions().Contains(roDestinationAlpha) ? 8 : 0);
    static constexpr int depthBits[] = {24, 16, 24, 32};
    format.setDepthBufferSize(depthBits[buffer.DepthPrecision()]);
    format.setStencilBufferSize(buffer.ContextOptions().Contains(roStencilBuffer) ? 8 : 0);
    format.setStereo(buffer.ContextOptions().Contains(roStereo));
    static constexpr int samples[] = {-1, 0, 2, 2, 4, 4};
    format.setSamples(samples[buffer.AntiAliasing()]);
    return format;
}

} // namespace hk
