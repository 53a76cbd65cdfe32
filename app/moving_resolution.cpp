// The resolution of moving frames, one step per frame.
#include "app/moving_resolution.h"

#include <array>

namespace hk {
namespace {

// Each step draws about half the pixels of the one before.
constexpr std::array<float, 5> cScales = {1.0f, 0.75f, 0.5f, 0.375f, 0.25f};

} // namespace

float TMovingResolution::Scale() const {
    return cScales[std::size_t(step_)];
}

void TMovingResolution::FrameTook(double ms) {
    if (ms > cBudgetMs && step_ + 1 < int(cScales.size())) {
        ++step_;
    } else if (ms < cAmpleMs && step_ > 0) {
        --step_;
    }
}

} // namespace hk
