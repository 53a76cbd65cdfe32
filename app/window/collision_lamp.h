// The collision indicator of the left panel: a filled circle whose colour the collision cycle
// sets (green for a clean pass, red when a pair was found).
#pragma once

#include <QColor>
#include <QWidget>

namespace hk {

class TCollisionLamp : public QWidget {
    Q_OBJECT
public:
    explicit TCollisionLamp(QWidget* parent = nullptr);

    QColor FillColor() const { return fillColor_; }
    // Repaints only when the colour changes.
    void SetFillColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fillColor_{Qt::white};
};

} // namespace hk
