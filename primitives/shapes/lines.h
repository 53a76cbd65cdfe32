// Lines: TGLLineBase (colour, stipple, width, smoothing), TGLNodedLines (coloured nodes and
// their markers) and TGLLines (straight, segment, cubic, Bezier or NURBS paths through them).
#pragma once

#include "engine/color.h"
#include "engine/flags.h"
#include "engine/nodes.h"
#include "engine/scene_object.h"
#include "primitives/pipe/polygon_base.h"

#include <cstdint>
#include <vector>

namespace hk {

class TGLLineBase : public TGLImmaterialSceneObject {
public:
    TGLLineBase();

    TGLColor& LineColor() { return lineColor_; }
    const TGLColor& LineColor() const { return lineColor_; }
    void SetLineColor(const TColorVector& value) { lineColor_.SetColor(value); }
    std::uint16_t LinePattern() const { return linePattern_; }
    void SetLinePattern(std::uint16_t value);
    float LineWidth() const { return lineWidth_; }
    void SetLineWidth(float value);
    bool AntiAliased() const { return antiAliased_; }
    void SetAntiAliased(bool value);

    virtual void Assign(const TGLBaseSceneObject& source);

protected:
    // Unlit lines in the line colour, stipple, width and smoothing; undone by glPopAttrib.
    void SetupLineStyle() const;

private:
    TGLColor lineColor_;
    std::uint16_t linePattern_ = 0xFFFF;
    float lineWidth_ = 1.0f;
    bool antiAliased_ = false;
};

class TGLNodedLines;

class TGLLinesNode : public TGLNode, public TGLNotifiable {
public:
    explicit TGLLinesNode(const TColorVector& color);

    TGLColor& Color() { return color_; }
    const TGLColor& Color() const { return color_; }
    void SetColor(const TColorVector& value) { color_.SetColor(value); }

    void NotifyChange(TGLNotifiable* sender) override;

private:
    TGLColor color_;
};

// Creates every node with the owner's current node colour.
class TGLLinesNodes : public TGLNodes {
public:
    explicit TGLLinesNodes(TGLNodedLines* owner);

    TGLLinesNode* Add();
    TGLLinesNode* AddNode(float x, float y, float z);
    // The node at `index` when it is a lines node, else none.
    TGLLinesNode* LinesNode(int index) const;

private:
    TGLNodedLines* lines_;
};

enum TLineNodesAspect { lnaInvisible, lnaAxes, lnaCube, lnaDodecahedron };

class TGLNodedLines : public TGLLineBase {
public:
    TGLNodedLines();

    TGLLinesNodes& Nodes() { return nodes_; }
    const TGLLinesNodes& Nodes() const { return nodes_; }
    // Replaces the nodes by copies of `source`'s (coordinates and, for lines nodes, colours).
    void SetNodes(const TGLNodes& source);
    void AddNode(float x, float y, float z) { nodes_.AddNode(x, y, z); }

    // Changing it recolours every node that still had the previous node colour.
    TGLColor& NodeColor() { return nodeColor_; }
    const TGLColor& NodeColor() const { return nodeColor_; }
    void SetNodeColor(const TColorVector& value) { nodeColor_.SetColor(value); }
    TLineNodesAspect NodesAspect() const { return nodesAspect_; }
    void SetNodesAspect(TLineNodesAspect value);
    float NodeSize() const { return nodeSize_; }
    // A value of 0 or less is stored as 1. Every assignment marks the structure changed.
    void SetNodeSize(float value);

    void Assign(const TGLBaseSceneObject& source) override;
    void NotifyChange(TGLNotifiable* sender) override;

protected:
    // The node markers of the aspect, at every node.
    void DrawNodes(TRenderContextInfo& rci);

private:
    TGLLinesNodes nodes_;
    TGLColor nodeColor_;
    TColorVector oldNodeColor_;
    TLineNodesAspect nodesAspect_ = lnaAxes;
    float nodeSize_ = 1.0f;
};

enum TLinesOption { loUseNodeColorForLines };
using TLinesOptions = TFlags<TLinesOption>;

class TGLLines : public TGLNodedLines {
public:
    int Division() const { return division_; }
    // Values below 1 are stored as 1.
    void SetDivision(int value);
    TLineSplineMode SplineMode() const { return splineMode_; }
    void SetSplineMode(TLineSplineMode value);
    TLinesOptions Options() const { return options_; }
    // Every assignment marks the structure changed.
    void SetOptions(TLinesOptions value);

    // Not published; the NURBS path draws only with an order above 0 and knots.
    int NURBSOrder() const { return nurbsOrder_; }
    void SetNURBSOrder(int value);
    float NURBSTolerance() const { return nurbsTolerance_; }
    void SetNURBSTolerance(float value);
    const std::vector<float>& NURBSKnots() const { return nurbsKnots_; }
    void SetNURBSKnots(std::vector<float> knots);

    // Componentwise maximum of the absolute node coordinates, w included, from zero.
    TVector UnscaledBoxExtents() override;
    void Assign(const TGLBaseSceneObject& source) override;
    // Nothing with fewer than two nodes; else the path and the node markers.
    void EmitGeometry(TRenderContextInfo& rci) override;

private:
    void DrawNURBS(const std::vector<float>& controlPoints);

    int division_ = 10;
    TLineSplineMode splineMode_ = lsmLines;
    TLinesOptions options_;
    int nurbsOrder_ = 0;
    float nurbsTolerance_ = 50.0f;
    std::vector<float> nurbsKnots_;
};

} // namespace hk
