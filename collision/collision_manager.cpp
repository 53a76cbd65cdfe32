// Client registration, the manager registry and the collision pass.
#include "collision/collision_manager.h"

#include "collision/box_geometry.h"
#include "collision/box_pair_finder.h"
#include "collision/collision_behaviour.h"
#include "collision/octree.h"
#include "collision/overlap_witness.h"
#include "collision/pair_tests.h"
#include "collision/pass_replay.h"
#include "collision/z_sort.h"
#include "engine/memory_hints.h"
#include "engine/scene_object.h"
#include "engine/validate.h"

#include <algorithm>

namespace hk {

#if defined(HK_VALIDATE)
namespace {

bool SameEvents(const std::vector<TPassReplay::TClientPair>& a,
                const std::vector<TPassReplay::TClientPair>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.first == y.first && x.second == y.second;
    });
}

} // namespace
#endif

struct TCollisionManager::TPassScratch {
    // In client order, collidable clients only. The shapes are taken with the boxes, while
    // each object's data is being read anyway and in memory order.
    std::vector<TCollisionNode> nodes;
    std::vector<TPassEntry> entries;
    std::vector<TPairShape> shapes;
    TZSort zsort;
    // The world boxes in sort order.
    std::vector<TAABB> sortedBoxes;
    TBoxPairFinder finder;
    // FindAroundChanged's: each client's rank in the sort, the ranks of the changed ones and
    // the recorded events kept, as ranks.
    std::vector<int> rankOf, movedRanks;
    std::vector<TBoxPairFinder::TPair> kept;
    std::vector<TPassReplay::TClientPair> events;
    // Per shape, the frame of the box tests' witness, kept apart from the shapes so that a
    // pass that tests nothing does not carry them.
    std::vector<TWitnessFrame> frames;
    TPassReplay replay;

    void Clear() {
        nodes.clear();
        entries.clear();
        shapes.clear();
        events.clear();
    }
    // Room for every client and as many events as the last pass had, so that no pass grows
    // its buffers while it reads the objects (a no-op once they have that room). Room is
    // written as it is made, as PreparePass relies on.
    void Reserve(std::size_t clients) {
        Prewrite(nodes, clients, TCollisionNode(nullptr, TAABB{}));
        Prewrite(entries, clients);
        Prewrite(shapes, clients);
        Prewrite(events, replay.Events().size());
    }
    // Whether a pair is tested at all: two members of one non-zero group never are.
    bool Tested(int ia, int ib) const {
        const std::int32_t group = entries[std::size_t(ia)].group;
        return group == 0 || group != entries[std::size_t(ib)].group;
    }
    // A frame still to be looked up for every shape of this reading.
    void ClearFrames() { frames.assign(shapes.size(), TWitnessFrame{}); }
    // Points shape i at its frame. The shapes' pointers are set here, by the pass that uses
    // them: recorded shapes still point at the frames of the pass that recorded them.
    TPairShape& FramedShape(std::size_t i) {
        shapes[i].witness = &frames[i];
        return shapes[i];
    }
    // The exact test the two clients' modes pick, A first. After ClearFrames.
    bool ExactHit(int ia, int ib) {
        const auto a = std::size_t(ia), b = std::size_t(ib);
        return ShapePairTestTable[entries[a].mode][entries[b].mode](FramedShape(a), FramedShape(b));
    }
    // The candidates when few clients changed since an aligned record: the recorded events
    // between unchanged clients, and every overlapping pair with a changed client. The pairs
    // between unchanged clients that the record did not report are left out; they would only
    // be answered "no" from the record.
    void FindAroundChanged() {
        const std::vector<int>& order = zsort.Order();
        rankOf.resize(order.size());
        for (std::size_t r = 0; r < order.size(); ++r) {
            rankOf[std::size_t(order[r])] = int(r);
        }
        movedRanks.clear();
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (!replay.Unchanged(int(i))) {
                movedRanks.push_back(rankOf[i]);
            }
        }
        kept.clear();
        for (const TPassReplay::TClientPair& e : replay.Events()) {
            const int a = replay.CurrentIndex(e.first);
            const int b = replay.CurrentIndex(e.second);
            if (a >= 0 && b >= 0) {
                const auto [lo, hi] = std::minmax(rankOf[std::size_t(a)], rankOf[std::size_t(b)]);
                kept.push_back({lo, hi});
            }
        }
        finder.FindAround(sortedBoxes, movedRanks, kept);
    }
    void SortBoxes() {
        zsort.Sort(nodes);
        const std::vector<int>& order = zsort.Order();
        sortedBoxes.resize(order.size());
        for (std::size_t r = 0; r < order.size(); ++r) {
            sortedBoxes[r] = nodes[std::size_t(order[r])].Box;
        }
    }
