// Drawing boxes of built objects.
#include "app/object_box.h"

#include "collision/box_geometry.h"
#include "engine/nodes.h"
#include "engine/scene_object.h"
#include "primitives/pipe/pipe.h"
#include "primitives/shapes/lines.h"

#include <algorithm>
#include <limits>

namespace hk {
namespace {

TAABB NodesBox(const TGLNodes& nodes, float margin) {
    TAABB box = EmptyBox();
    for (int i = 0; i < nodes.Count(); ++i) {
        const TAffineVector p = nodes[i].AsAffineVector();
        for (int k = 0; k < 3; ++k) {
            box.min[k] = std::min(box.min[k], p[k] - margin);
            box.max[k] = std::max(box.max[k], p[k] + margin);
        }
    }
    return box;
}

} // namespace

TAABB EmptyBox() {
    constexpr float inf = std::numeric_limits<float>::infinity();
    return {{inf, inf, inf}, {-inf, -inf, -inf}};
}

TAABB ObjectBox(TGLBaseSceneObject& object) {
    TAABB own = EmptyBox();
    if (auto* pipe = dynamic_cast<TGLPipe*>(&object))
        own = NodesBox(pipe->Nodes(), pipe->Radius());
    else if (auto* polygon = dynamic_cast<TGLPolygonBase*>(&object))
        own = NodesBox(polygon->Nodes(), 0);
    else if (auto* lines = dynamic_cast<TGLNodedLines*>(&object))
        own = NodesBox(lines->Nodes(), 0);
    else
        own = CollisionHierarchyBox(object);
    if (!(own.min.x <= own.max.x))
        return EmptyBox();
    return BoxTransform(own, object.ObjectMatrix());
}

} // namespace hk
