// Behaviour and effect collections of a scene object.
#include "engine/behaviours.h"

namespace hk {

TGLBaseSceneObject* TGLBaseBehaviour::OwnerBaseSceneObject() const {
    auto* c = static_cast<TGLBehaviours*>(Owner());
    return c ? c->Owner() : nullptr;
}

void TGLBehaviours::DoProgress(const TProgressTimes& times) {
    for (int i = 0; i < Count(); ++i) {
        Behaviour(i)->DoProgress(times);
    }
}

bool TGLBehaviours::CanAdd(const TXCollectionItem& item) const {
    return dynamic_cast<const TGLBaseBehaviour*>(&item) != nullptr;
}

TGLBaseSceneObject* TGLObjectEffect::OwnerBaseSceneObject() const {
    auto* c = static_cast<TGLObjectEffects*>(Owner());
    return c ? c->Owner() : nullptr;
}

void TGLObjectEffects::DoProgress(const TProgressTimes& times) {
    for (int i = 0; i < Count(); ++i) {
        Effect(i)->DoProgress(times);
    }
}

void TGLObjectEffects::RenderBefore(TRenderContextInfo& rci) {
    for (int i = 0; i < Count(); ++i) {
        Effect(i)->RenderBefore(rci);
    }
}

void TGLObjectEffects::RenderAfter(TRenderContextInfo& rci) {
    for (int i = 0; i < Count(); ++i) {
        Effect(i)->RenderAfter(rci);
    }
}

bool TGLObjectEffects::CanAdd(const TXCollectionItem& item) const {
    return dynamic_cast<const TGLObjectEffect*>(&item) != nullptr;
}

} // namespace hk
