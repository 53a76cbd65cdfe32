// The platform context of the window: a TGLContext over the OpenGL context of the 3D view
// (compatibility profile, double-buffered RGBA, 24-bit depth), and the surface format a scene
// buffer asks for.
#pragma once

#include "engine/context.h"

#include <QSurfaceFormat>

namespace hk {

class TGLSceneBuffer;
class TGLSceneViewer;

// The device of a Qt context: the view whose context is used. The view outlives it.
class TQtGLDevice : public TGLDeviceContext {
public:
    explicit TQtGLDevice(TGLSceneViewer* view) : view_(view) {}
    TGLSceneViewer* View() const { return view_; }

private:
    TGLSceneViewer* view_;
};

class TQtGLContext : public TGLContext {
public:
    ~TQtGLContext() override;

    // Registers this class with the context manager.
    static void Register();

protected:
    // Adopts the view's context; EGLContext "Failed to create RenderingContext." when the
    // device is not a Qt view or its context cannot be made.
    void DoCreateContext(TGLDeviceContext& dc) override;
    // Off-screen contexts are not offered by the window: throws EGLContext.
    void DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) override;
    // True when Qt created the two contexts sharing.
    bool DoShareLists(TGLContext& other) override;
    void DoDestroyContext() override;
    // Makes the view's context current unless it already is, as during painting (whatever
    // framebuffer the painter bound stays bound); deactivation releases only what activation
    // took.
    void DoActivate() override;
    void DoDeactivate() override;
    // The view swaps its surface itself after painting.
    void DoSwapBuffers() override {}

private:
    TGLSceneViewer* view_ = nullptr;
    bool madeCurrent_ = false;
};

// Compatibility profile, double-buffered RGBA with 8 bits a channel, depth and stencil from
// the buffer's settings (24 bits of depth by default), samples from its anti-aliasing.
QSurfaceFormat SurfaceFormatFor(const TGLSceneBuffer& buffer);

} // namespace hk
