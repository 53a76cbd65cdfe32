// TGLPipe: a tube of circular cross-section swept along a chain of nodes, each with a radius
// factor and a colour; either end may be closed by a flat disk.
#pragma once

#include "engine/color.h"
#include "engine/flags.h"
#include "engine/nodes.h"
#include "primitives/pipe/polygon_base.h"

#include <string>

namespace hk {

enum TPipePart { ppOutside, ppInside, ppStartDisk, ppStopDisk };
using TPipeParts = TFlags<TPipePart>;

enum TPipeNodesColorMode {
    pncmNone,
    pncmEmission,
    pncmAmbient,
    pncmDiffuse,
    pncmAmbientAndDiffuse
};

class TGLPipeNode : public TGLNode, public TGLNotifiable {
public:
    TGLPipeNode();

    float RadiusFactor() const { return radiusFactor_; }
    void SetRadiusFactor(float value);
    // Streamed only when it differs from 1.
    bool RadiusFactorStored() const { return radiusFactor_ != 1.0f; }
    TGLColor& Color() { return color_; }
    const TGLColor& Color() const { return color_; }
    void SetColor(const TColorVector& value) { color_.SetColor(value); }

    // "(x, y, z) / rf = 1.000": the coordinates followed by the radius factor.
    std::string DisplayName() const;

    // The colour reports here; the change goes on to the collection.
    void NotifyChange(TGLNotifiable* sender) override;

private:
    float radiusFactor_ = 1.0f;
    TGLColor color_;
};

// The node collection of a pipe: every node it creates is a TGLPipeNode.
class TGLPipeNodes : public TGLNodes {
public:
    explicit TGLPipeNodes(TGLBaseSceneObject* owner) : TGLNodes(owner) {}

    TGLPipeNode* Add();
    TGLPipeNode* AddNode(float x, float y, float z);
    // The node at `index` when it is a pipe node, else none.
    TGLPipeNode* PipeNode(int index) const;
};

class TGLPipe : public TGLPolygonBase {
public:
    TGLPipe();

    TGLPipeNodes& PipeNodes() { return static_cast<TGLPipeNodes&>(Nodes()); }

    TPipeParts Parts() const { return parts_; }
    void SetParts(TPipeParts value);
    int Slices() const { return slices_; }
    // Values of 0 or less are ignored.
    void SetSlices(int value);
    float Radius() const { return radius_; }
    void SetRadius(float value);
    TPipeNodesColorMode NodesColorMode() const { return nodesColorMode_; }
    void SetNodesColorMode(TPipeNodesColorMode value);

    // From another pipe: slices, parts, radius and colour mode; then the polygon-base part.
    void Assign(const TGLBaseSceneObject& source) override;

    // Bands between consecutive rings and the selected disks, in object space. A pipe
    // without nodes emits nothing.
    void EmitGeometry(TRenderContextInfo& rci) override;
    // The nodes' box widened by the largest ring; none along a cubic spline, which may swing
    // out beyond its nodes.
    std::optional<TAABB> GeometryBox() override;
    // Per axis the larger of |min| and |max| of the nodes' box widened by the largest ring, so
    // the box around the origin holds the whole tube (a cubic spline may swing slightly beyond
    // its nodes). Collision and framing see the tube by this box.
    TVector UnscaledBoxExtents() override;
    // Coarser levels draw fewer slices, by the largest ring on screen.
    int DetailLevelFor(float pixelsPerUnit) override;
    // Node colours go straight to OpenGL: such a pipe is not recorded.
    bool RecordsGeometry() override { return nodesColorMode_ == pncmNone; }

protected:
    TGLNode* NewNode() override;
    void CopyNodeExtras(const TGLNode& source, TGLNode& target) override;

private:
    TPipeParts parts_{ppOutside};
    int slices_ = 16;
    float radius_ = 1.0f;
    TPipeNodesColorMode nodesColorMode_ = pncmNone;
};

} // namespace hk
