// Line style, coloured nodes, node markers and the paths of TGLLines.
#include "primitives/shapes/lines.h"
#include "primitives/shape_property.h"

#include "engine/vector_geometry.h"
#include "primitives/pipe/cubic_spline.h"
#include "primitives/shapes/assign_scene_object.h"
#include "primitives/shapes/dodecahedron.h"
#include "primitives/shapes/wire_figures.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace hk {

namespace {

void BlendAlpha() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

bool HasExtension(const char* name) {
    const auto* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return list != nullptr && std::strstr(list, name) != nullptr;
}

struct NurbsDeleter {
    void operator()(GLUnurbs* n) const { gluDeleteNurbsRenderer(n); }
};

} // namespace

// ---- line base ---------------------------------------------------------------------------

TGLLineBase::TGLLineBase() : lineColor_(this, clrWhite) {
    lineColor_.SetColor(clrWhite);
}

void TGLLineBase::SetLinePattern(std::uint16_t value) {
    StoreShapeProperty(*this, linePattern_, value);
}
void TGLLineBase::SetLineWidth(float value) {
    StoreShapeProperty(*this, lineWidth_, value);
}
void TGLLineBase::SetAntiAliased(bool value) {
    StoreShapeProperty(*this, antiAliased_, value);
}

void TGLLineBase::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLLineBase*>(&source)) {
        SetLineColor(src->lineColor_.Color());
        SetLinePattern(src->linePattern_);
        SetLineWidth(src->lineWidth_);
        SetAntiAliased(src->antiAliased_);
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

void TGLLineBase::SetupLineStyle() const {
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    if (linePattern_ != 0xFFFF) {
        glEnable(GL_LINE_STIPPLE);
        BlendAlpha();
        glLineStipple(1, linePattern_);
    }
    if (antiAliased_) {
        glEnable(GL_LINE_SMOOTH);
        BlendAlpha();
    } else {
        glDisable(GL_LINE_SMOOTH);
    }
    glLineWidth(lineWidth_);
    const TColorVector& c = lineColor_.Color();
    if (c.w != 1) {
        if (!antiAliased_) {
            BlendAlpha();
        }
        glColor4fv(&c.x);
    } else {
        glColor3fv(&c.x);
    }
}

// ---- nodes -------------------------------------------------------------------------------

TGLLinesNode::TGLLinesNode(const TColorVector& color) : color_(this, color) {
    color_.SetColor(color);
}

void TGLLinesNode::NotifyChange(TGLNotifiable*) {
    Changed();
}

TGLLinesNodes::TGLLinesNodes(TGLNodedLines* owner) : TGLNodes(owner), lines_(owner) {}

TGLLinesNode* TGLLinesNodes::Add() {
    return TGLNodes::Add(std::make_unique<TGLLinesNode>(lines_->NodeColor().Color()));
}

TGLLinesNode* TGLLinesNodes::AddNode(float x, float y, float z) {
    TGLLinesNode* node = Add();
    node->SetAsVector({x, y, z, 1});
    return node;
}

TGLLinesNode* TGLLinesNodes::LinesNode(int index) const {
    return dynamic_cast<TGLLinesNode*>(Items(index));
}

// ---- noded lines -------------------------------------------------------------------------

TGLNodedLines::TGLNodedLines()
    : nodes_(this), nodeColor_(this, {0, 0, 1, 1}), oldNodeColor_{0, 0, 1, 1} {
    nodeColor_.SetColor(oldNodeColor_);
}

void TGLNodedLines::SetNodes(const TGLNodes& source) {
    if (&source == &nodes_) {
        return;
    }
    BeginUpdate();
    nodes_.Clear();
    for (int i = 0; i < source.Count(); ++i) {
        TGLLinesNode* node = nodes_.Add();
        node->SetAsVector(source[i].AsVector());
        if (auto* from = dynamic_cast<const TGLLinesNode*>(&source[i])) {
            node->SetColor(from->Color().Color());
        }
    }
    StructureChanged();
    EndUpdate();
}

void TGLNodedLines::SetNodesAspect(TLineNodesAspect value) {
    StoreShapeProperty(*this, nodesAspect_, value);
}

void TGLNodedLines::SetNodeSize(float value) {
    nodeSize_ = value <= 0 ? 1.0f : value;
    StructureChanged();
}

void TGLNodedLines::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLNodedLines*>(&source)) {
        SetNodes(src->nodes_);
        SetNodeColor(src->nodeColor_.Color());
        SetNodesAspect(src->nodesAspect_);
        SetNodeSize(src->nodeSize_);
    }
    TGLLineBase::Assign(source);
    EndUpdate();
}

