// Free notification: links are kept on both sides so either end may go first.
#include "engine/component.h"

#include <algorithm>

namespace hk {

TGLComponent::~TGLComponent() {
    NotifyFreeing();
}

void TGLComponent::EndLoading() {
    if (loading_) {
        loading_ = false;
        Loaded();
    }
}

void TGLComponent::FreeNotification(TGLComponent* other) {
    if (other == nullptr || other == this) {
        return;
    }
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
    }
    if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
        other->freeNotifies_.end()) {
        other->freeNotifies_.push_back(this);
    }
}

void TGLComponent::RemoveFreeNotification(TGLComponent* other) {
    if (other == nullptr) {
        return;
    }
    Unlink(other);
    other->Unlink(this);
}

void TGLComponent::Unlink(TGLComponent* other) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                        freeNotifies_.end());
}

void TGLComponent::Notification(TGLComponent*, TOperation) {}

void TGLComponent::NotifyFreeing() {
    destroying_ = true;
    // A receiver may change links while being told, so work from a copy.
    std::vector<TGLComponent*> receivers;
    receivers.swap(freeNotifies_);
    for (TGLComponent* c : receivers) {
        c->Unlink(this);
    }
    for (TGLComponent* c : receivers) {
        c->Notification(this, opRemove);
    }
}

} // namespace hk
