// The clash model: rows from the pairs of a pass, statuses against the baseline.
#include "app/clash_model.h"

#include "engine/scene_object.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace hk {
std::string_view ClashStatusName(TClashStatus status) {
    switch (status) {
    case TClashStatus::csNew:
        return "new";
    case TClashStatus::csActive:
        return "active";
    case TClashStatus::csResolved:
        return "resolved";
    }
    return {};
}

std::uint64_t ClashIdentity(std::uint64_t itemA, std::uint64_t itemB) {
    return MixIdentity(std::min(itemA, itemB), std::max(itemA, itemB));
}

void TClashModel::IndexItems(const TDocument& doc) {
    index_.Build(doc);
    judge_.Reset(doc);
    loadScale_ = doc.loadScale;
    sceneOffset_ = doc.sceneOffset;
    lastPass_.clear();
    passSinceBuild_ = false;
    stale_ = true;
}

void TClashModel::TakeBaseline() {
    baseline_.clear();
    for (const TClash& clash : rows_)
        if (clash.status != TClashStatus::csResolved)
            baseline_.push_back(clash);
    baselineIds_.clear();
    for (int i = 0; i < int(baseline_.size()); ++i)
        baselineIds_.emplace_back(baseline_[std::size_t(i)].identity, i);
    std::sort(baselineIds_.begin(), baselineIds_.end());
    stale_ = true;
}

bool TClashModel::MarkInBaseline(std::uint64_t identity) {
    auto it = std::lower_bound(baselineIds_.begin(), baselineIds_.end(),
                               std::pair<std::uint64_t, int>(identity, INT_MIN));
    const bool found = it != baselineIds_.end() && it->first == identity;
    for (; it != baselineIds_.end() && it->first == identity; ++it)
        stillThere_[std::size_t(it->second)] = true;
    return found;
}

void TClashModel::BeginPass() {
    pass_.clear();
}

void TClashModel::AddPair(TGLBaseSceneObject& object1, TGLBaseSceneObject& object2) {
    pass_.push_back({object1.Tag(), object2.Tag(), &object1, &object2});
}

TClashItem TClashModel::ItemOf(int tag) const {
    if (const TClashItem* item = index_.Find(tag))
        return *item;
    // An object that no table record built: known by its Tag only.
    TClashItem unknown;
    unknown.lineNo = tag;
    unknown.identity = MixIdentity(0, std::uint64_t(std::int64_t(tag)));
    return unknown;
}

void TClashModel::SetClashSettings(const TClashSettings& settings) {
    if (settings == judge_.Settings())
        return;
    judge_.SetSettings(settings);
    stale_ = true;
}

void TClashModel::Rejudge() {
    if (!passSinceBuild_ || !stale_)
        return;
    pass_ = lastPass_;
    EndPass();
}

void TClashModel::SetClearanceClients(const TCollisionManager* manager) {
    clearanceClients_ = manager;
    stale_ = true;
}

TClash TClashModel::MakeClash(const TPassPair& pair) {
    TClash clash;
    clash.a = ItemOf(pair.tagA);
    clash.b = ItemOf(pair.tagB);
    clash.identity = ClashIdentity(clash.a.identity, clash.b.identity);
    // Drawing boxes in the model root's space, which turning the rig or panning the model
    // does not change; the collision box of a tube is not where the tube is drawn.
    const TAABB& boxA = judge_.DrawingBox(*pair.a);
    const TAABB& boxB = judge_.DrawingBox(*pair.b);
    for (int k = 0; k < 3; ++k) {
        const double lo = std::max(boxA.min[k], boxB.min[k]);
        const double hi = std::min(boxA.max[k], boxB.max[k]);
        clash.point[std::size_t(k)] = (lo + hi) / 2 * loadScale_ + sceneOffset_[std::size_t(k)];
    }
    clash.status = MarkInBaseline(clash.identity) ? TClashStatus::csActive : TClashStatus::csNew;
    const TClashJudgement judgement = judge_.Judge(*pair.a, *pair.b);
    clash.type = judgement.type;
    clash.distance = judgement.distance;
    clash.nearA = {judgement.onFirst.x, judgement.onFirst.y, judgement.onFirst.z};
    clash.nearB = {judgement.onSecond.x, judgement.onSecond.y, judgement.onSecond.z};
    return clash;
}

void TClashModel::EndPass() {
    if (!stale_ && pass_ == lastPass_)
        return;
    std::vector<TClash> rows;
    rows.reserve(pass_.size() + baseline_.size());
    stillThere_.assign(baseline_.size(), false);
    for (const TPassPair& pair : pass_)
        rows.push_back(MakeClash(pair));
    if (clearanceClients_ && judge_.Settings().clearance > 0) {
        std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> reported;
        reported.reserve(pass_.size());
        for (const TPassPair& pair : pass_)
            reported.emplace_back(pair.a, pair.b);
        for (const auto& [a, b] : judge_.ClearancePairs(*clearanceClients_, reported))
            rows.push_back(MakeClash({a->Tag(), b->Tag(), a, b}));
    }
    const int currentCount = int(rows.size());
    for (std::size_t i = 0; i < baseline_.size(); ++i) {
        if (stillThere_[i])
            continue;
        rows.push_back(baseline_[i]);
        rows.back().status = TClashStatus::csResolved;
    }
    std::swap(lastPass_, pass_);
    passSinceBuild_ = true;
    stale_ = false;
    if (rows != rows_) {
        rows_ = std::move(rows);
        currentCount_ = currentCount;
        ++changes_;
    }
}

} // namespace hk
