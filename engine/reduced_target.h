// TGLReducedTarget: an off-screen colour and depth target of a fraction of the viewport's
// size. A frame drawn into it and stretched onto the real target costs the rasteriser that
// fraction squared of the pixels; the view uses it while it moves, where a software rasteriser
// spends most of a frame filling pixels.
#pragma once

namespace hk {

class TGLReducedTarget {
public:
    TGLReducedTarget() = default;
    TGLReducedTarget(const TGLReducedTarget&) = delete;
    TGLReducedTarget& operator=(const TGLReducedTarget&) = delete;

    // With the context current: binds a target of `scale` times `width` x `height` (at least
    // one pixel each way) with a depth buffer (and a stencil buffer when asked), sets the
    // viewport to it and remembers the framebuffers that were bound. False, with nothing
    // changed, when the context has no framebuffer objects or the target cannot be made.
    bool Begin(int width, int height, float scale, bool stencil);
    // Stretches the reduced picture over the remembered draw target's `width` x `height`
    // (smoothed), binds the remembered framebuffers again and restores the full viewport.
    void End();
    // Frees the target; the context it was made in must be current.
    void Destroy();

private:
    bool Supported();
    bool Allocate(int width, int height, bool stencil);

    int support_ = -1; // unknown, 0 or 1
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool stencil_ = false;
    // The frame in progress.
    int fullWidth_ = 0;
    int fullHeight_ = 0;
    int previousDraw_ = 0;
    int previousRead_ = 0;
};

} // namespace hk
