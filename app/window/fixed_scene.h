// The two values the main window gives its 3D view: the background, RGB (0, 64, 128) as a
// window-system colour, and the stored field of view, which equals GLCamera2's focal length of
// 400 on the view's 724-pixel design width (so the window sets the focal length, not the angle).
#pragma once

namespace hk {

inline constexpr unsigned cViewerBackgroundColor = 8404992;
inline constexpr float cViewerFieldOfView = 84.29019165039062f;

} // namespace hk
