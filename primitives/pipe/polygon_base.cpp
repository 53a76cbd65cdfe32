// Node chain, division and spline mode of pipes and polygons.
#include "primitives/pipe/polygon_base.h"

#include "primitives/shapes/assign_scene_object.h"

namespace hk {

TGLPolygonBase::TGLPolygonBase() : TGLPolygonBase(nullptr) {}

TGLPolygonBase::TGLPolygonBase(std::unique_ptr<TGLNodes> nodes) : nodes_(std::move(nodes)) {
    if (!nodes_) {
        nodes_ = std::make_unique<TGLNodes>(this);
    }
}

TGLNode* TGLPolygonBase::NewNode() {
    return nodes_->Add(std::make_unique<TGLNode>());
}

void TGLPolygonBase::CopyNodeExtras(const TGLNode&, TGLNode&) {}

void TGLPolygonBase::SetNodes(const TGLNodes& source) {
    if (&source == nodes_.get()) {
        return;
    }
    BeginUpdate();
    nodes_->Clear();
    for (int i = 0; i < source.Count(); ++i) {
        const TGLNode& from = source[i];
        TGLNode* to = NewNode();
        to->SetAsVector(from.AsVector());
        CopyNodeExtras(from, *to);
    }
    StructureChanged();
    EndUpdate();
}

void TGLPolygonBase::SetDivision(int value) {
    if (value < 1) {
        value = 1;
    }
    if (value != division_) {
        division_ = value;
        StructureChanged();
    }
}

void TGLPolygonBase::SetSplineMode(TLineSplineMode value) {
    if (value != splineMode_) {
        splineMode_ = value;
        StructureChanged();
    }
}

void TGLPolygonBase::AddNode(float x, float y, float z) {
    NewNode()->SetAsVector({x, y, z, 1});
    StructureChanged();
}

void TGLPolygonBase::Assign(const TGLBaseSceneObject& source) {
    if (auto* src = dynamic_cast<const TGLPolygonBase*>(&source)) {
        SetNodes(src->Nodes());
        SetDivision(src->division_);
        SetSplineMode(src->splineMode_);
    }
    AssignSceneObject(*this, source);
}

} // namespace hk
