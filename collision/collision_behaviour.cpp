// The collision behaviour: manager registration kept in step with the manager's list, copying
// and the streamed record.
#include "collision/collision_behaviour.h"

#include "collision/collision_manager.h"
#include "engine/scene_object.h"

namespace hk {

namespace {

constexpr std::int32_t cRecordVersion = 1;

} // namespace

TGLBCollision::~TGLBCollision() {
    SetManager(nullptr);
}

void TGLBCollision::SetManager(TCollisionManager* manager) {
    if (manager == manager_) {
        return;
    }
    if (manager_) {
        manager_->DetachClient(this);
    }
    if (manager) {
        manager->AttachClient(this);
    }
}

void TGLBCollision::SetBoundingMode(TCollisionBoundingMode mode) {
    boundingMode_ = mode;
    NoteSceneEdit();
}

void TGLBCollision::SetGroupIndex(std::int32_t group) {
    groupIndex_ = group;
    NoteSceneEdit();
}

void TGLBCollision::Assign(const TXCollectionItem& source) {
    auto* other = dynamic_cast<const TGLBCollision*>(&source);
    if (!other) {
        return;
    }
    SetManager(other->Manager());
    SetBoundingMode(other->boundingMode_);
    SetName(other->Name());
}

void TGLBCollision::WriteToStream(TBinaryWriter& w) const {
    TGLBaseBehaviour::WriteToStream(w);
    w.WriteInt32(cRecordVersion);
    w.WriteString(manager_ ? manager_->Name() : std::string());
    w.WriteInt32(boundingMode_);
    w.WriteInt32(groupIndex_);
}

void TGLBCollision::ReadFromStream(TBinaryReader& r) {
    SetManager(nullptr);
    managerName_.clear();
    TGLBaseBehaviour::ReadFromStream(r);
    std::int32_t version = r.ReadInt32();
    std::string name = r.ReadString();
    std::int32_t mode = r.ReadInt32();
    if (mode < 0 || mode >= cBoundingModeCount) {
        r.Fail("collision bounding mode " + std::to_string(mode) + " out of range");
    }
    std::int32_t group = version >= 1 ? r.ReadInt32() : 0;
    managerName_ = std::move(name);
    SetBoundingMode(TCollisionBoundingMode(mode));
    SetGroupIndex(group);
}

void TGLBCollision::Loaded() {
    if (!managerName_.empty()) {
        SetManager(ManagerRegistry::Find<TCollisionManager>(managerName_));
    }
    managerName_.clear();
}

void RegisterCollisionBehaviour() {
    RegisterXCollectionItemClass<TGLBCollision>("TGLBCollision");
}

} // namespace hk
