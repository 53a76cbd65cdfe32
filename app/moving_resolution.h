// TMovingResolution: the resolution the view draws at while it moves. A software rasteriser
// spends a large drawing's frame filling pixels; drawing the moving frames at a fraction of the
// view's size, stretched over it, keeps turning fluid there, while a fast machine keeps the
// full resolution. The fraction follows the time the moving frames take: down a step while
// they are slower than the budget, up a step while they are well within it. The full picture
// that follows a movement is always drawn at full resolution.
#pragma once

namespace hk {

class TMovingResolution {
public:
    // A moving frame slower than this (drawing and showing it) lowers the resolution.
    static constexpr double cBudgetMs = 30;
    // A moving frame faster than this raises it again.
    static constexpr double cAmpleMs = 12;

    // The share of the view's width and height the next moving frame is drawn at: 1 down to
    // a quarter.
    float Scale() const;
    // A moving frame drawn at Scale() took `ms` milliseconds.
    void FrameTook(double ms);

private:
    int step_ = 0;
};

} // namespace hk
