// Node lists of lines and pipes.
#include "engine/nodes.h"

#include "engine/scene_object.h"

namespace hk {

void TGLNode::Changed() {
    if (collection_) {
        collection_->NotifyChange();
    }
}

void TGLNode::SetX(float v) {
    coords_.x = v;
    Changed();
}
void TGLNode::SetY(float v) {
    coords_.y = v;
    Changed();
}
void TGLNode::SetZ(float v) {
    coords_.z = v;
    Changed();
}

void TGLNode::SetAsVector(const TVector& v) {
    coords_ = {v.x, v.y, v.z, 1};
    Changed();
}

void TGLNode::SetAsAffineVector(const TAffineVector& v) {
    SetAsVector({v.x, v.y, v.z, 1});
}

TGLNode* TGLNodes::Items(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return nodes_[index].get();
}

void TGLNodes::Append(std::unique_ptr<TGLNode> node) {
    node->collection_ = this;
    nodes_.push_back(std::move(node));
    NotifyChange();
}

TGLNode* TGLNodes::AddNode(float x, float y, float z) {
    auto node = std::make_unique<TGLNode>();
    node->coords_ = {x, y, z, 1};
    TGLNode* raw = node.get();
    Append(std::move(node));
    return raw;
}

void TGLNodes::Delete(int index) {
    if (index >= 0 && index < Count()) {
        nodes_.erase(nodes_.begin() + index);
        NotifyChange();
    }
}

void TGLNodes::Clear() {
    if (!nodes_.empty()) {
        nodes_.clear();
        NotifyChange();
    }
}

void TGLNodes::NotifyChange() {
    if (owner_) {
        owner_->StructureChanged();
    }
}

} // namespace hk