#if defined(HK_VALIDATE)
    // The events of this reading computed afresh, nothing taken from the record.
    std::vector<TPassReplay::TClientPair> FreshEvents() {
        ClearFrames();
        SortBoxes();
        finder.Find(sortedBoxes);
        std::vector<TPassReplay::TClientPair> fresh;
        for (const TBoxPairFinder::TPair& p : finder.Pairs()) {
            const int ia = zsort.Order()[std::size_t(p.first)];
            const int ib = zsort.Order()[std::size_t(p.second)];
            if (Tested(ia, ib) && ExactHit(ia, ib)) {
                fresh.push_back({ia, ib});
            }
        }
        return fresh;
    }
#endif
};

TCollisionManager::TCollisionManager() {
    RegisterCollisionBehaviour();
    SetMeshOctreeFactory([] { return std::make_unique<TOctree>(); });
    ManagerRegistry::Register(this);
    scratch_ = std::make_unique<TPassScratch>();
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
    Compact();
    return clients_[std::size_t(index)];
}

void TCollisionManager::Compact() const {
    if (holes_ == 0) {
        return;
    }
    std::size_t kept = 0;
    for (TGLBCollision* c : clients_) {
        if (c) {
            c->clientSlot_ = kept;
            clients_[kept++] = c;
        }
    }
    clients_.resize(kept);
    holes_ = 0;
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
    client->clientSlot_ = clients_.size();
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
    clients_[client->clientSlot_] = nullptr;
    client->manager_ = nullptr;
    ++generation_;
    // Compacting once half the list is holes keeps the cost per detach constant.
    if (++holes_ * 2 > clients_.size()) {
        Compact();
    }
}

void TCollisionManager::DetachAllClients() {
    for (TGLBCollision* c : clients_) {
        if (c) {
            c->manager_ = nullptr;
        }
    }
    clients_.clear();
    holes_ = 0;
    ++generation_;
}

// Up to this many changed clients the candidates come from the record and a check of each
// changed client's box against every box. On 10,000 boxes that is at most 320,000 box checks,
// a fraction of what building the grid costs; an edit of a drawing moves one or two objects.
constexpr std::size_t cFewChangedClients = 32;

// Room for this many events per client: a dense floor reports about 1.6 pairs per solid.
constexpr std::size_t cEventsPerClientPrewritten = 2;

void TCollisionManager::PreparePass() {
    Compact();
    TPassScratch& pass = *scratch_;
    const std::size_t n = clients_.size();
    Prewrite(pass.nodes, n, TCollisionNode(nullptr, TAABB{}));
    Prewrite(pass.entries, n);
    Prewrite(pass.shapes, n);
    Prewrite(pass.sortedBoxes, n);
    pass.zsort.Prepare(n);
    pass.finder.Prepare(n);
    Prewrite(pass.events, cEventsPerClientPrewritten * n);
    Prewrite(pass.frames, n);
    // The objects' world matrices and their inverses, which the first pass would otherwise
    // compute, and whose blocks it would fault in, one object at a time.
    for (TGLBCollision* client : clients_) {
        if (TGLBaseSceneObject* object = client->OwnerBaseSceneObject()) {
            object->InverseWorldMatrix();
        }
    }
    if (OnPreparePass) {
        OnPreparePass(n);
    }
}

// How many clients ahead a comparing pass asks for the record's objects: enough to cover a
// trip to memory while the clients before are compared.
constexpr std::size_t cPrefetchAhead = 8;

