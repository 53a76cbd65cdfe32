// The 3D view in the middle of the main window. For now it only fills its area with the
// viewer's background colour; the OpenGL scene viewer takes its place when rendering lands.
#pragma once

#include <QColor>
#include <QWidget>

namespace hk {

class SceneViewerWidget : public QWidget {
    Q_OBJECT
public:
    // The viewer's background colour, RGB (0, 64, 128).
    static QColor BackgroundColor() { return QColor(0, 64, 128); }

    explicit SceneViewerWidget(QWidget* parent = nullptr);
};

} // namespace hk
