// Behaviours and effects attached to one scene object: collections of registered item classes
// that the object advances in time (behaviours) or lets draw around it (effects). The object
// streams them as "BehavioursData" and "EffectsData".
#pragma once

#include "engine/render_context_info.h"
#include "engine/scene_object.h"
#include "engine/xcollection.h"

namespace hk {

class TGLBehaviours;
class TGLObjectEffects;

// An item of one object's Behaviours, e.g. the collision registration.
class TGLBaseBehaviour : public TXCollectionItem {
public:
    // The scene object whose Behaviours hold this item; none while detached.
    TGLBaseSceneObject* OwnerBaseSceneObject() const;
    virtual void DoProgress(const TProgressTimes&) {}
};
using TGLBehaviour = TGLBaseBehaviour;

class TGLBehaviours : public TXCollection {
public:
    explicit TGLBehaviours(TGLBaseSceneObject* owner) : owner_(owner) {}
    TGLBaseSceneObject* Owner() const { return owner_; }
    TGLBaseBehaviour* Behaviour(int index) const {
        return static_cast<TGLBaseBehaviour*>(Items(index));
    }
    void DoProgress(const TProgressTimes& times);

protected:
    bool CanAdd(const TXCollectionItem& item) const override;

private:
    TGLBaseSceneObject* owner_;
};

// An item of one object's Effects: draws before and after the object in its frame.
class TGLObjectEffect : public TXCollectionItem {
public:
    TGLBaseSceneObject* OwnerBaseSceneObject() const;
    virtual void DoProgress(const TProgressTimes&) {}
    virtual void RenderBefore(TRenderContextInfo&) {}
    virtual void RenderAfter(TRenderContextInfo&) {}
};

class TGLObjectEffects : public TXCollection {
public:
    explicit TGLObjectEffects(TGLBaseSceneObject* owner) : owner_(owner) {}
    TGLBaseSceneObject* Owner() const { return owner_; }
    TGLObjectEffect* Effect(int index) const { return static_cast<TGLObjectEffect*>(Items(index)); }
    void DoProgress(const TProgressTimes& times);
    void RenderBefore(TRenderContextInfo& rci);
    void RenderAfter(TRenderContextInfo& rci);

protected:
    bool CanAdd(const TXCollectionItem& item) const override;

private:
    TGLBaseSceneObject* owner_;
};

} // namespace hk