// How many clients apart a full reading fetches the steps of the way to a client's object.
// The record cannot name the objects of a drawing just built, and in the window the frames
// drawn since the build have left them out of the caches: the client, its behaviour list, the
// object and its matrices are four trips to memory, each needing the one before.
constexpr std::size_t cChainStep = 4;

namespace {

// Starts the fetches for the clients a full reading at client `i` reaches in one to four steps.
void PrefetchClientChains(const std::vector<TGLBCollision*>& clients, std::size_t i) {
    const std::size_t n = clients.size();
    if (i + 4 * cChainStep < n) {
        PrefetchBlock(clients[i + 4 * cChainStep], 2 * cCacheLineBytes);
    }
    if (i + 3 * cChainStep < n) {
        if (const TXCollection* behaviours = clients[i + 3 * cChainStep]->Owner()) {
            PrefetchBlock(behaviours, sizeof(TGLBehaviours));
        }
    }
    if (i + 2 * cChainStep < n) {
        if (const TGLBaseSceneObject* object =
                clients[i + 2 * cChainStep]->OwnerBaseSceneObject()) {
            PrefetchBlock(object, sizeof(TGLBaseSceneObject));
        }
    }
    if (i + cChainStep < n) {
        if (const TGLBaseSceneObject* object = clients[i + cChainStep]->OwnerBaseSceneObject()) {
            object->PrefetchWorldMatrices();
        }
    }
}

} // namespace

bool TCollisionManager::ReadClients(TPassScratch& pass, bool quick) const {
    TPassReplay& replay = pass.replay;
    pass.Clear();
    pass.Reserve(clients_.size());
    // Clients read as recorded so far, while `quick`.
    std::size_t same = 0;
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        TGLBCollision* client = clients_[i];
        if (!quick) {
            PrefetchClientChains(clients_, i);
        }
        if (client->GroupIndex() < 0 || !IsValidBoundingMode(client->BoundingMode())) {
            continue;
        }
        TGLBaseSceneObject* object = client->OwnerBaseSceneObject();
        if (!object) {
            continue;
        }
        const TVector extents = object->UnscaledBoxExtents();
        TAABB local = CollisionHierarchyBox(*object, extents);
        if (!(local.min.z < local.max.z)) {
            continue;
        }
        const TPassEntry entry{client, object, client->BoundingMode(), client->GroupIndex()};
        if (quick) {
            replay.Prefetch(same + cPrefetchAhead);
            replay.PrefetchMatrices(same + cPrefetchAhead / 2);
            if (replay.ReadsAsRecorded(same, entry, local, extents)) {
                ++same;
                continue;
            }
            replay.TakeRecorded(same, pass.nodes, pass.entries, pass.shapes);
            quick = false;
        }
        TAABB world = BoxTransform(local, object->WorldMatrix());
        if (!IsUsableBox(world)) {
            continue;
        }
        pass.nodes.emplace_back(client, world);
        pass.entries.push_back(entry);
        pass.shapes.push_back(PairShapeOf(*object, local));
    }
    if (quick && same == replay.RecordedCount()) {
        return true;
    }
    if (quick) {
        replay.TakeRecorded(same, pass.nodes, pass.entries, pass.shapes);
    }
    return false;
}

