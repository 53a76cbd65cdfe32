// TGLPolygonBase: a material-bearing object defined by a chain of nodes, with the spline
// settings shared by pipes and polygons.
#pragma once

#include "engine/custom_scene_object.h"
#include "engine/nodes.h"

#include <memory>

namespace hk {

enum TLineSplineMode { lsmLines, lsmCubicSpline, lsmBezierSpline, lsmNURBSCurve, lsmSegments };

class TGLPolygonBase : public TGLCustomSceneObject {
public:
    TGLPolygonBase();

    TGLNodes& Nodes() { return *nodes_; }
    const TGLNodes& Nodes() const { return *nodes_; }
    // Replaces the nodes by copies of `source`'s (of this object's node kind) and marks the
    // structure changed. Assigning the object's own collection does nothing.
    void SetNodes(const TGLNodes& source);

    int Division() const { return division_; }
    // Values below 1 are stored as 1.
    void SetDivision(int value);
    TLineSplineMode SplineMode() const { return splineMode_; }
    void SetSplineMode(TLineSplineMode value);

    // Appends a node at (x, y, z), w = 1, of this object's node kind.
    void AddNode(float x, float y, float z);
    void AddNode(const TAffineVector& p) { AddNode(p.x, p.y, p.z); }

    // From another polygon base: nodes, division and spline mode; then the scene-object part.
    virtual void Assign(const TGLBaseSceneObject& source);

protected:
    // The node collection comes from the derived kind (a pipe's carries radius factors).
    explicit TGLPolygonBase(std::unique_ptr<TGLNodes> nodes);
    // Appends a node of this object's kind at the origin and returns it.
    virtual TGLNode* NewNode();
    // Copies what a node kind holds beyond its coordinates. Default: nothing.
    virtual void CopyNodeExtras(const TGLNode& source, TGLNode& target);

private:
    std::unique_ptr<TGLNodes> nodes_;
    int division_ = 10;
    TLineSplineMode splineMode_ = lsmLines;
};

} // namespace hk
