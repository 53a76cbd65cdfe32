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
    TGLBaseSceneObject* object;
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
    std::vector<TCollisionNode> nodes;
    nodes.reserve(clients_.size());
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
    }
    if (nodes.size() < 2) {
        return;
    }
    std::sort(nodes.begin(), nodes.end(), [](const TCollisionNode& a, const TCollisionNode& b) {
        return a.Box.min.z < b.Box.min.z;
    });
    std::vector<TAABB> boxes;
    std::vector<TPassEntry> entries;
    boxes.reserve(nodes.size());
    entries.reserve(nodes.size());
    for (const TCollisionNode& n : nodes) {
        boxes.push_back(n.Box);
        entries.push_back(
            {n.Client->OwnerBaseSceneObject(), n.Client->BoundingMode(), n.Client->GroupIndex()});
    }
    TBoxPairFinder finder;
    finder.Find(boxes);
    const unsigned generation = generation_;
    for (const TBoxPairFinder::TPair& p : finder.Pairs()) {
        const TPassEntry& a = entries[std::size_t(p.first)];
        const TPassEntry& b = entries[std::size_t(p.second)];
        if (a.group != 0 && a.group == b.group) {
            continue;
        }
        if (PairTestTable[a.mode][b.mode](*a.object, *b.object)) {
            OnCollision(this, a.object, b.object);
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