// The pass reads every collidable client once, in client order: the world box for the broad
// phase and the shape for the pair tests, so that no test walks the scene again and a handler
// that moves objects changes only the next pass. While the clients read as the record of the
// last complete pass has them, nothing is built: a drawing that stands still is only compared
// with the record, and the recorded events are the answer, reported again without a single
// test. The first client that reads otherwise takes the record's reading of the clients before
// it, and the rest is read in full and compared with the record. The comparison is by what the
// clients read, not by which objects they are, so a reload that builds the drawing anew keeps
// the results of every pair whose two objects read as their predecessors did. The world boxes are
// then sorted by minimum z, the broad phase yields the candidate pairs in sweep order, the group
// rule drops pairs within one group, and each remaining pair takes its recorded answer when
// both clients read as recorded, or else runs the test its two modes pick. Only a pass that
// ran to its end is recorded; one stopped by a handler that changed the client list forgets
// the record.
void TCollisionManager::TestAllPairs() {
    ++passCount_;
    lastPassRepeated_ = false;
    if (!OnCollision) {
        return;
    }
    // A pass that stops early, or finds no pair to test, repeats nothing.
    const bool listKept = passGeneration_ == generation_;
    TPassScratch& pass = *scratch_;
    TPassReplay& replay = pass.replay;
    Compact();
    // With no object changed anywhere since the recorded pass began, every client reads as
    // recorded, and the reading is skipped. After the list changed (a reload replaces every
    // client) the clients seldom read as recorded, and comparing before reading would only add
    // to the pass.
    const std::uint64_t edits = SceneEditCount();
    const bool compare = listKept && replay.RecordedCount() >= 2;
    const bool repeated =
        (compare && edits == passEdits_ && replay.Replayable()) || ReadClients(pass, compare);
#if defined(HK_VALIDATE)
    if (repeated) {
        ReadClients(pass, false);
        replay.Compare(pass.entries, pass.shapes);
        HK_VALIDATE_CHECK(replay.NothingChanged(), "a pass read as recorded compares unchanged");
        HK_VALIDATE_CHECK(SameEvents(pass.FreshEvents(), replay.Events()),
                          "a replayed pass reports what a fresh pass would");
    }
#endif
    if (!repeated && pass.nodes.size() < 2) {
        replay.Forget();
        return;
    }
    const unsigned generation = generation_;
    if (!repeated) {
        replay.Compare(pass.entries, pass.shapes);
    }
    if (repeated || replay.NothingChanged()) {
        HK_VALIDATE_CHECK(repeated || SameEvents(pass.FreshEvents(), replay.Events()),
                          "a replayed pass reports what a fresh pass would");
        if (!repeated) {
            // After a reload the objects are new ones that read as the old ones did.
            replay.Adopt(pass.entries, pass.shapes);
        }
        for (const TPassReplay::TClientPair& e : replay.Events()) {
            reportedModes_ = {replay.EntryMode(e.first), replay.EntryMode(e.second)};
            OnCollision(this, replay.EntryObject(e.first), replay.EntryObject(e.second));
            if (generation_ != generation) {
                return;
            }
        }
        lastPassRepeated_ = listKept;
        passGeneration_ = generation_;
        passEdits_ = edits;
        return;
    }
    const bool reuse = replay.Aligned();
    pass.SortBoxes();
    if (reuse && replay.ChangedCount() <= cFewChangedClients) {
        pass.FindAroundChanged();
    } else {
        pass.finder.Find(pass.sortedBoxes);
    }
    pass.ClearFrames();
    if (!reuse || replay.ChangedCount() > cFewChangedClients) {
        // Most pairs are about to be tested. The shapes were just written, in client order;
        // the tests meet them in sweep order, scattered.
        for (std::size_t i = 0; i < pass.shapes.size(); ++i) {
            LookUpWitnessFrame(pass.FramedShape(i));
        }
    }
    const std::vector<int>& order = pass.zsort.Order();
    for (const TBoxPairFinder::TPair& p : pass.finder.Pairs()) {
        const int ia = order[std::size_t(p.first)];
        const int ib = order[std::size_t(p.second)];
        if (!pass.Tested(ia, ib)) {
            continue;
        }
        bool hit;
        if (reuse && replay.Unchanged(ia) && replay.Unchanged(ib)) {
            hit = replay.WasReported(ia, ib);
            HK_VALIDATE_CHECK(hit == pass.ExactHit(ia, ib), "a replayed answer is the pair test's");
        } else {
            hit = pass.ExactHit(ia, ib);
        }
        if (hit) {
            pass.events.push_back({ia, ib});
            reportedModes_ = {pass.entries[std::size_t(ia)].mode,
                              pass.entries[std::size_t(ib)].mode};
            OnCollision(this, pass.entries[std::size_t(ia)].object,
                        pass.entries[std::size_t(ib)].object);
            if (generation_ != generation) {
                replay.Forget();
                return;
            }
        }
    }
    HK_VALIDATE_CHECK(SameEvents(pass.FreshEvents(), pass.events),
                      "a computed pass reports what a fresh pass would");
    replay.Record(pass.entries, pass.shapes, pass.events);
    passGeneration_ = generation_;
    passEdits_ = edits;
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
