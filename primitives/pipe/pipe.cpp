// Pipe nodes and the sweep of the pipe along its polyline or spline path.
#include "primitives/pipe/pipe.h"

#include "engine/vector_geometry.h"
#include "primitives/detail_level.h"
#include "primitives/pipe/cubic_spline.h"
#include "primitives/pipe/pipe_ring.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace hk {

// ---- nodes -------------------------------------------------------------------------------

TGLPipeNode::TGLPipeNode() : color_(this, clrBlack) {}

void TGLPipeNode::SetRadiusFactor(float value) {
    if (value != radiusFactor_) {
        radiusFactor_ = value;
        Changed();
    }
}

std::string TGLPipeNode::DisplayName() const {
    char text[128];
    std::snprintf(text, sizeof text, "(%.3f, %.3f, %.3f) / rf = %.3f", double(X()), double(Y()),
                  double(Z()), double(radiusFactor_));
    return text;
}

void TGLPipeNode::NotifyChange(TGLNotifiable*) {
    Changed();
}

TGLPipeNode* TGLPipeNodes::Add() {
    return TGLNodes::Add(std::make_unique<TGLPipeNode>());
}

TGLPipeNode* TGLPipeNodes::AddNode(float x, float y, float z) {
    TGLPipeNode* node = Add();
    node->SetAsVector({x, y, z, 1});
    return node;
}

TGLPipeNode* TGLPipeNodes::PipeNode(int index) const {
    return dynamic_cast<TGLPipeNode*>(Items(index));
}

// ---- pipe --------------------------------------------------------------------------------

namespace {

struct NodeData {
    TAffineVector position;
    float radiusFactor = 1;
    TColorVector color{0, 0, 0, 1};
};

// The nodes as plain values; a node of the plain kind counts as radius factor 1, black.
std::vector<NodeData> CollectNodes(const TGLNodes& nodes) {
    std::vector<NodeData> out(std::size_t(nodes.Count()));
    for (int i = 0; i < nodes.Count(); ++i) {
        const TGLNode& n = nodes[i];
        out[i].position = n.AsAffineVector();
        if (auto* p = dynamic_cast<const TGLPipeNode*>(&n)) {
            out[i].radiusFactor = p->RadiusFactor();
            out[i].color = p->Color().Color();
        }
    }
    return out;
}

TAffineVector NormalizedOrNull(const TAffineVector& v) {
    if (VectorDotProduct(v, v) < 1e-5f) {
        return NullVector;
    }
    TAffineVector n = VectorNormalize(v);
    return VectorDotProduct(n, n) < 1e-5f ? NullVector : n;
}

// The ring at an inner node lies in the plane that bisects the bend.
TAffineVector PolylineDirection(const std::vector<NodeData>& nodes, int i) {
    const int n = int(nodes.size());
    TAffineVector d;
    if (n < 2) {
        return NullVector;
    } else if (i == 0) {
        d = VectorSubtract(nodes[1].position, nodes[0].position);
    } else if (i == n - 1) {
        d = VectorSubtract(nodes[n - 1].position, nodes[n - 2].position);
    } else {
        d = VectorSubtract(nodes[i + 1].position, nodes[i - 1].position);
    }
    return NormalizedOrNull(d);
}

GLenum ColorMaterialMode(TPipeNodesColorMode mode) {
    switch (mode) {
    case pncmEmission:
        return GL_EMISSION;
    case pncmAmbient:
        return GL_AMBIENT;
    case pncmDiffuse:
        return GL_DIFFUSE;
    default:
        return GL_AMBIENT_AND_DIFFUSE;
    }
}

TColorVector Lerp(const TColorVector& a, const TColorVector& b, float f) {
    return VectorCombine(a, b, 1 - f, f);
}

} // namespace

TGLPipe::TGLPipe() : TGLPolygonBase(std::make_unique<TGLPipeNodes>(this)) {}

TGLNode* TGLPipe::NewNode() {
    return PipeNodes().Add();
}

void TGLPipe::CopyNodeExtras(const TGLNode& source, TGLNode& target) {
    auto* from = dynamic_cast<const TGLPipeNode*>(&source);
    auto* to = dynamic_cast<TGLPipeNode*>(&target);
    if (from != nullptr && to != nullptr) {
        to->SetRadiusFactor(from->RadiusFactor());
        to->SetColor(from->Color().Color());
    }
}

void TGLPipe::SetParts(TPipeParts value) {
    if (value != parts_) {
        parts_ = value;
        StructureChanged();
    }
}

void TGLPipe::SetSlices(int value) {
    if (value > 0 && value != slices_) {
        slices_ = value;
        StructureChanged();
    }
}

void TGLPipe::SetRadius(float value) {
    if (value != radius_) {
        radius_ = value;
        StructureChanged();
    }
}

void TGLPipe::SetNodesColorMode(TPipeNodesColorMode value) {
    if (value != nodesColorMode_) {
        nodesColorMode_ = value;
        StructureChanged();
    }
}

void TGLPipe::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLPipe*>(&source)) {
        SetSlices(src->slices_);
        SetParts(src->parts_);
        SetRadius(src->radius_);
        SetNodesColorMode(src->nodesColorMode_);
    }
    TGLPolygonBase::Assign(source);
    EndUpdate();
}

namespace {

// The largest ring radius of a pipe of `radius` over its nodes.
float LargestRing(const std::vector<NodeData>& nodes, float radius) {
    float factor = 0;
    for (const NodeData& node : nodes) {
        factor = std::max(factor, std::fabs(node.radiusFactor));
    }
    return std::fabs(radius) * factor;
}

} // namespace

