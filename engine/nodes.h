// TGLNodes: the ordered points of lines and pipes. Every change to a node or to the list marks
// the owning object's structure changed.
#pragma once

#include "engine/vector_types.h"

#include <memory>
#include <vector>

namespace hk {

class TGLBaseSceneObject;
class TGLNodes;

// A point (x, y, z, w = 1). Kinds of object that need more per node (a pipe's radius
// factor) derive from it.
class TGLNode {
public:
    TGLNode() = default;
    TGLNode(const TGLNode&) = delete;
    TGLNode& operator=(const TGLNode&) = delete;
    virtual ~TGLNode() = default;

    float X() const { return coords_.x; }
    float Y() const { return coords_.y; }
    float Z() const { return coords_.z; }
    void SetX(float v);
    void SetY(float v);
    void SetZ(float v);
    const TVector& AsVector() const { return coords_; }
    TAffineVector AsAffineVector() const { return coords_.Affine(); }
    // w stays 1.
    void SetAsVector(const TVector& v);
    void SetAsAffineVector(const TAffineVector& v);
    TGLNodes* Collection() const { return collection_; }

protected:
    // Reports a change of this node to the owning object's structure.
    void Changed();

private:
    friend class TGLNodes;
    TVector coords_{0, 0, 0, 1};
    TGLNodes* collection_ = nullptr;
};

class TGLNodes {
public:
    // `owner` may be none (a free-standing list).
    explicit TGLNodes(TGLBaseSceneObject* owner) : owner_(owner) {}
    TGLNodes(const TGLNodes&) = delete;
    TGLNodes& operator=(const TGLNodes&) = delete;
    virtual ~TGLNodes() = default;

    TGLBaseSceneObject* Owner() const { return owner_; }
    int Count() const { return int(nodes_.size()); }
    // None when out of range.
    TGLNode* Items(int index) const;
    TGLNode& operator[](int index) const { return *nodes_.at(std::size_t(index)); }
    // Appends a node and sets its coordinates.
    TGLNode* AddNode(float x, float y, float z);
    TGLNode* AddNode(const TAffineVector& p) { return AddNode(p.x, p.y, p.z); }
    // Appends a node of a derived kind (e.g. a pipe node) and returns it.
    template <class N> N* Add(std::unique_ptr<N> node) {
        N* raw = node.get();
        Append(std::move(node));
        return raw;
    }
    void Delete(int index);
    void Clear();
    // The owner's structure is marked changed.
    void NotifyChange();

private:
    void Append(std::unique_ptr<TGLNode> node);

    TGLBaseSceneObject* owner_;
    std::vector<std::unique_ptr<TGLNode>> nodes_;
};

} // namespace hk
