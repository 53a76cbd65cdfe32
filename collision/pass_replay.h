// The record of the last complete collision pass: what it read of every collidable client and
// the pairs it reported. The pair tests are pure functions of what the pass reads, so a pair
// of clients whose reading is bit for bit the recorded one has the recorded result: a pass
// over a drawing that stands still reports the recorded events again without a single test,
// and a pass after one object moved tests only the pairs that object takes part in. Drawings
// stand still between edits, and the pass runs ten times a second over them. The readings
// compare by what they hold, not by which objects they came from: a reload builds new objects,
// and those that read as their predecessors did keep their predecessors' results.
#pragma once

#include "collision/bounding_mode.h"
#include "collision/collision_manager.h"
#include "collision/pair_tests.h"

#include <cstdint>
#include <vector>

namespace hk {

class TGLBaseSceneObject;

// What the pass reads of a collidable client besides its world box and its shape.
struct TPassEntry {
    TGLBCollision* client;
    TGLBaseSceneObject* object;
    TCollisionBoundingMode mode;
    std::int32_t group;
};

class TPassReplay {
public:
    // A reported pair as indices into the pass's clients (collidable ones, in client order).
    struct TClientPair {
        int first, second;
    };

    // Whether client number `k` of this pass (counting those with a usable local box, in client
    // order) reads exactly as the record's client `k`: same client, object, mode and group,
    // same local box and extents (the object's UnscaledBoxExtents) and the same bits in
    // everything else PairShapeOf takes from the object. When every client does and their
    // count is the record's, the pass would read the record's nodes, entries and shapes
    // again, and the reading need not be built. A mesh in faces mode never reads as recorded
    // (see Unchanged).
    bool ReadsAsRecorded(std::size_t k, const TPassEntry& entry, const TAABB& local,
                         const TVector& extents) const;
    std::size_t RecordedCount() const { return valid_ ? entries_.size() : 0; }
    // No recorded client is a mesh in faces mode: a pass that reads every client as recorded
    // then reports the recorded events.
    bool Replayable() const { return valid_ && meshesInFacesMode_ == 0; }
    // Starts fetching the record's client `k` and its object into the caches, so that a pass
    // comparing client after client does not wait for each in turn: in the window the frames
    // drawn between two passes leave the objects out of the caches.
    void Prefetch(std::size_t k) const;
    // Starts fetching the matrices of the record's object `k`, whose own memory a Prefetch
    // some clients earlier has brought near. Only while every client since the record has
    // read as recorded: the object is then alive.
    void PrefetchMatrices(std::size_t k) const;
    // Appends the record's first `count` entries and shapes, and their nodes with the world
    // boxes computed again: what a pass whose first `count` clients read as recorded would
    // have built for them. The octree lookups are not carried over.
    void TakeRecorded(std::size_t count, std::vector<TCollisionNode>& nodes,
                      std::vector<TPassEntry>& entries, std::vector<TPairShape>& shapes) const;
    // Compares a pass's reading (collidable clients in client order) with the record and aligns
    // the two: with as many clients as recorded, client i with the record's client i; with
    // another count, the longest runs of leading and of trailing clients that read as recorded,
    // as when rows are added or removed in the middle of a drawing. Call it before the pass's
    // tests, which mark the shapes whose octree they looked up.
    void Compare(const std::vector<TPassEntry>& entries, const std::vector<TPairShape>& shapes);
    // After Compare: there was a record to compare with, and the pass can take its answers.
    bool Aligned() const { return valid_; }
    // With Aligned: as many clients as recorded, each reading as recorded.
    bool NothingChanged() const {
        return valid_ && changed_.size() == entries_.size() && changedCount_ == 0;
    }
    // With Aligned: client i reads as the record's client aligned with it, with the same mode
    // and group. The objects may be others: a reload builds the drawing anew, and the tests
    // read nothing of an object but its shape. A mesh in faces mode never reads as recorded:
    // its tests read the mesh's triangles, which can change under equal extents.
    bool Unchanged(int i) const { return !changed_[std::size_t(i)]; }
    // With Aligned: how many clients are not Unchanged.
    std::size_t ChangedCount() const { return changedCount_; }
    // With Aligned: the unchanged client aligned with the record's client `k`, or -1.
    int CurrentIndex(int k) const;
    // With Aligned and both clients unchanged: whether the recorded pass reported them.
    bool WasReported(int first, int second) const;
    const std::vector<TClientPair>& Events() const { return events_; }
    // The object of the record's client `i`.
    TGLBaseSceneObject* EntryObject(int i) const { return entries_[std::size_t(i)].object; }
    TCollisionBoundingMode EntryMode(int i) const { return entries_[std::size_t(i)].mode; }

    // With NothingChanged: takes this pass's entries and shapes as the record's by swapping, so
    // that the recorded events name this pass's objects; the events stay.
    void Adopt(std::vector<TPassEntry>& entries, std::vector<TPairShape>& shapes);
    // Records a complete pass, taking the vectors' contents by swapping (the arguments are left
    // with the previous record's, to be reused as buffers).
    void Record(std::vector<TPassEntry>& entries, std::vector<TPairShape>& shapes,
                std::vector<TClientPair>& events);
    // No pass recorded: the next one is computed in full.
    void Forget();

private:
    // Counts the record's meshes in faces mode.
    void CountMeshesInFacesMode();
    // The record's client aligned with the pass's unchanged client i.
    std::size_t RecordedIndex(int i) const;

    bool valid_ = false;
    std::size_t meshesInFacesMode_ = 0;
    std::size_t changedCount_ = 0;
    // The aligned runs: the first head_ clients pair up with the record's first, the last
    // tail_ with its last. With equal counts head_ covers all.
    std::size_t head_ = 0, tail_ = 0;
    // Per client of the pass compared last, whether it reads otherwise than its aligned record
    // client (or has none).
    std::vector<unsigned char> changed_;
    std::vector<TPassEntry> entries_;
    std::vector<TPairShape> shapes_;
    std::vector<TClientPair> events_;
    // The recorded partners of each first client: partners_[partnerStart_[i] ...].
    std::vector<int> partnerStart_, partners_, partnerFill_;
};

} // namespace hk
