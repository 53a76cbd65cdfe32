// The native window of the 3D view.
#include "app/window/view_surface.h"

#include <QCoreApplication>
#include <QEvent>

namespace hk {

TViewSurface::TViewSurface(std::function<void()> paint) : paint_(std::move(paint)) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFlags(Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
}

void TViewSurface::RequestFrame() {
    if (framePending_) {
        return;
    }
    framePending_ = true;
    // Posted rather than through requestUpdate, which waits a few milliseconds more: the frame
    // follows the events already queued, as a widget's repaint does.
    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

bool TViewSurface::event(QEvent* event) {
    if (event->type() == QEvent::UpdateRequest) {
        framePending_ = false;
        if (isExposed()) {
            paint_();
        }
        return true;
    }
    return QWindow::event(event);
}

void TViewSurface::exposeEvent(QExposeEvent*) {
    if (isExposed()) {
        paint_();
    }
}

} // namespace hk
