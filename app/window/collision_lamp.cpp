// Painting of the collision indicator circle.
#include "app/window/collision_lamp.h"

#include <QPainter>

namespace hk {

TCollisionLamp::TCollisionLamp(QWidget* parent) : QWidget(parent) {}

void TCollisionLamp::SetFillColor(const QColor& color) {
    if (color == fillColor_) {
        return;
    }
    fillColor_ = color;
    update();
}

void TCollisionLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fillColor_);
    // The circle fills the widget, less half the pen on each side so the outline stays inside.
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace hk
