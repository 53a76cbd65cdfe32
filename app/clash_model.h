// TClashModel: the clashes of the last collision pass, each naming both items, its place in
// data-file coordinates, an identity that survives edits of the file and its status against
// the baseline (the clashes of the last pass before the most recent reload). The collision
// cycle feeds it pair by pair; the clash list, the batch mode and the reports read its rows.
#pragma once

#include "app/clash_items.h"
#include "app/clash_judge.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace hk {

class TCollisionManager;
class TGLBaseSceneObject;

enum class TClashStatus : std::uint8_t {
    csNew,      // not in the baseline (every clash before the first reload)
    csActive,   // in the baseline and still there
    csResolved, // in the baseline, gone now; listed until the next reload
};

// "new", "active", "resolved".
std::string_view ClashStatusName(TClashStatus status);

// One clash: the pair (a = object1, b = object2 of the pass) and what is derived from it.
// A plain record, compared field by field: fields added later take part in the change test.
struct TClash {
    TClashItem a, b;
    // Centre of the intersection of the two objects' drawing boxes (object_box.h), in
    // data-file units; between the boxes on an axis where they do not meet.
    std::array<double, 3> point{};
    // The unordered pair of the two item identities.
    std::uint64_t identity = 0;
    TClashStatus status = TClashStatus::csNew;
    // The judgement on the true solids (clash_judge.h): the type, the signed distance (gap, or
    // minus the depth) in data-file units and the closest points of a and b in data-file
    // coordinates.
    TClashType type = TClashType::Apart;
    double distance = 0;
    std::array<double, 3> nearA{}, nearB{};

    bool operator==(const TClash&) const = default;
};

// The identity of the clash between two items, whichever comes first.
std::uint64_t ClashIdentity(std::uint64_t itemA, std::uint64_t itemB);

class TClashModel {
public:
    // After every scene build (load, reload or a change of shown groups): indexes the items
    // of doc and takes its load scale and scene offset. The next pass recomputes every row.
    void IndexItems(const TDocument& doc);

    // Before a reload: the current clashes of the last pass become the baseline; the next
    // pass gives statuses against it. Resolved rows of the old baseline are dropped.
    void TakeBaseline();

    // One pass: BeginPass, AddPair for each reported pair in pass order, EndPass. The objects
    // must stay alive until EndPass. A pass reporting the same pairs as the one before after
    // no build leaves the rows and the change counter alone.
    void BeginPass();
    void AddPair(TGLBaseSceneObject& object1, TGLBaseSceneObject& object2);
    void EndPass();

    // The current clashes in pass order, then the resolved ones in baseline order.
    const std::vector<TClash>& Rows() const { return rows_; }
    // Rises whenever Rows() changes in any field; views refresh only when it moved.
    unsigned Changes() const { return changes_; }
    // The rows that are not resolved.
    int CurrentCount() const { return currentCount_; }

    // Tolerance, clearance and joint rule of the judgement; a change judges every row again at
    // the next EndPass.
    const TClashSettings& ClashSettings() const { return judge_.Settings(); }
    void SetClashSettings(const TClashSettings& settings);
    // Between passes, after a change of settings: judges the last pass's pairs again as the
    // next pass would. After a build it waits for that pass (the pairs' objects are gone).
    void Rejudge();
    // The manager whose clients the clearance check searches for pairs the pass does not
    // report; with none (or a clearance of 0) the rows are the pass's pairs only. The clearance
    // pairs follow the pass's pairs among the current rows.
    void SetClearanceClients(const TCollisionManager* manager);

private:
    struct TPassPair {
        int tagA = 0, tagB = 0;
        TGLBaseSceneObject* a = nullptr;
        TGLBaseSceneObject* b = nullptr;
        bool operator==(const TPassPair& o) const { return tagA == o.tagA && tagB == o.tagB; }
    };

    TClashItem ItemOf(int tag) const;
    // Whether the baseline holds a clash of this identity; marks every such one as still there.
    bool MarkInBaseline(std::uint64_t identity);
    TClash MakeClash(const TPassPair& pair);

    TClashItemIndex index_;
    TClashJudge judge_;
    const TCollisionManager* clearanceClients_ = nullptr;
    int loadScale_ = 1;
    std::array<double, 3> sceneOffset_{};

    std::vector<TPassPair> pass_;     // the pass being reported
    std::vector<TPassPair> lastPass_; // the pairs behind rows_
    bool passSinceBuild_ = false;     // lastPass_ names objects of the current build
    bool stale_ = true;               // rows_ must be recomputed at the next EndPass

    std::vector<TClash> baseline_;
    // (identity, index in baseline_), sorted.
    std::vector<std::pair<std::uint64_t, int>> baselineIds_;
    std::vector<bool> stillThere_; // per baseline clash: met again by the pass being made

    std::vector<TClash> rows_;
    int currentCount_ = 0;
    unsigned changes_ = 0;
};

} // namespace hk
