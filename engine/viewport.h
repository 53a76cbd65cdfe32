// Pixel rectangles of the render pass: the viewport a buffer draws into (origin and size) and
// the pick window around the mouse (two corners), both in window pixels.
#pragma once

namespace hk {

// Left, Top, Width, Height.
struct TRectangle {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Left, Top, Right, Bottom; y grows downwards as in window coordinates.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

} // namespace hk
