// Line figures drawn by several objects: the wireframe box of dummy cubes and cube node
// markers, and the axes figure of line node markers.
#pragma once

#include "engine/render_context_info.h"
#include "engine/vector_types.h"

#include <cstdint>

namespace hk {

// The twelve edges of a cube of side `side` centred on the origin, unlit in `color`, dashed
// (pattern 0xCCCC) or solid. Resets the cached material colours; OpenGL state is restored.
void DrawWireframeBox(TRenderContextInfo& rci, float side, const TColorVector& color, bool dashed);

// Six segments from the origin to +-halfLength on each axis, the negative halves in half
// intensity, stippled with `pattern`. OpenGL state is restored.
void DrawAxesFigure(TRenderContextInfo& rci, std::uint16_t pattern, float halfLength);

} // namespace hk