void TGLNodedLines::NotifyChange(TGLNotifiable* sender) {
    if (sender == &nodeColor_) {
        const TColorVector now = nodeColor_.Color();
        for (int i = 0; i < nodes_.Count(); ++i) {
            TGLLinesNode* node = nodes_.LinesNode(i);
            if (node != nullptr && VectorEquals(node->Color().Color(), oldNodeColor_)) {
                node->SetColor(now);
            }
        }
        oldNodeColor_ = now;
    }
    TGLLineBase::NotifyChange(sender);
}

void TGLNodedLines::DrawNodes(TRenderContextInfo& rci) {
    glPushAttrib(GL_ENABLE_BIT);
    if (!rci.ignoreBlendingRequests) {
        BlendAlpha();
    }
    glDisable(GL_TEXTURE_2D);
    if (HasExtension("GL_ARB_texture_cube_map")) {
        glDisable(GL_TEXTURE_CUBE_MAP);
    }
    for (int i = 0; i < nodes_.Count(); ++i) {
        const TGLNode& node = nodes_[i];
        const auto* coloured = dynamic_cast<const TGLLinesNode*>(&node);
        const TColorVector color = coloured ? coloured->Color().Color() : nodeColor_.Color();
        glPushMatrix();
        glTranslatef(node.X(), node.Y(), node.Z());
        switch (nodesAspect_) {
        case lnaAxes:
            DrawAxesFigure(rci, 0xCCCC, nodeSize_ * 0.5f);
            break;
        case lnaCube:
            DrawWireframeBox(rci, nodeSize_, color, false);
            break;
        case lnaDodecahedron:
            glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &color.x);
            if (nodeSize_ != 1) {
                glScalef(nodeSize_, nodeSize_, nodeSize_);
            }
            DrawDodecahedron();
            break;
        case lnaInvisible:
            break;
        }
        glPopMatrix();
    }
    glPopAttrib();
}

// ---- lines -------------------------------------------------------------------------------

void TGLLines::SetDivision(int value) {
    StoreShapeProperty(*this, division_, std::max(value, 1));
}
void TGLLines::SetSplineMode(TLineSplineMode value) {
    StoreShapeProperty(*this, splineMode_, value);
}
void TGLLines::SetOptions(TLinesOptions value) {
    options_ = value;
    StructureChanged();
}
void TGLLines::SetNURBSOrder(int value) {
    StoreShapeProperty(*this, nurbsOrder_, value);
}
void TGLLines::SetNURBSTolerance(float value) {
    StoreShapeProperty(*this, nurbsTolerance_, value);
}
void TGLLines::SetNURBSKnots(std::vector<float> knots) {
    nurbsKnots_ = std::move(knots);
    StructureChanged();
}

TVector TGLLines::UnscaledBoxExtents() {
    TVector e{0, 0, 0, 0};
    for (int i = 0; i < Nodes().Count(); ++i) {
        const TVector& v = Nodes()[i].AsVector();
        for (int c = 0; c < 4; ++c) {
            e[c] = std::max(e[c], std::fabs(v[c]));
        }
    }
    return e;
}

void TGLLines::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLLines*>(&source)) {
        SetDivision(src->division_);
        SetSplineMode(src->splineMode_);
        SetOptions(src->options_);
        SetNURBSOrder(src->nurbsOrder_);
        SetNURBSTolerance(src->nurbsTolerance_);
        SetNURBSKnots(src->nurbsKnots_);
    }
    TGLNodedLines::Assign(source);
    EndUpdate();
}

