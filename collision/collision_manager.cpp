// Client registration, the manager registry and the collision pass.
#include "collision/collision_manager.h"

#include "collision/box_geometry.h"
#include "collision/broad_phase.h"
#include "collision/collision_behaviour.h"
#include "collision/octree.h"
#include "collision/pair_tests.h"
#include "engine/scene_object.h"

#include <algorithm>
#include <iterator>

namespace hk {

namespace {

// A client of the pass with what its pair tests need, in sort order.
struct TPassEntry {
    TPairShape shape;
    TCollisionBoundingMode mode;
    std::int32_t group;
};

} // namespace

TCollisionManager::TCollisionManager() {
    RegisterCollisionBehaviour();
    SetMeshOctreeFactory([] { return std::make_unique<TOctree>(); });
    ManagerRegistry::Register(this);
}

TCollisionManager::~TCollisionManager() {
    NotifyFreeing();
    DetachAllClients();
    ManagerRegistry::Unregister(this);
}

TGLBCollision* TCollisionManager::Client(int index) const {
    if (index < 0 || index >= ClientCount()) {
        return nullptr;
    }
    return clients_[std::size_t(index)];
}

void TCollisionManager::AttachClient(TGLBCollision* client) {
    // A listed client always points back here, so this spares a search of the list.
    if (!client || client->manager_ == this) {
        return;
    }
    // A client belongs to one manager only.
    if (client->manager_ && client->manager_ != this) {
        client->manager_->DetachClient(client);
    }
    clients_.push_back(client);
    client->manager_ = this;
    ++generation_;
}

void TCollisionManager::DetachClient(TGLBCollision* client) {
    if (!client) {
        return;
    }
    if (client->manager_ != this) {
        return;
    }
    // Searched from the back: scenes tend to free their objects in reverse order of creation.
    auto it = std::find(clients_.rbegin(), clients_.rend(), client);
    if (it != clients_.rend()) {
        clients_.erase(std::next(it).base());
        ++generation_;
    }
    client->manager_ = nullptr;
}

void TCollisionManager::DetachAllClients() {
    for (TGLBCollision* c : clients_) {
        c->manager_ = nullptr;
    }
    clients_.clear();
    ++generation_;
}

void TCollisionManager::TestAllPairs() {
    if (!OnCollision) {
        return;
    }
    // Nodes and what the pair tests read of each object, taken once, in client order.
    std::vector<TCollisionNode> nodes;
    std::vector<TPassEntry> entries;
    nodes.reserve(clients_.size());
    entries.reserve(clients_.size());
    for (TGLBCollision* client : clients_) {
        if (client->GroupIndex() < 0 || !IsValidBoundingMode(client->BoundingMode())) {
            continue;
        }
        TGLBaseSceneObject* object = client->OwnerBaseSceneObject();
        if (!object) {
            continue;
        }
        TAABB local = CollisionHierarchyBox(*object);
        if (!(local.min.z < local.max.z)) {
            continue;
        }
        TAABB world = BoxTransform(local, object->WorldMatrix());
        if (!IsUsableBox(world)) {
            continue;
        }
        nodes.emplace_back(client, world);
        entries.push_back(
            {PairShapeOf(*object, local), client->BoundingMode(), client->GroupIndex()});
    }
    if (nodes.size() < 2) {
        return;
    }
    // The sort by minimum z, on an index order; the entries follow it once.
    std::vector<int> order(nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = int(i);
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return nodes[std::size_t(a)].Box.min.z < nodes[std::size_t(b)].Box.min.z;
    });
    std::vector<TAABB> boxes;
    std::vector<TPassEntry> sorted;
    boxes.reserve(nodes.size());
    sorted.reserve(nodes.size());
    for (int i : order) {
        boxes.push_back(nodes[std::size_t(i)].Box);
        sorted.push_back(entries[std::size_t(i)]);
    }
    TBoxPairFinder finder;
    finder.Find(boxes);
    const unsigned generation = generation_;
    for (const TBoxPairFinder::TPair& p : finder.Pairs()) {
        TPassEntry& a = sorted[std::size_t(p.first)];
        TPassEntry& b = sorted[std::size_t(p.second)];
        if (a.group != 0 && a.group == b.group) {
            continue;
        }
        if (ShapePairTestTable[a.mode][b.mode](a.shape, b.shape)) {
            OnCollision(this, a.shape.object, b.shape.object);
            if (generation_ != generation) {
                return;
            }
        }
    }
}

void ManagerRegistry::Register(TCollisionManager* manager) {
    auto& list = List();
    if (manager && std::find(list.begin(), list.end(), manager) == list.end()) {
        list.push_back(manager);
    }
}

void ManagerRegistry::Unregister(TCollisionManager* manager) {
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), manager), list.end());
}

const std::vector<TCollisionManager*>& ManagerRegistry::Managers() {
    return List();
}

std::vector<TCollisionManager*>& ManagerRegistry::List() {
    static std::vector<TCollisionManager*> list;
    return list;
}

} // namespace hk
