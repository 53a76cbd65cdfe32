// TCollisionManager: the list of collision behaviours registered with it and the pass that
// reports every colliding pair among them; ManagerRegistry, the process-wide list of live
// managers by which a streamed behaviour finds its manager again.
#pragma once

#include "collision/bounding_mode.h"
#include "engine/component.h"
#include "engine/vector_types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hk {

class TGLBCollision;
class TGLBaseSceneObject;

// Called for each colliding pair: the manager, then the two objects in pass order.
using TObjectCollisionEvent = std::function<void(TGLComponent* sender, TGLBaseSceneObject* object1,
                                                 TGLBaseSceneObject* object2)>;

// One client within one pass: the behaviour and its world box. Owns nothing.
struct TCollisionNode {
    TCollisionNode(TGLBCollision* client, const TAABB& box) : Client(client), Box(box) {}
    TGLBCollision* Client;
    TAABB Box;
};

class TCollisionManager : public TGLComponent {
public:
    // Registers itself in ManagerRegistry (and the behaviour class with the stream registry).
    TCollisionManager();
    // Leaves every client unregistered, then leaves the registry.
    ~TCollisionManager() override;

    TObjectCollisionEvent OnCollision;
    // Called at the end of PreparePass with the number of clients, so that the handler can give
    // its own per-pass buffers room at the build too.
    std::function<void(std::size_t clients)> OnPreparePass;

    // Ignores none and a client already listed; otherwise appends it and sets its Manager.
    void AttachClient(TGLBCollision* client);
    // Ignores none; otherwise clears the client's Manager and removes it from the list. The
    // others keep their order. Costs the same however many clients there are, so that a scene
    // of tens of thousands of collidable objects is freed in linear time.
    void DetachClient(TGLBCollision* client);
    // Clears Manager on every client in list order, then empties the list.
    void DetachAllClients();
    int ClientCount() const { return int(clients_.size() - holes_); }
    TGLBCollision* Client(int index) const;

    // One pass over the clients, reporting each colliding pair through OnCollision:
    // - nothing at all without a handler;
    // - left out: clients with a negative group, without an owner object, with a bounding
    //   mode outside the five modes, whose hierarchy box has no thickness along the object's
    //   own z axis, or whose world box is not finite (NaN or infinite);
    // - the world boxes are sorted by minimum z; pair (A, B) with A sorted first is tested when
    //   B's minimum z is not above A's maximum z, the boxes overlap in x and y (touching
    //   counts) and the two are not members of one non-zero group; the pair test comes from
    //   ShapePairTestTable[A's mode][B's mode] with A's object first;
    // - events come in sort order of the first object, then of the second.
    // Everything the tests read of an object (matrices, extents, scale, boxes) is taken once
    // per pass, before the sweep, so a handler that moves objects affects the next pass only.
    // The pass keeps a record of the last complete pass: a pair of clients that read bit for
    // bit as recorded gets its recorded result without being tested again (never a mesh in
    // faces mode), so a still drawing costs little more than the reading; when no scene object
    // has changed at all since (SceneEditCount), not even that. Clients compare by
    // position in the list and what they read, so after a reload the objects that read as
    // their predecessors keep their results too.
    // The handler must not attach, detach or destroy clients; if it does, the pass stops at
    // once so that no destroyed client is touched.
    void TestAllPairs();
    // Gives the pass's buffers room for the clients attached now and writes them once, and has
    // the clients' objects compute their world matrices, so that the first pass after a build
    // does not pay for fresh memory. Call it once a build has attached and placed its clients.
    void PreparePass();
    // Whether the last pass ran to its end reporting the pass before it again: the same clients
    // (objects, modes, groups, list unchanged since) read bit for bit the same, so its events
    // were the same pairs in the same order.
    bool LastPassRepeated() const { return lastPassRepeated_; }
    // Counts the calls of TestAllPairs, so that a caller can tell no other pass ran since its own.
    std::uint64_t PassCount() const { return passCount_; }
    // While OnCollision runs: the bounding modes of the two clients the pass tested the
    // reported pair with, the first object's first. A handler reads them here instead of
    // looking the objects' behaviours up, which costs a few cache misses per object.
    const std::array<TCollisionBoundingMode, 2>& ReportedModes() const { return reportedModes_; }

private:
    friend class TGLBCollision;
    // Closes the holes that detached clients left, keeping the order of the others.
    void Compact() const;
    struct TPassScratch;
    // Reads the collidable clients into the pass's nodes, entries and shapes. With `quick`,
    // builds nothing while they read as recorded and returns true when all of them did.
    bool ReadClients(TPassScratch& pass, bool quick) const;

    // In attach order; a detached client leaves a null hole until the next compaction. Each
    // client knows its position.
    mutable std::vector<TGLBCollision*> clients_;
    mutable std::size_t holes_ = 0;
    // The buffers of the pass, kept between passes for their capacity, and the record of the
    // last complete pass.
    std::unique_ptr<TPassScratch> scratch_;
    // Counts list changes, so that a pass notices a handler changing the list under it.
    unsigned generation_ = 0;
    // The list's generation when the last complete pass ended, and whether that pass repeated
    // the one before.
    unsigned passGeneration_ = 0;
    // SceneEditCount when the last complete pass began to read the clients.
    std::uint64_t passEdits_ = 0;
    bool lastPassRepeated_ = false;
    std::uint64_t passCount_ = 0;
    std::array<TCollisionBoundingMode, 2> reportedModes_{};
};

// The live managers, in construction order; created with the first registration.
class ManagerRegistry {
public:
    // No duplicate entries; none is ignored.
    static void Register(TCollisionManager* manager);
    static void Unregister(TCollisionManager* manager);
    // The first listed manager that is a T and whose component name equals `name` exactly.
    template <class T> static T* Find(const std::string& name) {
        for (TCollisionManager* m : Managers()) {
            if (auto* t = dynamic_cast<T*>(m); t && t->Name() == name) {
                return t;
            }
        }
        return nullptr;
    }
    static const std::vector<TCollisionManager*>& Managers();

private:
    static std::vector<TCollisionManager*>& List();
};

} // namespace hk
