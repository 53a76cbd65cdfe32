// TGLBaseSceneObject: construction and destruction, plain properties, update brackets,
// progress over time and change reporting. The tree, matrices, navigation, bounds and drawing
// live in the scene_object_*.cpp files beside this one.
#include "engine/scene_object.h"

#include "engine/behaviours.h"
#include "engine/merged_children.h"
#include "engine/scene.h"

#include <atomic>

namespace hk {

namespace {

std::uint64_t NextStructureVersion() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

std::atomic<std::uint64_t> sceneEdits{0};

} // namespace

std::uint64_t SceneEditCount() {
    return sceneEdits.load(std::memory_order_relaxed);
}

void NoteSceneEdit() {
    sceneEdits.fetch_add(1, std::memory_order_relaxed);
}

TGLBaseSceneObject::TGLBaseSceneObject()
    : position_(this, NullHmgPoint, csPoint), rotation_(this, NullHmgVector, csVector),
      direction_(this, ZHmgVector, csVector), up_(this, YHmgVector, csVector),
      scale_(this, XYZHmgVector, csVector) {
    structureVersion_ = NextStructureVersion();
}

TGLBaseSceneObject::~TGLBaseSceneObject() {
    NoteSceneEdit();
    NotifyFreeing();
    FreeDescendantCameras();
    if (scene_ != nullptr) {
        scene_->ObjectDestroyed(this);
    }
    effects_.reset();
    behaviours_.reset();
    DestroyLists();
    FreeChildren();
}

// ---- properties --------------------------------------------------------------------------

void TGLBaseSceneObject::SetVisible(bool v) {
    if (v != visible_) {
        visible_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetShowAxes(bool v) {
    if (v != showAxes_) {
        showAxes_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting v) {
    if (v != objectsSorting_) {
        objectsSorting_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetVisibilityCulling(TGLVisibilityCulling v) {
    if (v != visibilityCulling_) {
        visibilityCulling_ = v;
        ReportChange();
    }
}

TGLBehaviours& TGLBaseSceneObject::Behaviours() {
    if (!behaviours_) {
        behaviours_ = std::make_unique<TGLBehaviours>(this);
    }
    return *behaviours_;
}

TGLObjectEffects& TGLBaseSceneObject::Effects() {
    if (!effects_) {
        effects_ = std::make_unique<TGLObjectEffects>(this);
    }
    return *effects_;
}

// ---- updates, time and change reporting --------------------------------------------------

void TGLBaseSceneObject::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        ReportChange();
    }
}

void TGLBaseSceneObject::AdvanceTime(const TProgressTimes& times) {
    for (auto& c : children_) {
        c->AdvanceTime(times);
    }
    if (behaviours_) {
        behaviours_->DoProgress(times);
    }
    if (effects_) {
        effects_->DoProgress(times);
    }
    if (OnProgress) {
        OnProgress(this, times.deltaTime, times.newTime);
    }
}

void TGLBaseSceneObject::ReportChange() {
    NoteSceneEdit();
    if (scene_ != nullptr && !IsUpdating() && !IsLoading()) {
        scene_->NotifyChange(this);
    }
}

void TGLBaseSceneObject::StructureChanged() {
    NoteSceneEdit();
    structureVersion_ = NextStructureVersion();
    if (!changes_.Contains(ocStructure)) {
        changes_.Include(ocStructure);
        ReportChange();
    } else if (objectStyle_.Contains(osDirectDraw)) {
        ReportChange();
    }
}

} // namespace hk