// GLU reads knot count - order control points: a knot list that asks for more points than
// there are nodes, or no more knots than the order, draws nothing.
void TGLLines::DrawNURBS(const std::vector<float>& controlPoints) {
    const int knots = int(nurbsKnots_.size());
    const int points = int(controlPoints.size() / 3);
    if (nurbsOrder_ <= 0 || knots == 0 || knots <= nurbsOrder_ || knots - nurbsOrder_ > points) {
        return;
    }
    std::unique_ptr<GLUnurbs, NurbsDeleter> renderer(gluNewNurbsRenderer());
    if (!renderer) {
        return;
    }
    gluNurbsProperty(renderer.get(), GLU_SAMPLING_TOLERANCE, nurbsTolerance_);
    gluNurbsProperty(renderer.get(), GLU_DISPLAY_MODE, GLU_FILL);
    std::vector<float> knotCopy = nurbsKnots_;
    std::vector<float> pointCopy = controlPoints;
    gluBeginCurve(renderer.get());
    gluNurbsCurve(renderer.get(), knots, knotCopy.data(), 3, pointCopy.data(), nurbsOrder_,
                  GL_MAP1_VERTEX_3);
    gluEndCurve(renderer.get());
}

void TGLLines::EmitGeometry(TRenderContextInfo& rci) {
    const int n = Nodes().Count();
    if (n < 2) {
        return;
    }
    SetupLineStyle();
    const bool nodeColors = options_.Contains(loUseNodeColorForLines);
    std::vector<float> positions, colors;
    std::vector<TColorVector> nodeColor(std::size_t(n), NodeColor().Color());
    for (int i = 0; i < n; ++i) {
        if (const TGLLinesNode* node = Nodes().LinesNode(i)) {
            nodeColor[i] = node->Color().Color();
        }
    }
    if (splineMode_ == lsmBezierSpline || splineMode_ == lsmNURBSCurve) {
        for (int i = 0; i < n; ++i) {
            const TGLNode& node = Nodes()[i];
            positions.insert(positions.end(), {node.X(), node.Y(), node.Z()});
            colors.insert(colors.end(),
                          {nodeColor[i].x, nodeColor[i].y, nodeColor[i].z, nodeColor[i].w});
        }
    }
    if (splineMode_ == lsmBezierSpline) {
        glPushAttrib(GL_EVAL_BIT);
        glEnable(GL_MAP1_VERTEX_3);
        glEnable(GL_MAP1_COLOR_4);
        glMap1f(GL_MAP1_VERTEX_3, 0, 1, 3, n, positions.data());
        glMap1f(GL_MAP1_COLOR_4, 0, 1, 4, n, colors.data());
    }
    if (splineMode_ == lsmNURBSCurve && division_ >= 2) {
        DrawNURBS(positions);
    } else {
        glBegin(splineMode_ == lsmSegments ? GL_LINES : GL_LINE_STRIP);
        if (division_ > 1 && splineMode_ == lsmCubicSpline) {
            std::vector<float> x(n), y(n), z(n);
            for (int i = 0; i < n; ++i) {
                x[i] = Nodes()[i].X();
                y[i] = Nodes()[i].Y();
                z[i] = Nodes()[i].Z();
            }
            TCubicSpline spline(x.data(), y.data(), z.data(), nullptr, n);
            for (int i = 0; i <= (n - 1) * division_; ++i) {
                if (nodeColors) {
                    const int k = i / division_;
                    TColorVector c =
                        k < n - 1 ? VectorCombine(nodeColor[k], nodeColor[k + 1],
                                                  1 - float(i % division_) / float(division_),
                                                  float(i % division_) / float(division_))
                                  : nodeColor[n - 1];
                    glColor4fv(&c.x);
                }
                const TAffineVector p = spline.SplineAffineVector(float(i) / float(division_));
                glVertex3f(p.x, p.y, p.z);
            }
        } else if (division_ > 1 && splineMode_ == lsmBezierSpline) {
            for (int i = 0; i <= division_; ++i) {
                glEvalCoord1f(float(i) / float(division_));
            }
        } else {
            for (int i = 0; i < n; ++i) {
                if (nodeColors) {
                    glColor4fv(&nodeColor[i].x);
                }
                const TGLNode& node = Nodes()[i];
                glVertex3f(node.X(), node.Y(), node.Z());
            }
        }
        glEnd();
    }
    if (splineMode_ == lsmBezierSpline) {
        glPopAttrib();
    }
    glPopAttrib();
    if (NodesAspect() != lnaInvisible) {
        DrawNodes(rci);
    }
}

} // namespace hk
