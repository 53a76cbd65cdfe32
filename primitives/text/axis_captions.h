// The three axis captions of the viewer's fixed scene: "X", "Y" and "Z" beside the ends of the
// axes that the top grouping node shows.
#pragma once

#include "primitives/text/space_text.h"

namespace hk {

class TGLBaseSceneObject;

struct TAxisCaptions {
    TGLSpaceText* X = nullptr;
    TGLSpaceText* Y = nullptr;
    TGLSpaceText* Z = nullptr;
};

// Creates the captions as children of `parent` (the viewer's DummyCube1): extrusion 0.1, scale
// 0.5, font height -11; "X" at (3.5, 0, 0) in "MS UI Gothic" with the Shift-JIS character set,
// "Y" at (0, 3, 0) and "Z" at (0, 0, 3.5) in "Arial", "Z" facing along +Z; named GLSpaceText1 to
// GLSpaceText3. The parent owns them.
TAxisCaptions CreateAxisCaptions(TGLBaseSceneObject& parent);

} // namespace hk
