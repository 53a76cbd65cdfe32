// TGLSceneViewer: the 3D view of the main window, a widget that owns a TGLSceneBuffer and the
// OpenGL context it draws with. Frames go to a native surface window laid over the widget
// (changes only ask for a frame); mouse and wheel events pass through that surface to the
// widget, which forwards them to the window that handles navigation. It sizes the buffer's
// viewport and passes its field of view to the camera's focal length.
#pragma once

#include "app/moving_resolution.h"
#include "app/window/qt_gl_context.h"
#include "engine/scene_buffer.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

class QMouseEvent;
class QOffscreenSurface;
class QOpenGLContext;
class QTimer;
class QWheelEvent;

namespace hk {

class TGLBaseSceneObject;
class TGLCamera;
class TViewSurface;

enum TVSyncMode { vsmSync, vsmNoSync };

class TGLSceneViewer : public QWidget {
    Q_OBJECT
public:
    // Shows a render failure to the user (UTF-8 text); the default writes a warning.
    using ErrorReporter = std::function<void(const QString& message)>;

    // 100 x 100 until laid out. Registers the Qt context class.
    explicit TGLSceneViewer(QWidget* parent = nullptr);
    // Frees the buffer's context (and the display lists of the scene still viewed) with it
    // current, then the OpenGL context.
    ~TGLSceneViewer() override;

    TGLSceneBuffer& Buffer() { return *buffer_; }
    TGLCamera* Camera() const { return buffer_->Camera(); }
    void SetCamera(TGLCamera* camera) { buffer_->SetCamera(camera); }

    // Degrees over min(width, height), through the camera's focal length; 0 / nothing
    // without a camera.
    float FieldOfView() const;
    void SetFieldOfView(float degrees);

    TVSyncMode VSync() const { return vsync_; }
    // Takes effect through the swap interval of the surface's format, for a context made after.
    void SetVSync(TVSyncMode mode);

    // Asks for a frame; what update() does for the widget's own painting, without repainting
    // the widget under the surface.
    void RequestFrame();
    // The next frame is drawn coarse and the full one follows, as on a new context: the first
    // frame after a (re)build prepares every solid's geometry anew.
    void DrawNextFrameCoarse() { coarseNext_ = true; }

    void SetErrorReporter(ErrorReporter report) { reportError_ = std::move(report); }

    // The object under widget pixel (x, y), or none.
    TGLBaseSceneObject* PickedObjectAt(int x, int y);
    // Renders one frame into an image of the widget's size (works off screen).
    QImage RenderToImage();

    // The OpenGL context, made on first use; none when it cannot be made.
    QOpenGLContext* GLContext();
    // Makes the context current on the surface when it is shown, else off screen.
    bool MakeGLContextCurrent();

signals:
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);
    void Wheel(QWheelEvent* event);

protected:
    // update() on the widget asks for a frame.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ReleaseContext();
    // The buffer's context on the current OpenGL context, made again when a structural change
    // asked for it; false when there is none.
    bool EnsureBufferContext();
    void CreateBufferContext();
    // Draws one frame on the surface and shows it: a coarse one while the view moves (a frame
    // follows the last one closely) or on a new context, the full one after a pause.
    void PaintSurface();
    QSize PixelSize() const;
    void Report(const char* what);

    std::unique_ptr<TGLSceneBuffer> buffer_;
    TMovingResolution movingResolution_;
    TQtGLDevice device_{this};
    // Owned by its window container, a child of this widget.
    TViewSurface* surface_ = nullptr;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> offscreen_;
    TVSyncMode vsync_ = vsmNoSync;
    bool recreateContext_ = false;
    // When the last frame ended; whether it was coarse; the full frame that follows a coarse
    // one after a pause.
    std::chrono::steady_clock::time_point lastFrameEnd_;
    bool lastFrameCoarse_ = false;
    bool coarseNext_ = false;
    QTimer* fullFrameTimer_ = nullptr;
    ErrorReporter reportError_;
    // The last failure reported; the same failure frame after frame is reported once.
    QString lastError_;
};

} // namespace hk
