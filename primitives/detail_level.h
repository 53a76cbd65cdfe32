// Levels of detail of round shapes: how many segments a circle of a given size on screen needs
// to look as it does in full detail.
#pragma once

#include <algorithm>

namespace hk {

// The level for a circle of `radiusPixels` pixels: the full count of segments from 1 pixel,
// half of them from half a pixel, a quarter from a quarter pixel, a triangle below. Outlines would
// allow fewer segments much sooner (a polygon of n segments strays from its circle by radius (1 -
// cos(pi / n))), but the lighting of a thin rod follows its normals: with fewer of them its
// highlight moves by whole pixels. While the view moves, the buffer's detail scale shrinks every
// size so that these levels come sooner.
inline int RoundDetailLevel(float radiusPixels) {
    return radiusPixels >= 1 ? 0 : radiusPixels >= 0.5f ? 1 : radiusPixels >= 0.25f ? 2 : 3;
}

// The segments of a circle drawn with `full` segments in full detail, at `level`: halved per
// level, never fewer than 4 (3 at level 3 and beyond, nor more than `full`).
inline int SegmentsAtLevel(int full, int level) {
    int segments = full;
    for (int k = 0; k < level; ++k) {
        segments /= 2;
    }
    return std::min(full, std::max(segments, level >= 3 ? 3 : 4));
}

} // namespace hk
