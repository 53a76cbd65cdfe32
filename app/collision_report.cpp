// The collision check cycle and its report lines.
#include "app/collision_report.h"

#include "app/clash_model.h"
#include "collision/collision_manager.h"
#include "engine/memory_hints.h"
#include "engine/scene_object.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace hk {
namespace {

// A report line of two short names and their modes.
constexpr std::size_t cTypicalLineBytes = 24;

} // namespace

std::string_view BoundingModeName(TCollisionBoundingMode mode) {
    static constexpr std::array<std::string_view, cBoundingModeCount> names = {
        "Point", "Sphere", "Ellipsoid", "Cube", "Faces"};
    return IsValidBoundingMode(mode) ? names[mode] : std::string_view();
}

std::string FormatPassTime(double milliseconds) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.1f ms", milliseconds);
    return text.data();
}

TLampColour LampColour(bool collided) {
    return collided ? TLampColour{255, 0, 0} : TLampColour{0, 255, 0};
}

TCollisionCheck::TCollisionCheck(TCollisionManager& manager, TMessageLog& log, TClashModel* clashes)
    : manager_(manager), log_(log), clashes_(clashes) {
    if (clashes_)
        clashes_->SetClearanceClients(&manager_);
    // Room for twice as many pairs and report lines as there are clients, made at the build so
    // that the first cycle after it does not fault in fresh memory.
    manager_.OnPreparePass = [this](std::size_t clients) {
        Prewrite(pairs_, 2 * clients, TReportedPair{});
        log_.Reserve(2 * clients, 2 * clients * cTypicalLineBytes);
    };
    manager_.OnCollision = [this](TGLComponent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
        collided_ = true;
        if (!a || !b)
            return;
        pairs_.push_back({a, b, manager_.ReportedModes()});
    };
}

TCollisionCheck::~TCollisionCheck() {
    manager_.OnCollision = nullptr;
    manager_.OnPreparePass = nullptr;
    if (clashes_)
        clashes_->SetClearanceClients(nullptr);
}

void TCollisionCheck::WriteReport() {
    log_.Clear();
    log_.BeginUpdate();
    // A pair's line: name1 "(" mode1 ")" "  -  " name2 "(" mode2 ")", the names being the
    // objects' component names. The mode names come from the pass, which read each object's
    // one collision behaviour. The names lie in objects the pass has not read; they are
    // fetched a few lines ahead.
    constexpr std::size_t cAhead = 8;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        if (i + cAhead < pairs_.size()) {
            PrefetchBlock(&pairs_[i + cAhead].first->Name(), sizeof(std::string));
            PrefetchBlock(&pairs_[i + cAhead].second->Name(), sizeof(std::string));
        }
        const TReportedPair& p = pairs_[i];
        line_.clear();
        line_.append(p.first->Name()).append("(").append(BoundingModeName(p.modes[0]));
        line_.append(")  -  ").append(p.second->Name()).append("(");
        line_.append(BoundingModeName(p.modes[1])).append(")");
        log_.Add(line_);
    }
    log_.EndUpdate();
    reportWritten_ = true;
    reportRevision_ = log_.Revision();
}

TCollisionCycleResult TCollisionCheck::RunCycle() {
    using Clock = std::chrono::steady_clock;
    collided_ = false;
    pairs_.clear();
    const Clock::time_point start = Clock::now();
    const bool ownPassBefore = manager_.PassCount() == passCount_;
    manager_.TestAllPairs();
    passCount_ = manager_.PassCount();
    // A repeated pass has the same objects and modes, so the same names and mode names.
    const bool reportKept = ownPassBefore && manager_.LastPassRepeated() && reportWritten_ &&
                            log_.Revision() == reportRevision_;
    if (!reportKept)
        WriteReport();
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    if (clashes_) {
        clashes_->BeginPass();
        for (const TReportedPair& p : pairs_)
            clashes_->AddPair(*p.first, *p.second);
        clashes_->EndPass();
    }

    TCollisionCycleResult result;
    result.collided = collided_;
    result.milliseconds = elapsed.count();
    result.timeText = FormatPassTime(result.milliseconds);
    result.lamp = LampColour(collided_);
    return result;
}

} // namespace hk
