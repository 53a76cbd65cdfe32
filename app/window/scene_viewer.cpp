// The OpenGL view widget over a scene buffer.
#include "app/window/scene_viewer.h"

#include "engine/camera.h"
#include "engine/errors.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace hk {

TGLSceneViewer::TGLSceneViewer(QWidget* parent)
    : QOpenGLWidget(parent), buffer_(std::make_unique<TGLSceneBuffer>()) {
    TQtGLContext::Register();
    setFormat(SurfaceFormatFor(*buffer_));
    resize(100, 100);
    setMouseTracking(true);
    // Changes only ask for a repaint; the buffer ignores them while it renders.
    buffer_->OnChange = [this](TGLSceneBuffer*) { update(); };
    // The pixel format is fixed once the widget exists; a new context is built on it.
    buffer_->OnStructuralChange = [this](TGLSceneBuffer*) {
        recreateContext_ = true;
        update();
    };
}

TGLSceneViewer::~TGLSceneViewer() {
    // The base class destroys the Qt context after this body; nothing of ours may hear of it.
    if (context() != nullptr) {
        disconnect(context(), nullptr, this, nullptr);
    }
    ReleaseContext();
}

void TGLSceneViewer::ReleaseContext() {
    if (buffer_->RenderingContext() != nullptr) {
        makeCurrent();
        buffer_->DestroyContext();
        doneCurrent();
    }
}

float TGLSceneViewer::FieldOfView() const {
    if (Camera() == nullptr) {
        return 0;
    }
    return Camera()->FieldOfViewFor(float(std::min(width(), height())));
}

void TGLSceneViewer::SetFieldOfView(float degrees) {
    if (Camera() != nullptr) {
        Camera()->SetFieldOfViewFor(float(std::min(width(), height())), degrees);
    }
}

void TGLSceneViewer::SetVSync(TVSyncMode mode) {
    if (mode == vsync_) {
        return;
    }
    vsync_ = mode;
    QSurfaceFormat f = format();
    f.setSwapInterval(mode == vsmSync ? 1 : 0);
    setFormat(f);
}

void TGLSceneViewer::Report(const char* what) {
    const QString message = QString::fromUtf8(what);
    if (message == lastError_) {
        return;
    }
    lastError_ = message;
    // Reported after the paint: a message box opened inside one would paint again under it.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (reportError_) {
                reportError_(message);
            } else {
                qWarning("%s", message.toUtf8().constData());
            }
        },
        Qt::QueuedConnection);
}

void TGLSceneViewer::CreateBufferContext() {
    const qreal ratio = devicePixelRatioF();
    buffer_->SetViewportSize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    try {
        buffer_->CreateContext(device_, false);
    } catch (const Exception& e) {
        Report(e.what());
    }
    recreateContext_ = false;
}

void TGLSceneViewer::initializeGL() {
    // Qt replaces the context when the widget moves to another window: free ours first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &TGLSceneViewer::ReleaseContext,
            Qt::UniqueConnection);
    CreateBufferContext();
}

void TGLSceneViewer::resizeGL(int width, int height) {
    const qreal ratio = devicePixelRatioF();
    buffer_->SetViewportSize(int(std::lround(width * ratio)), int(std::lround(height * ratio)));
}

void TGLSceneViewer::paintGL() {
    if (recreateContext_) {
        CreateBufferContext();
    }
    if (width() <= 0 || height() <= 0) {
        return;
    }
    try {
        buffer_->RenderFrame();
        lastError_.clear();
    } catch (const Exception& e) {
        Report(e.what());
    }
}

TGLBaseSceneObject* TGLSceneViewer::PickedObjectAt(int x, int y) {
    const qreal ratio = devicePixelRatioF();
    try {
        return buffer_->PickedObjectAt(int(std::lround(x * ratio)), int(std::lround(y * ratio)));
    } catch (const Exception& e) {
        Report(e.what());
    }
    return nullptr;
}

QImage TGLSceneViewer::RenderToImage() {
    return grabFramebuffer();
}

void TGLSceneViewer::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event);
}

void TGLSceneViewer::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event);
}

void TGLSceneViewer::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(event);
}

void TGLSceneViewer::wheelEvent(QWheelEvent* event) {
    emit Wheel(event);
}

} // namespace hk
