// TGLPolygon: a flat filled face through its nodes, tessellated by GLU, with a top face in node
// order and a bottom face in reverse order.
#pragma once

#include "engine/flags.h"
#include "primitives/pipe/polygon_base.h"

namespace hk {

enum TPolygonPart { ppTop, ppBottom };
using TPolygonParts = TFlags<TPolygonPart>;

class TGLPolygon : public TGLPolygonBase {
public:
    TPolygonParts Parts() const { return parts_; }
    void SetParts(TPolygonParts value);

    void Assign(const TGLBaseSceneObject& source) override;
    // Nothing with fewer than three nodes. The plane normal comes from the first three nodes;
    // when they are collinear the faces are tessellated without a normal.
    void EmitGeometry(TRenderContextInfo& rci) override;

private:
    TPolygonParts parts_{ppTop, ppBottom};
};

} // namespace hk
