// What a scene needs from each buffer that views it. The scene tells its buffers about
// changes (they invalidate their window; nothing draws synchronously) and about its own end;
// the scene walk reads a few of the buffer's render switches.
#pragma once

namespace hk {

class TGLScene;

class TGLSceneBufferClient {
public:
    // The scene changed; the buffer invalidates its window (ignored while it renders).
    virtual void NotifySceneChanged() = 0;
    // The scene is being destroyed; the buffer drops every reference into it.
    virtual void SceneDestroyed(TGLScene* scene) = 0;
    // The buffer's DepthTest switch.
    virtual bool DepthTest() const = 0;
    // DepthOfView of the buffer's camera: the length of the dashed axes.
    virtual float CameraDepthOfView() const = 0;

protected:
    ~TGLSceneBufferClient() = default;
};

} // namespace hk
