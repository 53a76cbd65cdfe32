// The platform context of the window: a TGLContext over the OpenGL context that Qt creates for a
// QOpenGLWidget (compatibility profile, double-buffered RGBA, 24-bit depth), and the surface
// format a scene buffer asks for.
#pragma once

#include "engine/context.h"

#include <QSurfaceFormat>

class QOpenGLWidget;

namespace hk {

class TGLSceneBuffer;

// The device of a Qt context: the widget whose context is used. The widget outlives it.
class TQtGLDevice : public TGLDeviceContext {
public:
    explicit TQtGLDevice(QOpenGLWidget* widget) : widget_(widget) {}
    QOpenGLWidget* Widget() const { return widget_; }

private:
    QOpenGLWidget* widget_;
};

class TQtGLContext : public TGLContext {
public:
    ~TQtGLContext() override;

    // Registers this class with the context manager.
    static void Register();

protected:
    // Adopts the widget's context; EGLContext "Failed to create RenderingContext." when the
    // device is not a Qt widget or its context is not valid.
    void DoCreateContext(TGLDeviceContext& dc) override;
    // Off-screen contexts are not offered by the window: throws EGLContext.
    void DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) override;
    // True when Qt created the two contexts sharing.
    bool DoShareLists(TGLContext& other) override;
    void DoDestroyContext() override;
    // Makes the widget's context current (with its framebuffer bound) unless it already is,
    // as during painting; deactivation releases only what activation took.
    void DoActivate() override;
    void DoDeactivate() override;
    // The widget composes its framebuffer itself after painting.
    void DoSwapBuffers() override {}

private:
    QOpenGLWidget* widget_ = nullptr;
    bool madeCurrent_ = false;
};

// Compatibility profile, double-buffered RGBA with 8 bits a channel, depth and stencil from
// the buffer's settings (24 bits of depth by default), samples from its anti-aliasing.
QSurfaceFormat SurfaceFormatFor(const TGLSceneBuffer& buffer);

} // namespace hk
