// Background of the 3D view placeholder.
#include "app/window/scene_viewer_widget.h"

#include <QPalette>

namespace hk {

SceneViewerWidget::SceneViewerWidget(QWidget* parent) : QWidget(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, BackgroundColor());
    setPalette(pal);
    setAutoFillBackground(true);
    // Keys of the view (rig rotation) need the focus; a click in the grids hands it back here.
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace hk