std::optional<TAABB> TGLPipe::GeometryBox() {
    const std::vector<NodeData> nodes = CollectNodes(Nodes());
    if (nodes.empty() || (SplineMode() == lsmCubicSpline && nodes.size() >= 2)) {
        return std::nullopt;
    }
    TAABB box{nodes[0].position, nodes[0].position};
    for (const NodeData& node : nodes) {
        for (int k = 0; k < 3; ++k) {
            box.min[k] = std::min(box.min[k], node.position[k]);
            box.max[k] = std::max(box.max[k], node.position[k]);
        }
    }
    const float r = LargestRing(nodes, radius_);
    for (int k = 0; k < 3; ++k) {
        box.min[k] -= r;
        box.max[k] += r;
    }
    return box;
}

TVector TGLPipe::UnscaledBoxExtents() {
    TGLPipeNodes& nodes = PipeNodes();
    TVector e{0, 0, 0, 0};
    float factor = 0;
    for (int i = 0; i < nodes.Count(); ++i) {
        const TVector& v = nodes[i].AsVector();
        for (int k = 0; k < 3; ++k)
            e[k] = std::max(e[k], std::fabs(v[k]));
        const TGLPipeNode* node = nodes.PipeNode(i);
        factor = std::max(factor, std::fabs(node ? node->RadiusFactor() : 1.0f));
    }
    const float r = std::fabs(radius_) * factor;
    for (int k = 0; k < 3; ++k)
        e[k] += r;
    return e;
}

int TGLPipe::DetailLevelFor(float pixelsPerUnit) {
    return RoundDetailLevel(LargestRing(CollectNodes(Nodes()), radius_) * pixelsPerUnit);
}

void TGLPipe::EmitGeometry(TRenderContextInfo& rci) {
    const std::vector<NodeData> nodes = CollectNodes(Nodes());
    const int n = int(nodes.size());
    if (n == 0) {
        return;
    }
    const int slices = SegmentsAtLevel(slices_, rci.detailLevel);
    TPipeRing rings[2];
    rings[0].Resize(slices);
    rings[1].Resize(slices);
    const TPipeSinCosTable& table = PipeSinCosTable(slices);

    const bool spline = SplineMode() == lsmCubicSpline && n >= 2;
    std::unique_ptr<TCubicSpline> path, radii;
    TAffineVector d;
    if (spline) {
        std::vector<float> x(n), y(n), z(n), rf(n);
        for (int i = 0; i < n; ++i) {
            x[i] = nodes[i].position.x;
            y[i] = nodes[i].position.y;
            z[i] = nodes[i].position.z;
            rf[i] = nodes[i].radiusFactor;
        }
        path = std::make_unique<TCubicSpline>(x.data(), y.data(), z.data(), nullptr, n);
        radii = std::make_unique<TCubicSpline>(rf.data(), nullptr, nullptr, nullptr, n);
        d = path->SplineSlopeVector(0);
    } else {
        d = PolylineDirection(nodes, 0);
    }

    const bool colors = nodesColorMode_ != pncmNone;
    TGLGeometrySink& sink = GeometrySinkOf(rci);
    if (colors) {
        glPushAttrib(GL_ENABLE_BIT);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, ColorMaterialMode(nodesColorMode_));
    }

    BuildPipeRing(rings[0], nodes[0].position, d, nodes[0].radiusFactor, radius_, table);
    rings[0].color = nodes[0].color;
    if (parts_.Contains(ppStartDisk)) {
        EmitPipeDisk(sink, rings[0], nodes[0].position, VectorScale(d, -1), true, colors);
    }

    auto bands = [&](int i) {
        TPipeRing& current = rings[i % 2];
        TPipeRing& previous = rings[(i + 1) % 2];
        if (parts_.Contains(ppOutside)) {
            EmitPipeBand(sink, previous, current, colors);
        }
        if (parts_.Contains(ppInside)) {
            EmitPipeBand(sink, current, previous, colors);
        }
    };
    if (n >= 2) {
        if (!spline) {
            for (int i = 1; i < n; ++i) {
                TPipeRing& ring = rings[i % 2];
                BuildPipeRing(ring, nodes[i].position, PolylineDirection(nodes, i),
                              nodes[i].radiusFactor, radius_, table);
                ring.color = nodes[i].color;
                bands(i);
            }
        } else {
            const float step = 1.0f / float(Division());
            const int steps = (n - 1) * Division();
            for (int i = 1; i <= steps; ++i) {
                const float t = float(i) * step;
                TPipeRing& ring = rings[i % 2];
                BuildPipeRing(ring, path->SplineAffineVector(t),
                              VectorNormalize(path->SplineSlopeVector(t)), radii->SplineX(t),
                              radius_, table);
                if (colors) {
                    const int k = std::min(int(t), n - 1);
                    ring.color = k < n - 1 ? Lerp(nodes[k].color, nodes[k + 1].color, t - k)
                                           : nodes[k].color;
                }
                bands(i);
            }
        }
    }

    if (parts_.Contains(ppStopDisk)) {
        const int last = n - 1;
        TAffineVector stop =
            spline ? path->SplineSlopeVector(float(last)) : PolylineDirection(nodes, last);
        BuildPipeRing(rings[0], nodes[last].position, stop, nodes[last].radiusFactor, radius_,
                      table);
        rings[0].color = nodes[last].color;
        EmitPipeDisk(sink, rings[0], nodes[last].position, stop, false, colors);
    }
    if (colors) {
        glPopAttrib();
    }
}

} // namespace hk
