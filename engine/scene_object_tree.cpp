// TGLBaseSceneObject: the tree. Children are owned by their parent; inserting, removing and
// moving keep the scene, its lights and its camera links consistent.
#include "engine/scene_object.h"

#include "engine/scene.h"

#include <algorithm>

namespace hk {

TGLBaseSceneObject* TGLBaseSceneObject::Children(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return children_[index].get();
}

int TGLBaseSceneObject::Index() const {
    if (parent_ == nullptr) {
        return -1;
    }
    for (int i = 0; i < parent_->Count(); ++i) {
        if (parent_->children_[i].get() == this) {
            return i;
        }
    }
    return -1;
}

bool TGLBaseSceneObject::HasSubChildren() const {
    for (const auto& c : children_) {
        if (c->Count() > 0) {
            return true;
        }
    }
    return false;
}

TGLBaseSceneObject* TGLBaseSceneObject::AppendChild(std::unique_ptr<TGLBaseSceneObject> child) {
    return Insert(Count(), std::move(child));
}

TGLBaseSceneObject* TGLBaseSceneObject::Insert(int index,
                                               std::unique_ptr<TGLBaseSceneObject> child) {
    if (!child) {
        return nullptr;
    }
    TGLBaseSceneObject* raw = child.get();
    if (scene_ != nullptr) {
        raw->RegisterLightsOfSubtree(scene_);
    }
    index = std::clamp(index, 0, Count());
    children_.insert(children_.begin() + index, std::move(child));
    raw->parent_ = this;
    raw->SetSceneOfSubtree(scene_);
    NotifyTransformChanged();
    raw->NotifyTransformChanged();
    return raw;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::Detach(int index) {
    std::unique_ptr<TGLBaseSceneObject> out = std::move(children_[index]);
    children_.erase(children_.begin() + index);
    out->parent_ = nullptr;
    return out;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::RemoveChild(TGLBaseSceneObject* child,
                                                                    bool keepChildren) {
    int index = child ? child->Index() : -1;
    if (index < 0 || child->parent_ != this) {
        return nullptr;
    }
    if (scene_ != nullptr) {
        child->UnregisterLightsOfSubtree(scene_);
        scene_->ObjectDestroyed(child);
        if (!keepChildren) {
            // The scene's camera or rendering object may sit deeper in the removed subtree.
            child->ForgetSubtreeIn(scene_);
        }
    }
    std::unique_ptr<TGLBaseSceneObject> out = Detach(index);
    if (keepChildren) {
        BeginUpdate();
        while (out->Count() > 0) {
            AppendChild(out->Detach(0));
        }
        EndUpdate();
    } else {
        ReportChange();
    }
    // A detached object keeps no link into a scene that may go away before it does.
    out->SetSceneOfSubtree(nullptr);
    out->NotifyTransformChanged();
    return out;
}

void TGLBaseSceneObject::MoveTo(TGLBaseSceneObject* newParent) {
    if (newParent == nullptr || newParent == parent_) {
        return;
    }
    // Refuse to move an object under its own subtree.
    for (TGLBaseSceneObject* p = newParent; p != nullptr; p = p->parent_) {
        if (p == this) {
            return;
        }
    }
    if (parent_ == nullptr) {
        return; // the caller owns a parentless object and appends it itself
    }
    newParent->AppendChild(parent_->RemoveChild(this, false));
}

void TGLBaseSceneObject::FreeDescendantCameras() {
    for (int i = Count() - 1; i >= 0; --i) {
        TGLBaseSceneObject* child = children_[i].get();
        child->FreeDescendantCameras();
        if (child->IsCamera()) {
            std::unique_ptr<TGLBaseSceneObject> camera = RemoveChild(child, true);
        }
    }
}

void TGLBaseSceneObject::FreeChildren() {
    if (children_.empty()) {
        return;
    }
    FreeDescendantCameras();
    if (scene_ != nullptr) {
        for (auto& c : children_) {
            c->UnregisterLightsOfSubtree(scene_);
        }
    }
    std::vector<std::unique_ptr<TGLBaseSceneObject>> doomed;
    doomed.swap(children_);
    for (auto& c : doomed) {
        c->parent_ = nullptr;
        c.reset();
    }
    ReportChange();
}

void TGLBaseSceneObject::SetChildIndex(int index) {
    if (parent_ == nullptr) {
        return;
    }
    int current = Index();
    index = std::clamp(index, 0, parent_->Count() - 1);
    if (index == current) {
        return;
    }
    TGLScene* scene = scene_;
    if (scene) {
        scene->BeginUpdate();
    }
    auto& siblings = parent_->children_;
    std::unique_ptr<TGLBaseSceneObject> self = std::move(siblings[current]);
    siblings.erase(siblings.begin() + current);
    siblings.insert(siblings.begin() + index, std::move(self));
    parent_->ReportChange();
    if (scene) {
        scene->EndUpdate();
    }
}

void TGLBaseSceneObject::SetSceneOfSubtree(TGLScene* scene) {
    if (scene_ != scene) {
        if (scene_ != nullptr) {
            DestroyLists();
            changes_.Include(ocStructure);
        }
        scene_ = scene;
    }
    for (auto& c : children_) {
        c->SetSceneOfSubtree(scene);
    }
}

void TGLBaseSceneObject::ForgetSubtreeIn(TGLScene* scene) {
    for (auto& c : children_) {
        scene->ObjectDestroyed(c.get());
        c->ForgetSubtreeIn(scene);
    }
}

void TGLBaseSceneObject::RegisterLightsOfSubtree(TGLScene* scene) {
    if (IsLightSource()) {
        scene->AddLight(this);
    }
    for (auto& c : children_) {
        c->RegisterLightsOfSubtree(scene);
    }
}

void TGLBaseSceneObject::UnregisterLightsOfSubtree(TGLScene* scene) {
    if (IsLightSource()) {
        scene->RemoveLight(this);
    }
    for (auto& c : children_) {
        c->UnregisterLightsOfSubtree(scene);
    }
}

} // namespace hk
