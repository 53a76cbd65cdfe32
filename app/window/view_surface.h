// TViewSurface: the native window the 3D view draws into. The view's frames go straight to this
// window's own buffers and are swapped onto the screen, instead of into a texture that Qt then
// composes with the whole main window: on a software rasteriser that composition cost more
// than drawing the sample. The surface lets every mouse event through to the view widget below
// it and never takes the keyboard focus, so input and shortcuts work as on any other widget.
#pragma once

#include <QWindow>

#include <functional>

namespace hk {

class TViewSurface : public QWindow {
public:
    // `paint` draws one frame on this surface; it is called when the surface is exposed and
    // for each frame request.
    explicit TViewSurface(std::function<void()> paint);

    // Asks for one frame; requests made before it is drawn are merged into it.
    void RequestFrame();

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;

private:
    std::function<void()> paint_;
    bool framePending_ = false;
};

} // namespace hk
