// TGLSceneViewer: the 3D view of the main window, a QOpenGLWidget that owns a TGLSceneBuffer.
// It sizes the buffer's viewport, paints one frame per paint (changes only ask for a repaint),
// passes its field of view to the camera's focal length and forwards mouse and wheel events to
// the window that handles navigation.
#pragma once

#include "app/window/qt_gl_context.h"
#include "engine/scene_buffer.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QString>

#include <functional>
#include <memory>

class QMouseEvent;
class QWheelEvent;

namespace hk {

class TGLBaseSceneObject;
class TGLCamera;

enum TVSyncMode { vsmSync, vsmNoSync };

class TGLSceneViewer : public QOpenGLWidget {
    Q_OBJECT
public:
    // Shows a render failure to the user (UTF-8 text); the default writes a warning.
    using ErrorReporter = std::function<void(const QString& message)>;

    // 100 x 100 until laid out. Registers the Qt context class.
    explicit TGLSceneViewer(QWidget* parent = nullptr);
    // Frees the context (and the display lists of the scene still viewed) with it current.
    ~TGLSceneViewer() override;

    TGLSceneBuffer& Buffer() { return *buffer_; }
    TGLCamera* Camera() const { return buffer_->Camera(); }
    void SetCamera(TGLCamera* camera) { buffer_->SetCamera(camera); }

    // Degrees over min(width, height), through the camera's focal length; 0 / nothing
    // without a camera.
    float FieldOfView() const;
    void SetFieldOfView(float degrees);

    TVSyncMode VSync() const { return vsync_; }
    // Takes effect through the swap interval of the widget's format.
    void SetVSync(TVSyncMode mode);

    void SetErrorReporter(ErrorReporter report) { reportError_ = std::move(report); }

    // The object under widget pixel (x, y), or none.
    TGLBaseSceneObject* PickedObjectAt(int x, int y);
    // Renders one frame into an image of the widget's size (works off screen).
    QImage RenderToImage();

signals:
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);
    void Wheel(QWheelEvent* event);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ReleaseContext();
    void CreateBufferContext();
    void Report(const char* what);

    std::unique_ptr<TGLSceneBuffer> buffer_;
    TQtGLDevice device_{this};
    TVSyncMode vsync_ = vsmNoSync;
    bool recreateContext_ = false;
    ErrorReporter reportError_;
    // The last failure reported; the same failure frame after frame is reported once.
    QString lastError_;
};

} // namespace hk
