// The OpenGL view widget over a scene buffer.
#include "app/window/scene_viewer.h"

#include "app/window/view_surface.h"
#include "engine/camera.h"
#include "engine/errors.h"

#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// Frames closer than this to the one before are drawn coarse, as the view is moving; this long
// after the last coarse frame the full one follows.
constexpr std::chrono::milliseconds cMovingFrameGap{100};
constexpr int cFullFrameDelayMs = 80;

} // namespace

TGLSceneViewer::TGLSceneViewer(QWidget* parent)
    : QWidget(parent), buffer_(std::make_unique<TGLSceneBuffer>()) {
    TQtGLContext::Register();
    // Nothing of the widget itself shows: the surface covers it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    surface_ = new TViewSurface([this] { PaintSurface(); });
    surface_->setFormat(SurfaceFormatFor(*buffer_));
    QWidget* container = QWidget::createWindowContainer(surface_, this);
    container->setObjectName(QStringLiteral("ViewSurface"));
    // Clicks on the view must not move the keyboard focus into the surface, where the main
    // window's shortcuts would not see the keys.
    container->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container);
    resize(100, 100);
    setMouseTracking(true);
    container->setMouseTracking(true);
    fullFrameTimer_ = new QTimer(this);
    fullFrameTimer_->setSingleShot(true);
    fullFrameTimer_->setInterval(cFullFrameDelayMs);
    connect(fullFrameTimer_, &QTimer::timeout, this, [this] {
        if (lastFrameCoarse_) {
            // Far enough from the last frame to be drawn in full.
            lastFrameEnd_ = {};
            RequestFrame();
        }
    });
    // Changes only ask for a frame; the buffer ignores them while it renders.
    buffer_->OnChange = [this](TGLSceneBuffer*) { RequestFrame(); };
    // The pixel format is fixed once the context exists; a new buffer context is built on it.
    buffer_->OnStructuralChange = [this](TGLSceneBuffer*) {
        recreateContext_ = true;
        RequestFrame();
    };
}

TGLSceneViewer::~TGLSceneViewer() {
    ReleaseContext();
}

void TGLSceneViewer::ReleaseContext() {
    if (buffer_->RenderingContext() != nullptr && MakeGLContextCurrent()) {
        buffer_->DestroyContext();
        context_->doneCurrent();
    }
}

QOpenGLContext* TGLSceneViewer::GLContext() {
    if (!context_) {
        auto context = std::make_unique<QOpenGLContext>();
        context->setFormat(surface_->requestedFormat());
        if (!context->create()) {
            return nullptr;
        }
        offscreen_ = std::make_unique<QOffscreenSurface>();
        offscreen_->setFormat(context->format());
        offscreen_->create();
        context_ = std::move(context);
    }
    return context_.get();
}

bool TGLSceneViewer::MakeGLContextCurrent() {
    QOpenGLContext* context = GLContext();
    if (context == nullptr) {
        return false;
    }
    QSurface* target = surface_->isExposed() ? static_cast<QSurface*>(surface_)
                                             : static_cast<QSurface*>(offscreen_.get());
    return context->makeCurrent(target);
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
    QSurfaceFormat f = surface_->requestedFormat();
    f.setSwapInterval(mode == vsmSync ? 1 : 0);
    surface_->setFormat(f);
}

void TGLSceneViewer::RequestFrame() {
    surface_->RequestFrame();
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

QSize TGLSceneViewer::PixelSize() const {
    const qreal ratio = devicePixelRatioF();
    return {int(std::lround(width() * ratio)), int(std::lround(height() * ratio))};
}

void TGLSceneViewer::CreateBufferContext() {
    buffer_->SetViewportSize(PixelSize().width(), PixelSize().height());
    try {
        buffer_->CreateContext(device_, false);
    } catch (const Exception& e) {
        Report(e.what());
    }
    recreateContext_ = false;
}

bool TGLSceneViewer::EnsureBufferContext() {
    if (recreateContext_ || buffer_->RenderingContext() == nullptr) {
        CreateBufferContext();
    }
    return buffer_->RenderingContext() != nullptr;
}

void TGLSceneViewer::PaintSurface() {
    if (width() <= 0 || height() <= 0 || !MakeGLContextCurrent()) {
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    // A frame that follows the last one closely is a moving one. The first frame on a new
    // context or after a build is coarse too, for the geometry it prepares rather than for its
    // pixels: it keeps the full resolution and is not timed.
    const bool preparing =
        recreateContext_ || buffer_->RenderingContext() == nullptr || coarseNext_;
    const bool moving = !preparing && start - lastFrameEnd_ < cMovingFrameGap;
    if (EnsureBufferContext()) {
        const bool coarse = preparing || moving;
        coarseNext_ = false;
        buffer_->SetDetailScale(coarse ? cMovingDetailScale : 1);
        buffer_->SetResolutionScale(moving ? movingResolution_.Scale() : 1);
        try {
            buffer_->RenderFrame();
            lastError_.clear();
        } catch (const Exception& e) {
            Report(e.what());
        }
        buffer_->SetDetailScale(1);
        buffer_->SetResolutionScale(1);
        lastFrameCoarse_ = coarse;
        if (coarse) {
            fullFrameTimer_->start();
        }
    }
    context_->swapBuffers(surface_);
    lastFrameEnd_ = std::chrono::steady_clock::now();
    if (moving) {
        movingResolution_.FrameTook(
            std::chrono::duration<double, std::milli>(lastFrameEnd_ - start).count());
    }
}

void TGLSceneViewer::paintEvent(QPaintEvent*) {
    RequestFrame();
}

void TGLSceneViewer::resizeEvent(QResizeEvent*) {
    buffer_->SetViewportSize(PixelSize().width(), PixelSize().height());
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
    if (GLContext() == nullptr || !context_->makeCurrent(offscreen_.get())) {
        return {};
    }
    QImage image;
    if (EnsureBufferContext()) {
        const QSize size = PixelSize();
        QOpenGLFramebufferObject target(size, QOpenGLFramebufferObject::CombinedDepthStencil);
        // The buffer finds its context current and draws into the bound target.
        target.bind();
        buffer_->SetViewportSize(size.width(), size.height());
        try {
            buffer_->RenderFrame();
            image = target.toImage().convertToFormat(QImage::Format_RGB32);
            image.setDevicePixelRatio(devicePixelRatioF());
        } catch (const Exception& e) {
            Report(e.what());
        }
        target.release();
    }
    context_->doneCurrent();
    return image;
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
